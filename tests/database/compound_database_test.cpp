#include "database/compound_database.h"

#include "common/failure.h"
#include "sample_database.h"

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::testing;

namespace {

QStringList list(std::initializer_list<const char16_t*> texts)
{
    QStringList result;
    for (const char16_t* text : texts)
        result.append(QString::fromUtf16(text));
    return result;
}

} // namespace

TEST_P(SampleDatabase, BrowserTableRowsAndGenres)
{
    const CompoundDatabaseLoad load = CompoundDatabase::load(writeSample());
    ASSERT_TRUE(load.ok()) << load.failure->text.toStdString();
    const CompoundDatabase& db = load.database;

    EXPECT_EQ(db.genreNames(),
              list({u"無機ガス", u";*  炭化水素", u"含酸素化合物", u"無機ガス"}));
    EXPECT_EQ(db.cell(2, 0), u";*  炭化水素");

    EXPECT_EQ(db.genreEntries(1), list({u"CO", u"CO2", u"H2O"}));
    // The name is the first field, as a calculation finds it: not a quoted
    // field further on, not the blanks around an unquoted name; a quoted
    // comma belongs to the name; an indented comment is no record.
    EXPECT_EQ(db.genreEntries(2), list({u"C2H4", u"C2H5OH,エタノール", u"C3H8", u" C4H10 "}));
    // The empty name ends the shown list; the records behind it stay in the table.
    EXPECT_EQ(db.genreEntries(3), list({u"CH3OH"}));
    EXPECT_EQ(db.cell(3, 2), QString());
    EXPECT_EQ(db.cell(3, 3), u"hcooh");
    EXPECT_EQ(db.cell(3, 4), u"CO");
    EXPECT_EQ(db.genreEntries(4), list({u"O2"}));

    // Records before the first genre go to row 0, which is never shown.
    EXPECT_EQ(db.cell(0, 1), u"H2");
    EXPECT_TRUE(db.genreEntries(0).isEmpty());
    EXPECT_EQ(db.cell(1, 4), QString());
    EXPECT_EQ(db.cell(50, 1000), QString());
}

