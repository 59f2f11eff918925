#include "database/compound_index_cache.h"

#include "common/failure.h"
#include "data_file.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::testing;
using namespace Qt::StringLiterals;

TEST(CompoundIndexCache, ParsesOnceAndSeesEveryChangeOfTheFile)
{
    DataFileFolder folder;
    const QString path = folder.write({u";*Gases"_s, recordLine(u"\"CO\""_s, 1, 0, 1, -30)});
    CompoundIndexCache cache;

    const auto first = cache.load(path);
    EXPECT_EQ(cache.load(path), first) << "an unchanged file was parsed again";

    // A compound registered between two calculations.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(encodeShiftJis(recordLine(u"\"CO2\""_s, 1, 0, 2, -90) + u"\r\n"_s));
    file.close();
    const auto appended = cache.load(path);
    EXPECT_TRUE(appended->find(u"CO2"_s));
    EXPECT_EQ(cache.load(path), appended);

    // The same length and the same second: only the bytes tell the change.
    QByteArray bytes = folder.bytes();
    bytes.replace("-91", "-71");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const auto edited = cache.load(path);
    EXPECT_EQ(edited->gibbsEnergy(*edited->find(u"CO2"_s), 300), -71);

    // Gone: the failure of any reading, never the earlier content.
    ASSERT_TRUE(QFile::remove(path));
    try {
        cache.load(path);
        ADD_FAILURE() << "a missing file was answered from the cache";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.code(), 53);
    }
}
