#include "common/failure.h"
#include "common/text_file.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace norvanta;
using namespace norvanta::testing;
using namespace Qt::StringLiterals;

namespace {

// The failure number the call throws, or 0 when it throws none.
int failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure.code();
    }
    return 0;
}

class TextFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return folder_.filePath(name); }
    QTemporaryDir folder_;
};

} // namespace

TEST(ShiftJis, EncodesTheWindowsCodePage)
{
    const struct {
        QString text;
        QByteArray bytes;
    } cases[] = {
        {u"ﾟ"_s, "\xDF"},           // half-width katakana stays one byte
        {u"ｱﾙｶﾝ"_s, "\xB1\xD9\xB6\xDD"},
        {u"あ"_s, "\x82\xA0"},
        {u"ア"_s, "\x83\x41"},
        {u"～"_s, "\x81\x60"},      // full-width tilde of the Windows code page
        {u"①"_s, "\x87\x40"},       // a character only the Windows code page has
        {u"CO2,1.5\r\n"_s, "CO2,1.5\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encodeShiftJis(c.text), c.bytes) << c.text.toStdString();
        EXPECT_EQ(decodeShiftJis(c.bytes), c.text) << c.text.toStdString();
    }
}

// Text that would come back different is told apart from text that comes
// back exactly; the first character it cannot hold is named.
TEST(ShiftJis, TellsWhatItCannotHold)
{
    const struct {
        QString text;
        QString outside; // empty: Shift_JIS holds all of it
    } cases[] = {
        {u"CO2 一酸化炭素 ｱﾙｶﾝﾟ ①～\\~,;"_s, QString()},
        {QString(), QString()},
        {u"CO₂"_s, u"₂"_s},          // pasted from a paper
        {u"/home/josé/"_s, u"é"_s},  // a home folder's name
        {u"¥100"_s, u"¥"_s},          // read back as a backslash
        {u"〜−"_s, u"〜"_s},          // look-alikes of ～ and －
        {u"a😀b"_s, u"😀"_s},         // outside the basic plane: both halves
        {u"x"_s + QChar(0xD800) + u"y"_s, QString(QChar(0xD800))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(canStoreInShiftJis(c.text), c.outside.isEmpty());
        EXPECT_EQ(firstCharacterOutsideShiftJis(c.text), c.outside);
    }
}

TEST_F(TextFileTest, TextShiftJisCannotHoldIsNeverWritten)
{
    const QString target = path(u"reaction.txt"_s);
    writeBytes(target, "old\r\n");
    EXPECT_EQ(failureOf([&] { writeShiftJisFile(target, u"\"CO₂\"\r\n"_s); }),
              FailureCode::InvalidArgument);
    EXPECT_EQ(readBytes(target), "old\r\n");
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{u"reaction.txt"_s});
}

TEST_F(TextFileTest, JapaneseTextRoundTripsThroughAFile)
{
    const QString text = u"; 平衡計算標準ファイル:12-06-2026 20:45:36\r\n\"一酸化炭素\"\r\n\"ﾟ\"\r\n"_s;
    writeShiftJisFile(path(u"reaction.txt"_s), text);
    EXPECT_EQ(readShiftJisFile(path(u"reaction.txt"_s)), text);
    EXPECT_EQ(readBytes(path(u"reaction.txt"_s)), encodeShiftJis(text));
    EXPECT_TRUE(readBytes(path(u"reaction.txt"_s)).contains("\"\xDF\"\r\n"));
}

TEST_F(TextFileTest, ReadsLineFeedOnlyFilesUnchanged)
{
    writeBytes(path(u"lf.txt"_s), "R=8.314\nCALTOJ=4.184\n");
    EXPECT_EQ(readShiftJisFile(path(u"lf.txt"_s)), u"R=8.314\nCALTOJ=4.184\n"_s);
}

TEST_F(TextFileTest, WritingReplacesTheWholeOldFile)
{
    writeBytes(path(u"settings.ini"_s), QByteArray(4096, 'x'));
    writeShiftJisFile(path(u"settings.ini"_s), u"\"LimitPos=-1\"\r\n"_s);
    EXPECT_EQ(readBytes(path(u"settings.ini"_s)), "\"LimitPos=-1\"\r\n");
}

TEST_F(TextFileTest, ReadFailuresByNumber)
{
    EXPECT_EQ(failureOf([&] { readShiftJisFile(path(u"absent.txt"_s)); }),
              FailureCode::FileNotFound);
    EXPECT_EQ(failureOf([&] { readShiftJisFile(path(u"no folder/absent.txt"_s)); }),
              FailureCode::PathNotFound);
    EXPECT_EQ(failureOf([&] { readShiftJisFile(folder_.path()); }),
              FailureCode::PermissionDenied);
    // Opens, then fails to read at its first byte: an error, not an empty file.
    if (QFile::exists(u"/proc/self/mem"_s)) {
        EXPECT_EQ(failureOf([&] { readFileBytes(u"/proc/self/mem"_s); }), FailureCode::DeviceError);
    }
}

// A pipe (or a link to one) under the name is refused and left as it is;
// a regular file or a new name is written.
TEST_F(TextFileTest, WritesOnlyOverARegularFileOrANewName)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(path(u"pipe"_s)).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(path(u"pipe"_s), path(u"link"_s)));
    writeBytes(path(u"regular"_s), "old");
    for (const char* name : {"pipe", "link", "regular", "new"}) {
        SCOPED_TRACE(name);
        const QString target = path(QString::fromLatin1(name));
        const bool regular = qstrcmp(name, "pipe") != 0 && qstrcmp(name, "link") != 0;
        EXPECT_EQ(failureOf([&] { writeFileBytes(target, "x"); }),
                  regular ? 0 : FailureCode::PermissionDenied);
        EXPECT_EQ(QFileInfo(target).isFile(), regular);
    }
}

