#include "files/file_command_prompts.h"
#include "files/file_state.h"

#include <gtest/gtest.h>

using namespace norvanta;
using namespace Qt::StringLiterals;

namespace {

const FileChoice kChosen{u"/home/user/Data/r1.txt"_s, u"r1.txt"_s};

} // namespace

TEST(FileState, OpenKeepsThePathAsChosenAndShowsTheNameInUpperCase)
{
    FileState state;
    state.DataModified = true;
    QString usualDirectory = u"/home/user/"_s;

    rememberOpenChoice(state, usualDirectory, kChosen);
    EXPECT_EQ(state.OpenedFilePath, u"/home/user/Data/r1.txt"_s);
    EXPECT_EQ(state.OpenedFileTitle, u"R1.TXT"_s);
    EXPECT_EQ(usualDirectory, u"/home/user/Data/"_s);
    EXPECT_TRUE(state.DataModified) << "nothing else changes until the file is read";
    EXPECT_FALSE(state.FileNameKnown);
    EXPECT_TRUE(state.CurrentFilePath.isEmpty());

    markOpened(state);
    FileState expected;
    expected.FileNameKnown = true;
    expected.CurrentFilePath = u"/home/user/Data/r1.txt"_s;
    expected.CurrentFileTitle = u"R1.TXT"_s;
    expected.OpenedFilePath = expected.CurrentFilePath;
    expected.OpenedFileTitle = expected.CurrentFileTitle;
    EXPECT_EQ(state, expected);
    EXPECT_EQ(windowCaption(state.CurrentFileTitle), u"Norvanta - R1.TXT"_s);
}

TEST(FileState, SaveAsChangesTheTargetOnlyOnceWritten)
{
    FileState state;
    state.FileNameKnown = true;
    state.DataModified = true;
    state.CurrentFilePath = u"/home/user/old.txt"_s;
    state.CurrentFileTitle = u"OLD.TXT"_s;

    markSavedAs(state, kChosen);
    EXPECT_FALSE(state.DataModified);
    EXPECT_TRUE(state.FileNameKnown);
    EXPECT_EQ(state.CurrentFilePath, u"/home/user/Data/r1.txt"_s);
    EXPECT_EQ(state.CurrentFileTitle, u"R1.TXT"_s);
    EXPECT_EQ(state.OpenedFilePath, state.CurrentFilePath);
    EXPECT_EQ(state.OpenedFileTitle, u"R1.TXT"_s);
}

TEST(FilePrompts, Dialogs)
{
    // The titles are upper case; the names are proposed as they were chosen.
    FileState state;
    state.OpenedFilePath = u"/data/Mix/a.txt"_s;
    state.OpenedFileTitle = u"A.TXT"_s;
    state.CurrentFilePath = u"/data/b.Txt"_s;
    state.CurrentFileTitle = u"B.TXT"_s;
    const QString filter = u"標準テキスト(*.TXT)|*.txt|全てのファイル(*.*)|*.*"_s;

    const FileDialogRequest open = openDialogRequest(state, u"/data/"_s);
    EXPECT_EQ(open.title, u"反応系ファイルを開く"_s);
    EXPECT_EQ(open.filter, filter);
    EXPECT_EQ(open.filterIndex, 0);
    EXPECT_EQ(open.initialDirectory, u"/data/"_s);
    EXPECT_EQ(open.proposedName, u"a.txt"_s);

    const FileDialogRequest saveAs = saveAsDialogRequest(state, u"/data/"_s);
    EXPECT_EQ(saveAs.title, u"名前を付けて反応系ファイルを保存"_s);
    EXPECT_EQ(saveAs.filter, filter);
    EXPECT_EQ(saveAs.initialDirectory, u"/data/"_s);
    EXPECT_EQ(saveAs.proposedName, u"b.Txt"_s);
}

TEST(FilePrompts, Messages)
{
    const struct {
        FileMessage message;
        const char16_t* title;
        const char16_t* text;
        MessageIcon icon;
    } cases[] = {
        {replaceUnsavedQuestion(), u"データの上書きの確認",
         u"現在の反応系データを保存せずに新しい反応系ファイルの内容と入れ換えますか？",
         MessageIcon::Question},
        {overwriteQuestion(u"/home/user/Data/r1.txt"_s), u"上書き保存の確認",
         u"/HOME/USER/DATA/R1.TXTは既に存在します。上書きしますか？", MessageIcon::Question},
        {wrongFormatMessage(), u"Norvanta",
         u"このファイルはNorvantaの標準ファイル形式と異なります。別のファイルを指定して下さい。",
         MessageIcon::Exclamation},
        {openFailureMessage(), u"Norvanta",
         u"そのファイルは存在しません。ファイル名を確認して下さい。", MessageIcon::Exclamation},
        {saveAsFailureMessage(70), u"Norvanta",
         u"ファイルに書き込みができません。使用中でないか、ディスク容量が十分あるか確認してください。",
         MessageIcon::Exclamation},
        {saveAsFailureMessage(5), u"Norvanta", u"内部エラー : 5", MessageIcon::Exclamation},
        {saveAsFailureMessage(-3), u"Norvanta", u"内部エラー :-3", MessageIcon::Exclamation},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.message.title, QString::fromUtf16(c.title));
        EXPECT_EQ(c.message.text, QString::fromUtf16(c.text));
        EXPECT_EQ(c.message.icon, c.icon) << QString::fromUtf16(c.text).toStdString();
    }
}
