#include "database/compound_index.h"

#include "common/failure.h"
#include "sample_database.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace norvanta;
using namespace norvanta::testing;
using namespace Qt::StringLiterals;

namespace {

int failureCode(const auto& action)
{
    try {
        action();
    } catch (const Failure& failure) {
        return failure.code();
    }
    return 0;
}

} // namespace

TEST_P(SampleDatabase, LookupFindsRecordNamesExactly)
{
    const CompoundIndex index = CompoundIndex::load(writeSample());
    EXPECT_EQ(index.recordCount(), 13);

    const struct {
        const char16_t* name;
        std::array<double, 3> atoms;
        double g300;
        double g1000;
    } found[] = {
        {u"H2", {0, 2, 0}, -1, -8}, // before the first genre
        {u"CO", {1, 0, 1}, -31, -38}, // the first of two CO records
        {u"CO2", {1, 0, 2}, -91, -98},
        {u"H2O", {0, 2, 1}, -51, -58},
        {u"C2H4", {2, 4, 0}, 17, 10}, // a quoted value field is still a value
        {u"C2H5OH,エタノール", {2, 6, 1}, -41, -48},
        {u"C3H8", {3, 8, 0}, -6, -13}, // blanks around an unquoted name are dropped
        {u" C4H10 ", {4, 10, 0}, -5, -12}, // blanks inside quotes belong to the name
        {u"hcooh", {1, 2, 2}, -86, -93}, // behind the empty name the browser stops at
        {u"O2", {0, 0, 2}, -1, -8},
    };
    for (const auto& c : found) {
        const QString name = QString::fromUtf16(c.name);
        const std::optional<int> record = index.find(name);
        ASSERT_TRUE(record.has_value()) << name.toStdString();
        EXPECT_EQ(index.name(*record), name);
        for (int e = 0; e < 3; ++e)
            EXPECT_EQ(index.atomCount(*record, e), c.atoms[std::size_t(e)]) << name.toStdString();
        EXPECT_EQ(index.gibbsEnergy(*record, 300), c.g300) << name.toStdString();
        EXPECT_EQ(index.gibbsEnergy(*record, 1000), c.g1000) << name.toStdString();
    }

    // Case, surrounding blanks, quoted value fields, genre names and bare
    // numbers that stand in value fields are not registered names.
    for (const char16_t* name : {u"co", u"Co2", u"HCOOH", u"CO2 ", u"   C3H8", u"C4H10", u"17",
                                 u"0", u"2", u"-31", u"無機ガス", u";*無機ガス", u"C2H5OH"})
        EXPECT_FALSE(index.find(QString::fromUtf16(name)).has_value()) << QString::fromUtf16(name).toStdString();
}

TEST_P(SampleDatabase, GibbsEnergyFieldsByTemperature)
{
    const CompoundIndex index = CompoundIndex::load(writeSample());
    const int co2 = *index.find(QStringLiteral("CO2"));
    for (int kelvin = 300; kelvin <= 1000; kelvin += 100)
        EXPECT_EQ(index.gibbsEnergy(co2, kelvin), -90 - (kelvin / 100 - 2)) << kelvin;
    for (int kelvin : {200, 250, 1100, 350})
        EXPECT_EQ(failureCode([&] { index.gibbsEnergy(co2, kelvin); }), FailureCode::InvalidArgument);
    EXPECT_EQ(failureCode([&] { index.field(co2, 0); }), FailureCode::IndexOutOfRange);
    EXPECT_EQ(failureCode([&] { index.field(co2, 12); }), FailureCode::IndexOutOfRange);
    EXPECT_EQ(failureCode([&] { index.field(13, 1); }), FailureCode::IndexOutOfRange);
}

TEST_P(SampleDatabase, DuplicateTestIgnoresCaseAndReturnsTheStoredName)
{
    const CompoundIndex index = CompoundIndex::load(writeSample());
    const struct {
        const char16_t* typed;
        const char16_t* stored; // nullptr: no duplicate
    } cases[] = {
        {u"HCOOH", u"hcooh"},      {u"co2", u"CO2"},      {u"Co", u"CO"},
        {u"h2", u"H2"},            {u" c4h10 ", u" C4H10 "},
        {u"c2h5oh,エタノール", u"C2H5OH,エタノール"},
        {u" CO2", nullptr},        {u"C4H10", nullptr},   {u"0", nullptr},
        {u"2", nullptr},           {u"17", nullptr},      {u"N2", nullptr},
    };
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf16(c.typed);
        const std::optional<QString> duplicate = index.duplicateOf(typed);
        if (c.stored == nullptr)
            EXPECT_FALSE(duplicate.has_value()) << typed.toStdString();
        else
            EXPECT_EQ(duplicate.value_or(QString()), QString::fromUtf16(c.stored)) << typed.toStdString();
    }
    // The lookup of the calculation stays case-sensitive for the same name.
    EXPECT_FALSE(index.find(QStringLiteral("HCOOH")).has_value());
}

TEST(CompoundIndex, TruncatedLastRecordFailsWhenItsValuesAreRead)
{
    const CompoundIndex index = CompoundIndex::parse(
        recordLine(QStringLiteral("\"CO\""), 1, 0, 1, -30) +
        QStringLiteral("\r\n\"CO2\", 1, 0, 2, -94.26, -94.32\r\n"));
    ASSERT_EQ(index.recordCount(), 2);
    const int co2 = *index.find(QStringLiteral("CO2"));
    EXPECT_EQ(index.atomCount(co2, 2), 2);
    EXPECT_EQ(index.gibbsEnergy(co2, 400), -94.32);
    EXPECT_EQ(failureCode([&] { index.gibbsEnergy(co2, 500); }), FailureCode::ReadPastEnd);
    EXPECT_EQ(failureCode([&] { index.gibbsEnergy(co2, 1000); }), FailureCode::ReadPastEnd);
    EXPECT_EQ(index.gibbsEnergy(*index.find(QStringLiteral("CO")), 1000), -38);
}