TEST_F(TextFileTest, UnreadableFileIsPermissionDenied)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root, which reads any file whatever its permissions";
    writeBytes(path(u"locked.txt"_s), "x");
    QFile::setPermissions(path(u"locked.txt"_s), QFileDevice::WriteOwner);
    EXPECT_EQ(failureOf([&] { readShiftJisFile(path(u"locked.txt"_s)); }),
              FailureCode::PermissionDenied);
    EXPECT_FALSE(FileExists(path(u"locked.txt"_s)));
}

TEST_F(TextFileTest, WritingIntoAMissingFolderIsPathNotFound)
{
    const QString target = path(u"no folder/out.txt"_s);
    EXPECT_EQ(failureOf([&] { writeShiftJisFile(target, u"x"_s); }), FailureCode::PathNotFound);
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(TextFileTest, WritingIntoAFolderThatTakesNoFilesIsPermissionDenied)
{
    QString target;
    if (geteuid() != 0) {
        ASSERT_TRUE(QDir().mkdir(path(u"read-only"_s)));
        target = path(u"read-only/out.txt"_s);
        QFile::setPermissions(path(u"read-only"_s),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    } else {
        // Root writes into any folder whatever its permissions; the process
        // folder of the kernel takes no new files even from root.
        if (!QDir(u"/proc/self"_s).exists())
            GTEST_SKIP() << "running as root and no /proc to stand in for a read-only folder";
        target = u"/proc/norvanta-test.txt"_s;
    }
    EXPECT_EQ(failureOf([&] { writeShiftJisFile(target, u"x"_s); }),
              FailureCode::PermissionDenied);
    EXPECT_FALSE(QFile::exists(target));
    if (geteuid() != 0)
        QFile::setPermissions(path(u"read-only"_s), QFileDevice::ReadOwner |
                                                        QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner);
}

TEST_F(TextFileTest, ReadOnlyFileIsPermissionDeniedAndStaysWhole)
{
    const QString target = path(u"Norvane.ini"_s);
    writeBytes(target, "old\r\n");
    // Root writes any file whatever its permissions, but not one marked immutable.
    struct Immutable {
        QString path;
        ~Immutable()
        {
            if (!path.isEmpty())
                QProcess::execute(u"chattr"_s, {u"-i"_s, path});
        }
    } immutable;
    if (geteuid() != 0) {
        QFile::setPermissions(target, QFileDevice::ReadOwner);
    } else if (QProcess::execute(u"chattr"_s, {u"+i"_s, target}) == 0) {
        immutable.path = target;
    } else {
        GTEST_SKIP() << "running as root where this file system cannot mark a file immutable";
    }
    EXPECT_EQ(failureOf([&] { writeShiftJisFile(target, u"new\r\n"_s); }),
              FailureCode::PermissionDenied);
    EXPECT_EQ(readBytes(target), "old\r\n");
}

TEST_F(TextFileTest, FailedWriteLeavesTheOldFileWhole)
{
    const QString target = path(u"Norvane.ini"_s);
    const QByteArray old = "\"LimitPos=2\"\r\n\"PlotMode=1\"\r\n";
    writeBytes(target, old);

    // A file size limit makes the write fail part-way, for root as for anyone.
    int code = 0;
    {
        FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.active());
        code = failureOf([&] { writeShiftJisFile(target, QString(100000, u'あ')); });
    }

    EXPECT_NE(code, 0) << "the write was reported as done";
    EXPECT_EQ(readBytes(target), old);
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{u"Norvane.ini"_s})
        << "the temporary file was left behind";
}

TEST_F(TextFileTest, FileExistsOnlyForAReadableFile)
{
    writeBytes(path(u"constants.txt"_s), "R=1.987216\r\n");
    writeBytes(path(u"empty.txt"_s), {});
    EXPECT_TRUE(FileExists(path(u"constants.txt"_s)));
    EXPECT_TRUE(FileExists(path(u"empty.txt"_s)));
    EXPECT_FALSE(FileExists(path(u"absent.txt"_s)));
    EXPECT_FALSE(FileExists(path(u"no folder/constants.txt"_s)));
    EXPECT_FALSE(FileExists(folder_.path()));
    EXPECT_FALSE(FileExists(QString()));
}

TEST(DirectoryOf, UpToAndIncludingTheLastSeparator)
{
    const struct {
        QString path;
        QString directory;
    } cases[] = {
        {u"/home/user/Norvane.dat"_s, u"/home/user/"_s},
        {u"/home/user/"_s, u"/home/user/"_s},
        {u"/Norvane.ini"_s, u"/"_s},
        {u"reaction.txt"_s, QString()},
        {QString(), QString()},
        {u"data/反応/メタン.txt"_s, u"data/反応/"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DirectoryOf(c.path), c.directory) << c.path.toStdString();
}
