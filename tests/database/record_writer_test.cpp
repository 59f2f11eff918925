#include "database/record_writer.h"

#include "common/failure.h"
#include "database/compound_index.h"
#include "data_file.h"
#include "support/test_files.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::testing;

TEST(RecordWriter, RecordLine)
{
    const struct {
        const char16_t* name;
        std::array<double, 3> atoms;
        std::array<double, 8> gibbs;
        const char16_t* line;
    } cases[] = {
        {u"CO2", {1, 0, 2}, {-94.26, -94.32, -94.39, -94.45, -94.51, -94.57, -94.62, -94.68},
         u"\"CO2\", 1, 0, 2,-94.26,-94.32,-94.39,-94.45,-94.51,-94.57,-94.62,-94.68\r\n"},
        {u"C2H5OH,エタノール", {2, 6, 1}, {-12.5, 0, 1.5e-7, 2.5e15, 0.0001, -1e-5, 100, 1.0 / 3.0},
         u"\"C2H5OH,エタノール\", 2, 6, 1,-12.5, 0, 1.5E-07, 2.5E+15, 0.0001,-1E-05, 100, "
         u"0.333333333333333\r\n"},
        {u" メタン ", {0, 0, 0}, {1, 1, 1, 1, 1, 1, 1, 1},
         u"\" メタン \", 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(compoundRecordLine(QString::fromUtf16(c.name), c.atoms, c.gibbs),
                  QString::fromUtf16(c.line));
}

TEST(RecordWriter, AppendedRecordIsShiftJisAndFoundByTheLookup)
{
    DataFileFolder folder;
    const QByteArray before = encodeShiftJis(QStringLiteral(";*無機ガス\r\n") +
                                             recordLine(QStringLiteral("\"CO\""), 1, 0, 1, -30) +
                                             QStringLiteral("\r\n"));
    folder.writeText(decodeShiftJis(before));

    const QString name = QStringLiteral("C2H5OH,エタノール");
    const QString line = compoundRecordLine(name, {2, 6, 1}, {-40, -41, -42, -43, -44, -45, -46, -47});
    appendCompoundRecord(folder.path(), line);

    const QByteArray after = folder.bytes();
    EXPECT_EQ(after, before + encodeShiftJis(line));
    // "エタノール" in code page 932.
    EXPECT_TRUE(after.contains(QByteArray("\x83\x47\x83\x5e\x83\x6d\x81\x5b\x83\x8b")));
    EXPECT_TRUE(after.endsWith("\r\n"));

    const CompoundIndex index = CompoundIndex::load(folder.path());
    const std::optional<int> record = index.find(name);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(index.atomCount(*record, 1), 6);
    EXPECT_EQ(index.gibbsEnergy(*record, 1000), -47);
    EXPECT_EQ(index.duplicateOf(QStringLiteral("c2h5oh,エタノール")), name);
}

TEST(RecordWriter, AppendEndsAnUnfinishedLastLineFirst)
{
    DataFileFolder folder;
    const QString last = recordLine(QStringLiteral("\"CO\""), 1, 0, 1, -30);
    folder.writeText(QStringLiteral(";*無機ガス\n") + last);

    appendCompoundRecord(folder.path(), compoundRecordLine(QStringLiteral("CO2"), {1, 0, 2}, {}));

    const CompoundIndex index = CompoundIndex::load(folder.path());
    ASSERT_EQ(index.recordCount(), 2);
    EXPECT_EQ(index.gibbsEnergy(*index.find(QStringLiteral("CO")), 1000), -38);
    EXPECT_EQ(index.atomCount(*index.find(QStringLiteral("CO2")), 2), 2);
    EXPECT_TRUE(folder.bytes().endsWith(encodeShiftJis(last + QStringLiteral("\r\n\"CO2\", 1, 0, 2"))
                                            + QByteArray(", 0, 0, 0, 0, 0, 0, 0, 0\r\n")));
}

TEST(RecordWriter, AppendNeedsAnExistingFile)
{
    DataFileFolder folder;
    const QString line = compoundRecordLine(QStringLiteral("CO"), {1, 0, 1}, {});
    try {
        appendCompoundRecord(folder.path(), line);
        ADD_FAILURE() << "appended to a missing file";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.code(), FailureCode::FileNotFound);
    }
    EXPECT_FALSE(QFileInfo::exists(folder.path()));

    try {
        appendCompoundRecord(folder.path() + QStringLiteral("/../../missing/Norvane.dat"), line);
        ADD_FAILURE() << "appended in a missing folder";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.code(), FailureCode::PathNotFound);
    }
}

TEST(RecordWriter, AFailedAppendLeavesTheFileAsItWas)
{
    const QString line =
        compoundRecordLine(QStringLiteral("C2H5OH,エタノール"), {2, 6, 1}, {-40, -41, -42});
    const QString ended =
        recordLine(QStringLiteral("\"CO\""), 1, 0, 1, -30) + QStringLiteral("\r\n");
    // The limit lets through nothing, the missing line end only, or all but
    // the last byte of the record.
    const struct {
        const char* what;
        QString text;
        qint64 room;
    } cases[] = {
        {"no room", ended, 0},
        {"room for part of the record", ended, 7},
        {"room for all but one byte", ended, encodeShiftJis(line).size() - 1},
        {"room for the line end only", ended.chopped(2), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DataFileFolder folder;
        folder.writeText(c.text);
        const QByteArray before = folder.bytes();
        int code = 0;
        {
            FileSizeLimit limit(rlim_t(before.size() + c.room));
            ASSERT_TRUE(limit.active());
            try {
                appendCompoundRecord(folder.path(), line);
            } catch (const Failure& failure) {
                code = failure.code();
            }
        }
        EXPECT_EQ(code, FailureCode::DiskFull);
        EXPECT_EQ(folder.bytes(), before);
    }
}