TEST(CompoundIndex, BareNumberNamesMatchOnlyRecordNames)
{
    // "2" stands first as H2's hydrogen count; only the record named "2" may match.
    const CompoundIndex index = CompoundIndex::parse(
        recordLine(QStringLiteral("\"H2\""), 0, 2, 0, 0) + u'\n' +
        recordLine(QStringLiteral("\"2\""), 7, 7, 7, 70) + u'\n');
    const std::optional<int> record = index.find(QStringLiteral("2"));
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(*record, 1);
    EXPECT_EQ(index.atomCount(*record, 0), 7);
    EXPECT_EQ(index.duplicateOf(QStringLiteral("2")), QStringLiteral("2"));
    EXPECT_FALSE(index.find(QStringLiteral("0")).has_value());
}

TEST(CompoundIndex, MoreThanAThousandRecords)
{
    DataFileFolder folder;
    const QString path = folder.write(generatedGenre(QStringLiteral(";*大分類"), QStringLiteral("A"), 1500));
    const CompoundIndex index = CompoundIndex::load(path);
    EXPECT_EQ(index.recordCount(), 1500);
    const std::optional<int> last = index.find(QStringLiteral("A1500"));
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(*last, 1499);
    EXPECT_EQ(index.atomCount(*last, 1), 1500 % 7);
    EXPECT_EQ(index.gibbsEnergy(*last, 1000), 1492);
}

TEST(CompoundIndex, MissingFileAndEmptyText)
{
    DataFileFolder folder;
    EXPECT_EQ(failureCode([&] { CompoundIndex::load(folder.path()); }), FailureCode::FileNotFound);

    const CompoundIndex empty = CompoundIndex::parse(QString());
    EXPECT_EQ(empty.recordCount(), 0);
    EXPECT_FALSE(empty.find(QString()).has_value());
    EXPECT_FALSE(empty.duplicateOf(QStringLiteral("CO")).has_value());
}

// Every line is read on its own: a malformed line between O2 and N2 leaves
// both records as they are.
TEST(CompoundIndex, MalformedLineHidesNoLaterRecord)
{
    const struct {
        const char* name;
        QString line;
    } cases[] = {
        {"blank line", QString()},
        {"line of blanks", QStringLiteral("   ")},
        {"comment with a comma", QStringLiteral(";値は概算, 一部は推定")},
        {"genre header with a comma", QStringLiteral("  ;*無機ガス, その他")},
        {"record of 11 fields", QStringLiteral("\"XX\", 1, 0, 0, -1, -2, -3, -4, -5, -6, -7")},
        {"record of 13 fields", recordLine(QStringLiteral("\"XX\""), 1, 0, 0, 0) + u", 5"_s},
        {"half-written record", QStringLiteral("\"XX\", 1, 0")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CompoundIndex index = CompoundIndex::parse(
            recordLine(QStringLiteral("\"O2\""), 0, 0, 2, 0) + u"\r\n"_s + c.line + u"\r\n"_s +
            recordLine(QStringLiteral("\"N2\""), 0, 0, 0, 10) + u"\r\n"_s);
        for (const auto& [name, oxygen, base] : {std::tuple{u"O2", 2, 0}, {u"N2", 0, 10}}) {
            const std::optional<int> record = index.find(QString::fromUtf16(name));
            ASSERT_TRUE(record.has_value());
            EXPECT_EQ(index.atomCount(*record, 2), oxygen);
            EXPECT_EQ(index.gibbsEnergy(*record, 300), base - 1);
            EXPECT_EQ(index.gibbsEnergy(*record, 1000), base - 8);
        }
    }
}

// The 300 K field of a matching record as written, and what reading it gives:
// its leading value, or the failure a run reports.
TEST(CompoundIndex, ValueFieldsWithoutANumberOrBeyondADoubleFail)
{
    const struct {
        QString text;
        double value;
        int failure;
    } cases[] = {
        {QStringLiteral("-94.26"), -94.26, 0},
        {QStringLiteral("3x"), 3, 0},
        {QStringLiteral("1e-400"), 0, 0},
        {QStringLiteral("abc"), 0, FailureCode::ReadPastEnd},
        {QString(), 0, FailureCode::ReadPastEnd},
        {QStringLiteral("-1e309"), 0, FailureCode::Overflow},
        {QStringLiteral("1e99999"), 0, FailureCode::Overflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const CompoundIndex index = CompoundIndex::parse(
            u"\"XX\", 1, 0, 2, "_s + c.text + u", -2, -3, -4, -5, -6, -7, -8\r\n"_s);
        EXPECT_EQ(failureCode([&] { index.gibbsEnergy(0, 300); }), c.failure);
        EXPECT_EQ(failureCode([&] { index.requireFiniteValues(0); }),
                  c.failure == FailureCode::Overflow ? c.failure : 0);
        if (c.failure == 0)
            EXPECT_EQ(index.gibbsEnergy(0, 300), c.value);
        EXPECT_EQ(index.gibbsEnergy(0, 400), -2);
    }
}
