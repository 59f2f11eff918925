#include "app/display_check.h"

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
