#include "program_fixture.h"

#include "common/text_file.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <tuple>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

namespace {

QByteArray exampleFileBytes()
{
    QByteArray bytes = kReactionFileHeader + "12-06-2026 20:45:36\r\n";
    for (const char* line : {"1", "CO2", "1", "2", "CO", "1", "CH4", "1", "2", "H2"})
        bytes += QByteArray("\"") + line + "\"\r\n";
    for (int i = 0; i < 10; ++i)
        bytes += "\"\"\r\n";
    return bytes + "\"0\"\r\n\"1\"\r\n";
}

// A reaction file with the header and then the given quoted lines.
QByteArray reactionFile(const QList<QByteArray>& lines)
{
    QByteArray bytes = kReactionFileHeader + "01-02-2025 03:04:05\r\n";
    for (const QByteArray& line : lines)
        bytes += '"' + line + "\"\r\n";
    return bytes;
}

const QString kSaveError = u"保存のエラー"_s;
const QString kDiskMessage =
    u"保存に失敗しました。ディスク容量が不足しているかもしれません。確認して下さい。"_s;

} // namespace

class FileCommandsTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        showProgram();
    }

    // Saves under the name through Save As and checks that it worked.
    void saveAsNamed(const QString& name)
    {
        platform.chooseInSaveDialog(FileChoice{path(name), name});
        QTest::mouseClick(form().SaveAsButton, Qt::LeftButton);
        ASSERT_EQ(file().CurrentFilePath, path(name));
    }

    void openNamed(const QString& name)
    {
        platform.chooseInOpenDialog(FileChoice{path(name), name});
        QTest::mouseClick(form().OpenButton, Qt::LeftButton);
    }
};

