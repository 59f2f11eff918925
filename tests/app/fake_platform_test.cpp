#include "support/fake_platform.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using norvanta::testing::FakePlatform;
using norvanta::testing::RecordedMessage;

TEST(FakePlatform, RecordsMessagesAndAnswersInOrder)
{
    FakePlatform platform;
    platform.answerNext(MessageAnswer::Yes);
    platform.answerNext(MessageAnswer::Ok);
    EXPECT_TRUE(
        askYesNo(platform, u"上書き保存の確認"_s, u"R1.TXTは既に存在します。上書きしますか？"_s));
    showMessage(platform, u"全圧を正しく入力してください"_s, MessageIcon::Exclamation);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0],
              (RecordedMessage{u"上書き保存の確認"_s, u"R1.TXTは既に存在します。上書きしますか？"_s,
                               MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No}));
    EXPECT_EQ(platform.messages[1].title, u"Norvanta"_s);
    EXPECT_EQ(platform.messageTexts(), (QStringList{u"R1.TXTは既に存在します。上書きしますか？"_s,
                                                    u"全圧を正しく入力してください"_s}));
}

TEST(FakePlatform, UnexpectedMessageFailsTheTestInsteadOfWaiting)
{
    EXPECT_NONFATAL_FAILURE(
        {
            FakePlatform platform;
            EXPECT_FALSE(
                askYesNo(platform, u"クリア"_s, u"表示されている反応系をクリアしますか？"_s));
        },
        "unexpected message box");
    EXPECT_NONFATAL_FAILURE(
        {
            FakePlatform platform;
            showMessage(platform, u"反応系を入力してください"_s, MessageIcon::Exclamation);
        },
        "unexpected message box");
}

TEST(FakePlatform, UnusedScriptFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(
        {
            FakePlatform platform;
            platform.answerNext(MessageAnswer::No);
        },
        "left unused");
}

TEST(FakePlatform, DialogsAnswerFromTheirQueues)
{
    FakePlatform platform;
    platform.chooseInOpenDialog(FileChoice{u"/data/r1.txt"_s, u"r1.txt"_s});
    platform.chooseInSaveDialog(std::nullopt);
    const auto opened = platform.openFileDialog({u"反応系ファイルを開く"_s, {}, 0, {}, {}});
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->fileName, u"r1.txt"_s);
    EXPECT_FALSE(platform.saveFileDialog({u"保存"_s, {}, 0, {}, {}}).has_value());
    ASSERT_EQ(platform.openRequests.size(), 1u);
    EXPECT_EQ(platform.openRequests[0].title, u"反応系ファイルを開く"_s);

    EXPECT_NONFATAL_FAILURE(
        {
            FakePlatform unscripted;
            EXPECT_FALSE(unscripted.openFileDialog({}).has_value());
        },
        "unexpected open dialog");
}
