#include "app/codec_check.h"
#include "app/display_check.h"
#include "support/fake_platform.h"

#include <QHash>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(DisplayCheck, ThePlatformNeedsItsDisplayServer)
{
    struct Case {
        const char* platform;
        const char* display;
        const char* wayland;
        bool available;
    };
    // clang-format off
    const Case cases[] = {
        {"", "", "", false},
        {"", ":0", "", true},
        {"", "", "wayland-0", true},
        {"xcb", "", "wayland-0", false},
        {"xcb", ":1", "", true},
        {"wayland", ":0", "", false},
        {"wayland-egl", "", "wayland-0", true},
        {"wayland;xcb", ":0", "", true},
        {"xcb:nograb", ":0", "", true},
        {"offscreen", "", "", true},
        {"minimal", "", "", true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.platform) + " / " + c.display + " / " + c.wayland);
        const QHash<QString, QString> variables{
            {u"QT_QPA_PLATFORM"_s, QString::fromLatin1(c.platform)},
            {u"DISPLAY"_s, QString::fromLatin1(c.display)},
            {u"WAYLAND_DISPLAY"_s, QString::fromLatin1(c.wayland)},
        };
        EXPECT_EQ(norvanta::displayAvailable(
                      [&](const char* name) { return variables.value(QString::fromLatin1(name)); }),
                  c.available);
    }
}

// Without the Shift_JIS codec every file would be written empty: the program
// says why and does not start.
TEST(CodecCheck, AMissingShiftJisCodecStopsTheStart)
{
    norvanta::testing::FakePlatform platform;
    EXPECT_TRUE(norvanta::checkShiftJisCodec(platform));
    EXPECT_TRUE(platform.messages.empty());

    platform.answerNext(norvanta::MessageAnswer::Ok);
    EXPECT_FALSE(norvanta::checkShiftJisCodec(platform, "no-such-codepage"));
    const norvanta::testing::RecordedMessage expected{
        u"Norvanta"_s,
        u"Shift_JISの文字コード変換が使えないため、ファイルを読み書きできません。"
        u"Norvantaを終了します。"_s,
        norvanta::MessageIcon::Error};
    EXPECT_EQ(platform.messages, std::vector{expected});
}