TEST_F(FileCommandsTest, SaveAsWritesTheExampleFileAndNamesTheWindowAfterIt)
{
    form().setFields(reforming());
    platform.chooseInSaveDialog(FileChoice{path(u"r1.txt"_s), u"r1.txt"_s});

    QTest::mouseClick(form().SaveAsButton, Qt::LeftButton);

    EXPECT_EQ(readBytes(path(u"r1.txt"_s)), exampleFileBytes());
    ASSERT_EQ(platform.saveRequests.size(), 1u);
    const FileDialogRequest& request = platform.saveRequests[0];
    EXPECT_EQ(request.title, u"名前を付けて反応系ファイルを保存"_s);
    EXPECT_EQ(request.filter, u"標準テキスト(*.TXT)|*.txt|全てのファイル(*.*)|*.*"_s);
    EXPECT_EQ(request.filterIndex, 0);
    EXPECT_EQ(request.initialDirectory, folder() + u'/');
    EXPECT_EQ(request.proposedName, QString());

    EXPECT_EQ(form().windowTitle(), u"Norvanta - R1.TXT"_s);
    EXPECT_EQ(file().CurrentFilePath, path(u"r1.txt"_s));
    EXPECT_EQ(file().CurrentFileTitle, u"R1.TXT"_s);
    EXPECT_EQ(file().OpenedFilePath, path(u"r1.txt"_s));
    EXPECT_EQ(file().OpenedFileTitle, u"R1.TXT"_s);
    EXPECT_TRUE(file().FileNameKnown);
    EXPECT_FALSE(file().DataModified);
    EXPECT_TRUE(form().SaveItem->isEnabled());
    EXPECT_TRUE(form().SaveButton->isEnabled());
    EXPECT_TRUE(form().CalButton->hasFocus());
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(FileCommandsTest, ANameTypedWithoutExtensionTakesTheSelectedFilters)
{
    form().setFields(reforming());
    // Filter 0 is "*.txt", 1 "*.*"; -1: the dialog reported none.
    const std::tuple<QString, int, QString> cases[] = {{u"smr"_s, 0, u"smr.txt"_s},
                                                       {u"all"_s, 1, u"all"_s},
                                                       {u"v1.5"_s, 0, u"v1.5"_s},
                                                       {u"x"_s, -1, u"x"_s}};
    for (const auto& [typed, filterIndex, written] : cases) {
        platform.chooseInSaveDialog(FileChoice{path(typed), typed, filterIndex});
        form().SaveAsItem->trigger();
        EXPECT_EQ(readBytes(path(written)), exampleFileBytes());
        EXPECT_EQ(file().CurrentFilePath, path(written));
    }
    EXPECT_FALSE(QFileInfo::exists(path(u"smr"_s)));
}

TEST_F(FileCommandsTest, PathsKeepTheirCase)
{
    ASSERT_TRUE(QDir(folder()).mkdir(u"data"_s));
    const QString chosen = path(u"data/Mix.txt"_s);
    form().setFields(reforming());
    platform.chooseInSaveDialog(FileChoice{chosen, u"Mix.txt"_s});
    form().SaveAsItem->trigger();

    EXPECT_EQ(QDir(path(u"data"_s)).entryList(QDir::Files), QStringList{u"Mix.txt"_s});
    EXPECT_FALSE(QFile::exists(path(u"DATA"_s)));
    EXPECT_EQ(settings().UsualDirectory, path(u"data/"_s));
    EXPECT_EQ(form().windowTitle(), u"Norvanta - MIX.TXT"_s);

    // The next dialogs start in the folder as it is spelt, and Save and Open
    // use the path as chosen.
    form().React[2]->setText(u"H2O"_s);
    form().SaveItem->trigger();
    EXPECT_TRUE(readBytes(chosen).contains("\"H2O\"\r\n"));
    form().React[2]->setText(u"N2"_s);
    platform.answerNext(MessageAnswer::Yes);
    platform.chooseInOpenDialog(FileChoice{chosen, u"Mix.txt"_s});
    form().OpenItem->trigger();
    ASSERT_EQ(platform.openRequests.size(), 1u);
    EXPECT_EQ(platform.openRequests[0].initialDirectory, path(u"data/"_s));
    EXPECT_EQ(platform.openRequests[0].proposedName, u"Mix.txt"_s)
        << "an upper-cased proposal names a file that does not exist";
    EXPECT_EQ(form().React[2]->text(), u"H2O"_s);
    EXPECT_EQ(file().CurrentFilePath, chosen);

    // Save As proposes the name as chosen too: accepting it writes the same
    // file again, after the overwrite question, and no second file appears.
    form().React[2]->setText(u"CO"_s);
    platform.answerNext(MessageAnswer::Yes);
    platform.chooseInSaveDialog(FileChoice{chosen, u"Mix.txt"_s});
    form().SaveAsItem->trigger();
    EXPECT_EQ(platform.saveRequests.back().proposedName, u"Mix.txt"_s);
    EXPECT_EQ(QDir(path(u"data"_s)).entryList(QDir::Files), QStringList{u"Mix.txt"_s});
    EXPECT_TRUE(readBytes(chosen).contains("\"CO\"\r\n"));
    EXPECT_EQ(form().windowTitle(), u"Norvanta - MIX.TXT"_s);
}

TEST_F(FileCommandsTest, SavedReactionsOpenAsTheyWereTyped)
{
    struct Case {
        const char* name;
        ReactionFields fields;
        int openedRestrict;
    };
    ReactionFields blanks = reforming();
    blanks.react[0] = u"  CO2 "_s;
    blanks.molar[1] = u" 1.5"_s;
    blanks.pressure = u"2.5 "_s;
    ReactionFields commas = reforming();
    commas.react[1] = u"1,3-ブタジエン"_s;
    commas.product[3] = u"メタノール, 液"_s;
    commas.productNum[3] = u"1,5"_s;
    commas.restrict = 2;
    ReactionFields empty;
    empty.pressure.clear();
    ReactionFields unselected = reforming();
    unselected.restrict = -1;
    const Case cases[] = {
        {"blanks kept", blanks, 0},
        {"commas and Japanese", commas, 2},
        {"all empty", empty, 1},
        {"no limiting compound", unselected, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path(u"round.txt"_s));
        form().setFields(c.fields);
        platform.chooseInSaveDialog(FileChoice{path(u"round.txt"_s), u"round.txt"_s});
        form().SaveAsItem->trigger();
        form().setFields(reforming());
        form().React[3]->setText(u"C2H6"_s);

        platform.answerNext(MessageAnswer::Yes);
        openNamed(u"round.txt"_s);

        ReactionFields expected = c.fields;
        expected.restrict = c.openedRestrict;
        EXPECT_EQ(form().fields(), expected);
        EXPECT_FALSE(file().DataModified);
    }
    EXPECT_TRUE(readBytes(path(u"round.txt"_s)).endsWith("\"1\"\r\n\"1\"\r\n"))
        << "no limiting compound is written as the second row";
}

TEST_F(FileCommandsTest, OpenSetsTheFieldsAndLeavesTheFileUnmodified)
{
    writeBytes(path(u"r1.txt"_s), exampleFileBytes());
    form().setFields(ReactionFields{});
    file().DataModified = false;
    file().CurrentFilePath = u"/elsewhere/OLD.TXT"_s;

    openNamed(u"r1.txt"_s);

    EXPECT_EQ(form().fields(), reforming());
    EXPECT_TRUE(form().Restrict[0]->isChecked());
    EXPECT_EQ(form().windowTitle(), u"Norvanta - R1.TXT"_s);
    EXPECT_FALSE(file().DataModified);
    EXPECT_TRUE(file().FileNameKnown);
    EXPECT_EQ(file().CurrentFilePath, path(u"r1.txt"_s));
    EXPECT_EQ(file().CurrentFileTitle, u"R1.TXT"_s);
    EXPECT_FALSE(form().SaveItem->isEnabled());
    EXPECT_FALSE(form().SaveButton->isEnabled());
    EXPECT_TRUE(form().CalButton->isEnabled());
    EXPECT_TRUE(form().CalButton->hasFocus());
    ASSERT_EQ(platform.openRequests.size(), 1u);
    EXPECT_EQ(platform.openRequests[0].title, u"反応系ファイルを開く"_s);
    EXPECT_EQ(platform.openRequests[0].filter,
              u"標準テキスト(*.TXT)|*.txt|全てのファイル(*.*)|*.*"_s);
    EXPECT_EQ(platform.openRequests[0].initialDirectory, folder() + u'/');
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(FileCommandsTest, TheLimitLineSelectsItsRow)
{
    struct Case {
        QByteArray limit;
        int row;
    };
    const Case cases[] = {{"0", 0}, {"1", 1}, {"3", 3}, {"2.9", 2}, {"7", 0}, {"-1", 0}, {"", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit.toStdString());
        QList<QByteArray> lines(20, QByteArray("x"));
        lines << c.limit << "1";
        writeBytes(path(u"limit.txt"_s), reactionFile(lines));
        form().selectRestrict(-1);
        file().DataModified = false;
        openNamed(u"limit.txt"_s);
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(form().Restrict[row]->isChecked(), row == c.row) << row;
    }
}

TEST_F(FileCommandsTest, AHeaderOnlyFileEmptiesTheFields)
{
    writeBytes(path(u"header.txt"_s), kReactionFileHeader + "12-06-2026 20:45:36\r\n");
    form().setFields(reforming());
    file().DataModified = false;

    openNamed(u"header.txt"_s);

    ReactionFields expected;
    expected.pressure.clear();
    expected.restrict = 0;
    EXPECT_EQ(form().fields(), expected);
    EXPECT_EQ(form().windowTitle(), u"Norvanta - HEADER.TXT"_s);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(FileCommandsTest, AFileThatIsNoReactionFileIsRefused)
{
    form().setFields(reforming());
    file().DataModified = false;
    form().setWindowTitle(u"Norvanta - R1.TXT"_s);
    const FileState before = file();
    writeBytes(path(u"notes.txt"_s), "abc\r\n\"1\"\r\n");

    platform.answerNext(MessageAnswer::Ok);
    openNamed(u"notes.txt"_s);

    EXPECT_EQ(
        platform.messages,
        (std::vector{exclamation(u"Norvanta"_s, u"このファイルはNorvantaの標準ファイル形式と"
                                                u"異なります。別のファイルを指定して下さい。"_s)}));
    EXPECT_EQ(form().fields(), reforming());
    EXPECT_EQ(form().windowTitle(), u"Norvanta - R1.TXT"_s);
    EXPECT_EQ(file().CurrentFilePath, before.CurrentFilePath);
    EXPECT_EQ(file().OpenedFilePath, path(u"notes.txt"_s));
}

TEST_F(FileCommandsTest, AFileThatCannotBeReadResetsTheCaption)
{
    saveAsNamed(u"r1.txt"_s);
    form().React[0]->setText(u"H2"_s);
    ASSERT_EQ(form().windowTitle(), u"Norvanta - R1.TXT"_s);

    platform.answerNext(MessageAnswer::Yes);
    platform.answerNext(MessageAnswer::Ok);
    platform.chooseInOpenDialog(FileChoice{path(u"sub/gone.txt"_s), u"gone.txt"_s});
    form().OpenItem->trigger();

    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(
        platform.messages[1],
        exclamation(u"Norvanta"_s, u"そのファイルは存在しません。ファイル名を確認して下さい。"_s));
    EXPECT_EQ(form().windowTitle(), u"Norvanta"_s);
    EXPECT_EQ(form().React[0]->text(), u"H2"_s);
    // The choice is remembered for the next dialog; the current file is not changed.
    EXPECT_EQ(file().OpenedFilePath, path(u"sub/gone.txt"_s));
    EXPECT_EQ(file().OpenedFileTitle, u"GONE.TXT"_s);
    EXPECT_EQ(settings().UsualDirectory, path(u"sub/"_s));
    EXPECT_EQ(file().CurrentFilePath, path(u"r1.txt"_s));
    EXPECT_TRUE(file().FileNameKnown);
    EXPECT_TRUE(file().DataModified);
}

TEST_F(FileCommandsTest, OpenAsksBeforeReplacingUnsavedData)
{
    writeBytes(path(u"r1.txt"_s), exampleFileBytes());
    struct Case {
        const char* name;
        MessageAnswer answer;
        bool dialogCancelled;
        bool replaced;
    };
    const Case cases[] = {
        {"No", MessageAnswer::No, false, false},
        {"Yes, then cancel", MessageAnswer::Yes, true, false},
        {"Yes", MessageAnswer::Yes, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform.messages.clear();
        platform.openRequests.clear();
        form().setFields(ReactionFields{});
        form().React[0]->setText(u"N2"_s);
        settings().UsualDirectory = u"/somewhere/"_s;
        const FileState before = file();
        ASSERT_TRUE(before.DataModified);

        platform.answerNext(c.answer);
        if (c.answer == MessageAnswer::Yes)
            platform.chooseInOpenDialog(
                c.dialogCancelled ? std::nullopt
                                  : std::optional(FileChoice{path(u"r1.txt"_s), u"r1.txt"_s}));
        form().OpenItem->trigger();

        EXPECT_EQ(platform.messages,
                  (std::vector{question(u"データの上書きの確認"_s,
                                        u"現在の反応系データを保存せずに新しい反応系ファイルの"
                                        u"内容と入れ換えますか？"_s)}));
        EXPECT_EQ(platform.openRequests.size(), c.answer == MessageAnswer::Yes ? 1u : 0u);
        if (c.replaced) {
            EXPECT_EQ(form().fields(), reforming());
            EXPECT_FALSE(file().DataModified);
        } else {
            EXPECT_EQ(form().React[0]->text(), u"N2"_s);
            EXPECT_EQ(file(), before);
            EXPECT_EQ(settings().UsualDirectory, u"/somewhere/"_s);
        }
    }
}

TEST_F(FileCommandsTest, SaveWritesToTheCurrentFile)
{
    form().setFields(reforming());
    saveAsNamed(u"r1.txt"_s);
    form().React[1]->setText(u"C2H6"_s);
    ASSERT_TRUE(form().SaveButton->isEnabled());

    QTest::mouseClick(form().SaveButton, Qt::LeftButton);

    EXPECT_TRUE(readBytes(path(u"r1.txt"_s)).contains("\"C2H6\"\r\n"));
    EXPECT_FALSE(file().DataModified);
    EXPECT_FALSE(form().SaveButton->isEnabled());
    EXPECT_FALSE(form().SaveItem->isEnabled());
    EXPECT_TRUE(form().CalButton->hasFocus());
    EXPECT_EQ(platform.saveRequests.size(), 1u) << "Save asks for no name";
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(FileCommandsTest, ARefusedOverwriteKeepsTheFormerTarget)
{
    writeBytes(path(u"other.txt"_s), "precious\r\n");
    form().setFields(reforming());
    saveAsNamed(u"r1.txt"_s);
    form().React[1]->setText(u"C2H6"_s);
    const QString overwrite =
        path(u"other.txt"_s).toUpper() + u"は既に存在します。上書きしますか？"_s;

    platform.answerNext(MessageAnswer::No);
    platform.chooseInSaveDialog(FileChoice{path(u"other.txt"_s), u"other.txt"_s});
    form().SaveAsItem->trigger();

    EXPECT_EQ(platform.messages, (std::vector{question(u"上書き保存の確認"_s, overwrite)}));
    EXPECT_EQ(readBytes(path(u"other.txt"_s)), "precious\r\n");
    EXPECT_EQ(file().CurrentFilePath, path(u"r1.txt"_s));
    EXPECT_EQ(file().CurrentFileTitle, u"R1.TXT"_s);
    EXPECT_EQ(form().windowTitle(), u"Norvanta - R1.TXT"_s);
    EXPECT_TRUE(file().DataModified);

    // A later Save goes to the file that was the target, not to the refused one.
    form().SaveItem->trigger();
    EXPECT_EQ(readBytes(path(u"other.txt"_s)), "precious\r\n");
    EXPECT_TRUE(readBytes(path(u"r1.txt"_s)).contains("\"C2H6\"\r\n"));

    // Yes overwrites.
    platform.answerNext(MessageAnswer::Yes);
    platform.chooseInSaveDialog(FileChoice{path(u"other.txt"_s), u"other.txt"_s});
    form().SaveAsItem->trigger();
    EXPECT_EQ(readBytes(path(u"other.txt"_s)), readBytes(path(u"r1.txt"_s)));
    EXPECT_EQ(file().CurrentFilePath, path(u"other.txt"_s));
    EXPECT_EQ(form().windowTitle(), u"Norvanta - OTHER.TXT"_s);
}

TEST_F(FileCommandsTest, CancelledSaveAsChangesNothing)
{
    form().setFields(reforming());
    saveAsNamed(u"r1.txt"_s);
    form().React[1]->setText(u"C2H6"_s);
    const FileState before = file();
    const QString folderBefore = settings().UsualDirectory;

    platform.chooseInSaveDialog(std::nullopt);
    QTest::mouseClick(form().SaveAsButton, Qt::LeftButton);

    EXPECT_EQ(file(), before);
    EXPECT_EQ(settings().UsualDirectory, folderBefore);
    EXPECT_EQ(form().windowTitle(), u"Norvanta - R1.TXT"_s);
    EXPECT_EQ(platform.saveRequests.back().proposedName, u"r1.txt"_s);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(FileCommandsTest, FailedWritesShowTheirMessageAndLoseNothing)
{
    form().setFields(reforming());
    saveAsNamed(u"r1.txt"_s);
    const QByteArray saved = readBytes(path(u"r1.txt"_s));
    ASSERT_TRUE(QDir(folder()).mkdir(u"taken.txt"_s));
    writeBytes(path(u"locked.txt"_s), "locked\r\n");
    const Immutable locked(path(u"locked.txt"_s));

    struct Case {
        QString name;
        QString message;
    };
    std::vector<Case> cases{
        {u"missing/r2.txt"_s, u"ﾊﾟｽ名が見つかりません"_s},
        {u"taken.txt"_s, kDiskMessage},
    };
    if (locked.active())
        cases.push_back({u"locked.txt"_s, kDiskMessage});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        platform.messages.clear();
        form().React[1]->setText(u"C3H8"_s);
        file().DataModified = false;
        const bool exists = QFileInfo(path(c.name)).isFile();
        if (exists)
            platform.answerNext(MessageAnswer::Yes);
        platform.answerNext(MessageAnswer::Ok);
        platform.chooseInSaveDialog(FileChoice{path(c.name), QFileInfo(c.name).fileName()});

        form().SaveAsItem->trigger();

        ASSERT_FALSE(platform.messages.empty());
        EXPECT_EQ(platform.messages.back(), exclamation(kSaveError, c.message));
        EXPECT_TRUE(file().DataModified);
        EXPECT_EQ(file().CurrentFilePath, path(u"r1.txt"_s));
        EXPECT_EQ(form().windowTitle(), u"Norvanta - R1.TXT"_s);
    }
    EXPECT_FALSE(QDir(path(u"missing"_s)).exists());
    EXPECT_TRUE(QFileInfo(path(u"taken.txt"_s)).isDir());
    EXPECT_EQ(readBytes(path(u"locked.txt"_s)), "locked\r\n");
    EXPECT_EQ(readBytes(path(u"r1.txt"_s)), saved);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), (QStringList{u"locked.txt"_s, u"r1.txt"_s}))
        << "a temporary file was left behind";
    if (!locked.active())
        GTEST_SKIP() << "this file system cannot mark a file immutable; that case did not run";
}

TEST_F(FileCommandsTest, AFailedSaveKeepsTheDataModified)
{
    ASSERT_TRUE(QDir(folder()).mkdir(u"sub"_s));
    form().setFields(reforming());
    saveAsNamed(u"sub/r1.txt"_s);
    const QByteArray saved = readBytes(path(u"sub/r1.txt"_s));
    form().React[1]->setText(u"C2H6"_s);
    Immutable lockedFolder(path(u"sub"_s));
    if (!lockedFolder.active())
        GTEST_SKIP() << "this file system cannot mark a folder immutable";

    platform.answerNext(MessageAnswer::Ok);
    QTest::mouseClick(form().SaveButton, Qt::LeftButton);

    EXPECT_EQ(platform.messages, (std::vector{exclamation(kSaveError, kDiskMessage)}));
    EXPECT_TRUE(file().DataModified);
    EXPECT_TRUE(form().SaveButton->isEnabled());
    EXPECT_EQ(readBytes(path(u"sub/r1.txt"_s)), saved);
    EXPECT_EQ(QDir(path(u"sub"_s)).entryList(QDir::Files), QStringList{u"r1.txt"_s});
}
