#include "database/data_file_update.h"

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

// An upgrade changed CH4 and removed C3H6. The first start left the copy of
// the shipped file beside the data file, so the update carries over and
// names only what was registered: "Mine", and not its twin "MINE".
TEST(DataFileUpdate, CarriesOverOnlyWhatWasRegistered)
{
    QTemporaryDir folder;
    const QString data = folder.filePath(u"Norvane.dat"_s);
    const QString shipped = folder.filePath(u"shipped.dat"_s);
    const QByteArray mine = sjis(u"\"Mine\", 1, 0, 0, 1\r\n"_s);
    const QByteArray upgraded = sjis(u";*G\r\n\"CH4\", 1, 4, 0, -12.1\r\n"_s);
    norvanta::testing::writeBytes(
        shipped, sjis(u";*G\r\n\"CH4\", 1, 4, 0, -12\r\n\"C3H6\", 3, 6, 0, 15\r\n"_s));
    updateDataFile(shipped, data);
    norvanta::testing::writeBytes(data, readFileBytes(data) + mine + sjis(u"\"MINE\", 2\r\n"_s));
    norvanta::testing::writeBytes(shipped, upgraded);
    const DataFileMerge merge = updateDataFile(shipped, data);
    EXPECT_EQ(merge.kept, QStringList{u"Mine"_s});
    EXPECT_EQ(merge.dropped, QStringList{});
    EXPECT_EQ(merge.repeated, QStringList{u"MINE"_s});
    EXPECT_EQ(readFileBytes(data), upgraded + mine);
    EXPECT_EQ(readFileBytes(shippedCopyPath(data)), upgraded);
}