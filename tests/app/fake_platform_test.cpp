#include "support/fake_platform.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using norvanta::testing::FakePlatform;

// Every message and dialog a test does not script, and every scripted answer
// it leaves unused, fails the test instead of passing or waiting silently.
TEST(FakePlatform, UnscriptedOrUnusedInteractionsFailTheTest)
{
    const struct {
        const char* name;
        std::function<void(FakePlatform&)> act;
        const char* failure;
    } cases[] = {
        {"message box",
         [](FakePlatform& p) { EXPECT_FALSE(askYesNo(p, u"クリア"_s, u"?"_s)); },
         "unexpected message box"},
        {"answer that does not fit the buttons",
         [](FakePlatform& p) {
             p.answerNext(MessageAnswer::Yes);
             showMessage(p, u"全圧を正しく入力してください"_s, MessageIcon::Exclamation);
         },
         "does not fit the buttons"},
        {"open dialog",
         [](FakePlatform& p) { EXPECT_FALSE(p.openFileDialog({}).has_value()); },
         "unexpected open dialog"},
        {"save dialog",
         [](FakePlatform& p) { EXPECT_FALSE(p.saveFileDialog({}).has_value()); },
         "unexpected save dialog"},
        {"unused answer", [](FakePlatform& p) { p.answerNext(MessageAnswer::No); }, "left unused"},
        {"unused open choice",
         [](FakePlatform& p) { p.chooseInOpenDialog(std::nullopt); },
         "left unused"},
        {"unused save choice",
         [](FakePlatform& p) { p.chooseInSaveDialog(std::nullopt); },
         "left unused"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NONFATAL_FAILURE(
            {
                FakePlatform platform;
                c.act(platform);
            },
            c.failure);
    }
}