TEST_P(SampleDatabase, CurrentGenreIsTheFirstExactMatch)
{
    const CompoundDatabase db = CompoundDatabase::load(writeSample()).database;
    EXPECT_EQ(db.genreNumber(QStringLiteral("無機ガス")), 1);
    EXPECT_EQ(db.genreNumber(QStringLiteral("含酸素化合物")), 3);
    EXPECT_EQ(db.genreNumber(QStringLiteral(";*  炭化水素")), 2);
    EXPECT_EQ(db.genreNumber(QStringLiteral("炭化水素")), 0);
    EXPECT_EQ(db.genreNumber(QStringLiteral("無機ガス ")), 0);
    EXPECT_TRUE(db.genreEntries(db.genreNumber(QStringLiteral("炭化水素"))).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(LineEnds, SampleDatabase, ::testing::Values(u"\r\n", u"\n"));

TEST(CompoundDatabase, CellsOutsideTheTableAreAnIndexFailure)
{
    const CompoundDatabase db;
    for (const auto& [genre, column] : {std::pair{-1, 0}, {51, 0}, {0, -1}, {1, 1001}}) {
        try {
            db.cell(genre, column);
            ADD_FAILURE() << genre << "," << column;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.code(), FailureCode::IndexOutOfRange);
        }
    }
}

TEST(CompoundDatabase, LimitsOfGenresAndRecords)
{
    QStringList fiftyGenres;
    for (int g = 1; g <= 50; ++g)
        fiftyGenres += generatedGenre(QStringLiteral(";*分類") + QString::number(g),
                                      QStringLiteral("G%1_").arg(g), 2);
    const QStringList fullGenre = generatedGenre(QStringLiteral(";*大分類"), QStringLiteral("A"), 1000);

    const struct {
        const char* what;
        QStringList lines;
        int genres;
        int lastGenreEntries;
    } cases[] = {
        {"50 genres", fiftyGenres, 50, 2},
        {"1000 records", fullGenre, 1, 1000},
        {"1000 records in each of two genres",
         fullGenre + generatedGenre(QStringLiteral(";*次"), QStringLiteral("B"), 1000), 2, 1000},
        {"1000 records before the first genre",
         generatedGenre(QStringLiteral(";前"), QStringLiteral("P"), 1000), 0, 0},
    };
    for (const auto& c : cases) {
        DataFileFolder folder;
        const CompoundDatabaseLoad load = CompoundDatabase::load(folder.write(c.lines));
        EXPECT_TRUE(load.ok()) << c.what;
        EXPECT_EQ(load.database.genreNames().size(), c.genres) << c.what;
        EXPECT_EQ(load.database.genreEntries(c.genres).size(), c.lastGenreEntries) << c.what;
    }
    DataFileFolder folder;
    const CompoundDatabase full = CompoundDatabase::load(folder.write(fullGenre)).database;
    EXPECT_EQ(full.cell(1, 1000), u"A1000");
    const CompoundDatabase before = CompoundDatabase::load(
        folder.write(generatedGenre(QStringLiteral(";前"), QStringLiteral("P"), 1000))).database;
    EXPECT_EQ(before.cell(0, 1000), u"P1000");
}

TEST(CompoundDatabase, FailuresKeepWhatWasRead)
{
    const QStringList start{QStringLiteral(";*無機ガス"), recordLine(QStringLiteral("\"CO\""), 1, 0, 1, 0)};
    QStringList fiftyOneGenres;
    for (int g = 1; g <= 51; ++g)
        fiftyOneGenres += generatedGenre(QStringLiteral(";*分類") + QString::number(g),
                                         QStringLiteral("G%1_").arg(g), 1);

    const struct {
        const char* what;
        QStringList lines;
        int code;
        int genres;
        int firstGenreEntries;
    } cases[] = {
        {"blank line", start + QStringList{QString(), QStringLiteral(";*次")}, 5, 1, 1},
        {"line of blanks", start + QStringList{QStringLiteral("   ")}, 5, 1, 1},
        {"no comma and one quote", start + QStringList{QStringLiteral("\"CO2 1 0 2")}, 5, 1, 1},
        {"51st genre", fiftyOneGenres, 9, 50, 1},
        {"1001st record", generatedGenre(QStringLiteral(";*大分類"), QStringLiteral("A"), 1001), 9, 1, 1000},
        {"1001st record before the first genre",
         generatedGenre(QStringLiteral(";前"), QStringLiteral("P"), 1001), 9, 0, 0},
    };
    for (const auto& c : cases) {
        DataFileFolder folder;
        const CompoundDatabaseLoad load = CompoundDatabase::load(folder.write(c.lines));
        ASSERT_FALSE(load.ok()) << c.what;
        EXPECT_EQ(load.failure->code, c.code) << c.what;
        EXPECT_EQ(load.failure->icon, MessageIcon::Error) << c.what;
        EXPECT_EQ(load.database.genreNames().size(), c.genres) << c.what;
        EXPECT_EQ(load.database.genreEntries(1).size(), c.firstGenreEntries) << c.what;
    }
}

TEST(CompoundDatabase, MissingFile)
{
    DataFileFolder folder;
    const CompoundDatabaseLoad load = CompoundDatabase::load(folder.path());
    ASSERT_FALSE(load.ok());
    EXPECT_EQ(load.failure->code, FailureCode::FileNotFound);
    EXPECT_EQ(load.failure->text, u"内部エラー(No: 53)が発生しました");
    EXPECT_TRUE(load.database.genreNames().isEmpty());
}

TEST(CompoundDatabase, FailureMessages)
{
    const struct {
        int code;
        const char16_t* text;
        MessageIcon icon;
    } cases[] = {
        {62, u"化合物データファイル(Norvane.dat)が不正です", MessageIcon::Exclamation},
        {9, u"内部エラー(No: 9)が発生しました", MessageIcon::Error},
        {5, u"内部エラー(No: 5)が発生しました", MessageIcon::Error},
        {-1, u"内部エラー(No:-1)が発生しました", MessageIcon::Error},
    };
    for (const auto& c : cases) {
        const CompoundDatabaseFailure failure = compoundDatabaseFailure(c.code);
        EXPECT_EQ(failure.code, c.code);
        EXPECT_EQ(failure.text, QString::fromUtf16(c.text));
        EXPECT_EQ(failure.icon, c.icon) << c.code;
    }
}
