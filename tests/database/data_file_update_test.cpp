#include "database/data_file_update.h"

#include "common/failure.h"
#include "common/text_file.h"
#include "support/test_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace norvanta;
using namespace Qt::StringLiterals;

namespace {

QByteArray sjis(const QString& text)
{
    return encodeShiftJis(text);
}

} // namespace

// What an update keeps of the working folder's file, byte for byte, and what
// it names as not carried over.
TEST(DataFileMerge, KeepsRegisteredRecordsAndNamesTheOnesLeftOut)
{
    const QByteArray shipped = sjis(u";*無機ガス\r\n\"CO\", 1, 0, 1, -30\r\n\"ｴﾀﾝ\", 2, 6, 0, -5\r\n"_s);
    const struct {
        const char* what;
        QByteArray shipped;
        QByteArray current;
        QByteArray appended;
        QStringList kept;
        QStringList dropped;
    } cases[] = {
        {"the shipped records themselves, however spaced, go silently", shipped,
         shipped + sjis(u"CO,1,0,1,-30\r\n"_s), {}, {}, {}},
        {"a registered record is carried as stored; its last line is ended", shipped,
         shipped + sjis(u";古いコメント\r\n\"ﾌﾟﾛﾊﾟﾝ\",3, 8,0\n\n\"X\", 9"_s),
         sjis(u"\"ﾌﾟﾛﾊﾟﾝ\",3, 8,0\r\n\"X\", 9\r\n"_s), {u"ﾌﾟﾛﾊﾟﾝ"_s, u"X"_s}, {}},
        {"a shipped name in any case with other values is named", shipped,
         sjis(u"\"co\", 1, 0, 1, -30\r\n\"ｴﾀﾝ\", 2, 6, 0, -6\r\n"_s), {}, {},
         {u"co"_s, u"ｴﾀﾝ"_s}},
        {"a shipped file without a last line end is ended first",
         sjis(u"\"CO\", 1, 0, 1, -30"_s), sjis(u"\"H2\", 0, 2, 0, 0\r\n"_s),
         sjis(u"\r\n\"H2\", 0, 2, 0, 0\r\n"_s), {u"H2"_s}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DataFileMerge merge = mergeDataFiles(c.shipped, c.current);
        EXPECT_EQ(merge.bytes, c.shipped + c.appended);
        EXPECT_EQ(merge.kept, c.kept);
        EXPECT_EQ(merge.dropped, c.dropped);
    }
}

// An upgrade changed CH4 and removed C3H6: with the file shipped before kept
// beside the data file, only what the user registered is carried or named.
TEST(DataFileMerge, TellsShippedRecordsFromRegisteredOnes)
{
    const QByteArray before =
        sjis(u";*炭化水素\r\n\"CH4\", 1, 4, 0, -12\r\n\"C3H6\", 3, 6, 0, 15\r\n"_s);
    const QByteArray upgraded = sjis(u";*炭化水素\r\n\"CH4\", 1, 4, 0, -12.1\r\n"_s);
    const struct {
        const char* what;
        QByteArray registered;
        QByteArray appended;
        QStringList kept;
        QStringList dropped;
        QStringList repeated;
    } cases[] = {
        {"one registered compound",
         sjis(u"\"Mine\", 1, 0, 0, 1\r\n"_s),
         sjis(u"\"Mine\", 1, 0, 0, 1\r\n"_s),
         {u"Mine"_s},
         {},
         {}},
        {"a registration the upgrade now ships",
         sjis(u"\"ch4\", 1, 4, 0, -9\r\n"_s),
         {},
         {},
         {u"ch4"_s},
         {}},
        {"a name twice in two cases ends once",
         sjis(u"\"foo\", 1, 0, 0, 1\r\n\"FOO\", 2\r\n"_s),
         sjis(u"\"foo\", 1, 0, 0, 1\r\n"_s),
         {u"foo"_s},
         {},
         {u"FOO"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DataFileMerge merge = mergeDataFiles(upgraded, before + c.registered, before);
        EXPECT_EQ(merge.bytes, upgraded + c.appended);
        EXPECT_EQ(merge.kept, c.kept);
        EXPECT_EQ(merge.dropped, c.dropped);
        EXPECT_EQ(merge.repeated, c.repeated);
    }
}

// The update through files: the copy of the shipped file it leaves is what
// the next upgrade is told apart by; a shipped file that holds no genre is
// refused before anything is touched.
TEST(DataFileUpdate, KeepsTheShippedCopyAndRefusesAnUnusableShippedFile)
{
    QTemporaryDir folder;
    const QString data = folder.filePath(u"Norvane.dat"_s);
    const QString shipped = folder.filePath(u"shipped.dat"_s);
    const QByteArray before = sjis(u";*G\r\n\"CH4\", 1, 4, 0, -12\r\n\"C3H6\", 3, 6, 0, 15\r\n"_s);
    const QByteArray upgraded = sjis(u";*G\r\n\"CH4\", 1, 4, 0, -12.1\r\n"_s);
    const QByteArray mine = sjis(u"\"Mine\", 1, 0, 0, 1\r\n"_s);
    norvanta::testing::writeBytes(shipped, before);
    updateDataFile(shipped, data); // the first start: no data file yet
    norvanta::testing::writeBytes(data, readFileBytes(data) + mine);
    norvanta::testing::writeBytes(shipped, upgraded);
    const DataFileMerge merge = updateDataFile(shipped, data);
    EXPECT_EQ(merge.kept, QStringList{u"Mine"_s});
    EXPECT_EQ(merge.dropped, QStringList{});
    EXPECT_EQ(readFileBytes(data), upgraded + mine);
    EXPECT_EQ(readFileBytes(shippedCopyPath(data)), upgraded);

    for (const QByteArray& unusable : {QByteArray(), sjis(u"\"CH4\", 1, 4, 0, -12\r\n"_s)}) {
        norvanta::testing::writeBytes(shipped, unusable);
        EXPECT_TRUE(unusableShippedMessage(unusable).has_value());
        try {
            updateDataFile(shipped, data);
            ADD_FAILURE() << "refused shipped file taken";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.code(), FailureCode::InvalidArgument);
        }
        EXPECT_EQ(readFileBytes(data), upgraded + mine);
    }
}
