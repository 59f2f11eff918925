// The committed Norvane.dat as every reader of the program sees it.
#include "shipped_files.h"

#include "common/number_text.h"
#include "common/text_file.h"
#include "database/compound_database.h"
#include "database/compound_index.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <optional>

namespace norvanta::testing {
namespace {

using namespace Qt::StringLiterals;
using Atoms = std::array<int, 3>; // C, H, O

QStringList shippedLines() {
    QString text = decodeShiftJis(fileBytes(shippedDatabasePath()));
    if (text.endsWith(u"\r\n"))
        text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

// The record names in file order, as the browser table holds them.
QStringList browserNames(const CompoundDatabase& database) {
    QStringList names;
    for (int g = 1; g <= database.genreNames().size(); ++g)
        names += database.genreEntries(g);
    return names;
}

// C, H and O counts of a formula such as CH3OH, (COOH)2 or CH3C6H4OH; empty
// when the text is anything else.
std::optional<Atoms> parseFormula(QStringView text, qsizetype& i, bool inGroup) {
    Atoms sum{};
    while (i < text.size() && text[i] != u')') {
        Atoms part{};
        if (text[i] == u'(') {
            ++i;
            const auto inner = parseFormula(text, i, true);
            if (!inner || i >= text.size())
                return std::nullopt;
            ++i;
            part = *inner;
        } else {
            const int element = QStringLiteral("CHO").indexOf(text[i]);
            if (element < 0)
                return std::nullopt;
            ++i;
            part[element] = 1;
        }
        int count = 0;
        for (; i < text.size() && text[i].isDigit(); ++i)
            count = count * 10 + text[i].digitValue();
        for (int k = 0; k < 3; ++k)
            sum[k] += part[k] * (count == 0 ? 1 : count);
    }
    if (inGroup != (i < text.size()))
        return std::nullopt;
    return sum;
}

std::optional<Atoms> formulaAtoms(const QString& name) {
    qsizetype i = 0;
    return parseFormula(name, i, false);
}

// The records of the inert gases' genre, the last of the file.
QStringList inertGasNames() {
    return {u"N2"_s,   u"nitrogen"_s, u"窒素"_s,   u"Ar"_s,    u"argon"_s,
            u"アルゴン"_s, u"He"_s,       u"helium"_s, u"ヘリウム"_s};
}

// The records of the nitrogen and sulfur genres, whose records hold only
// their C, H and O counts.
QSet<QString> nitrogenAndSulfurNames() {
    const auto database = CompoundDatabase::load(shippedDatabasePath()).database;
    QSet<QString> names;
    for (int g = 1; g <= database.genreNames().size(); ++g) {
        const QString& genre = database.genreNames()[g - 1];
        if (genre == u"窒素化合物"_s || genre == u"硫黄化合物"_s) {
            for (const QString& name : database.genreEntries(g))
                names.insert(name);
        }
    }
    return names;
}

// Molecular formulas of the compounds shipped under a common name.
const std::map<QString, Atoms>& commonNames() {
    static const std::map<QString, Atoms> names{
        {u"n-butane"_s, {4, 10, 0}},       {u"isobutane"_s, {4, 10, 0}},
        {u"n-pentane"_s, {5, 12, 0}},      {u"isopentane"_s, {5, 12, 0}},
        {u"neopentane"_s, {5, 12, 0}},     {u"n-heptane"_s, {7, 16, 0}},
        {u"2-methylhexane"_s, {7, 16, 0}}, {u"n-octane"_s, {8, 18, 0}},
        {u"isooctane"_s, {8, 18, 0}},      {u"cyclopropane"_s, {3, 6, 0}},
        {u"cyclobutane"_s, {4, 8, 0}},     {u"cyclopentane"_s, {5, 10, 0}},
        {u"cyclohexane"_s, {6, 12, 0}},    {u"propylene"_s, {3, 6, 0}},
        {u"1-butene"_s, {4, 8, 0}},        {u"cis-2-butene"_s, {4, 8, 0}},
        {u"trans-2-butene"_s, {4, 8, 0}},  {u"isobutene"_s, {4, 8, 0}},
        {u"1-pentene"_s, {5, 10, 0}},      {u"1-hexene"_s, {6, 12, 0}},
        {u"cyclopropene"_s, {3, 4, 0}},    {u"cyclobutene"_s, {4, 6, 0}},
        {u"allene"_s, {3, 4, 0}},          {u"butadiene"_s, {4, 6, 0}},
        {u"acetylene"_s, {2, 2, 0}},       {u"propyne"_s, {3, 4, 0}},
        {u"1-butyne"_s, {4, 6, 0}},        {u"2-butyne"_s, {4, 6, 0}},
        {u"ethanol"_s, {2, 6, 1}},         {u"1-propanol"_s, {3, 8, 1}},
        {u"2-propanol"_s, {3, 8, 1}},      {u"acetaldehyde"_s, {2, 4, 1}},
        {u"propanal"_s, {3, 6, 1}},        {u"acetone"_s, {3, 6, 1}},
        {u"dimethyl ether"_s, {2, 6, 1}},  {u"ethylene oxide"_s, {2, 4, 1}},
        {u"propylene oxide"_s, {3, 6, 1}}, {u"vinylidene"_s, {2, 2, 0}},
        {u"propargyl"_s, {3, 3, 0}},       {u"1-propynyl"_s, {3, 3, 0}},
        {u"n-propyl"_s, {3, 7, 0}},        {u"isopropyl"_s, {3, 7, 0}},
        {u"n-butyl"_s, {4, 9, 0}},         {u"isobutyl"_s, {4, 9, 0}},
        {u"sec-butyl"_s, {4, 9, 0}},       {u"tert-butyl"_s, {4, 9, 0}},
        {u"n-pentyl"_s, {5, 11, 0}},       {u"tert-pentyl"_s, {5, 11, 0}},
        {u"methoxy"_s, {1, 3, 1}},         {u"hydroxymethyl"_s, {1, 3, 1}},
    };
    return names;
}

TEST(ShippedDatabase, IsShiftJisWithCrLfLines) {
    const QByteArray bytes = fileBytes(shippedDatabasePath());
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(encodeShiftJis(decodeShiftJis(bytes)), bytes);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
        }
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at byte " << i;
        }
    }
}

TEST(ShippedDatabase, EveryLineIsAHeaderACommentOrATwelveFieldRecord) {
    int records = 0;
    for (const QString& line : shippedLines()) {
        SCOPED_TRACE(line.toStdString());
        if (line.trimmed().startsWith(u";*")) {
            EXPECT_TRUE(line.startsWith(u";*")) << "indented genre header";
        }
        if (line.startsWith(u';')) {
            EXPECT_FALSE(line.contains(u',') || line.contains(u'"'));
            continue;
        }
        ++records;
        ASSERT_TRUE(line.startsWith(u'"'));
        ASSERT_EQ(line.count(u'"'), 2);
        const qsizetype close = line.indexOf(u'"', 1);
        const QStringList values = line.mid(close + 1).split(u',');
        ASSERT_EQ(values.size(), 12) << "name plus 11 values";
        EXPECT_TRUE(values[0].isEmpty()) << "text between the name and its comma";
        for (int k = 1; k < 12; ++k) {
            const double value = leadingValue(values[k]);
            // The record writer's number text, to 0.001 at most.
            EXPECT_EQ(values[k], blankSignedNumberText(value));
            EXPECT_EQ(std::round(value * 1000) / 1000, value);
            if (k <= 3) {
                EXPECT_TRUE(value >= 0 && value == std::floor(value)) << "atom count";
            }
        }
    }
    EXPECT_GT(records, 100);
}

TEST(ShippedDatabase, BrowserLoadsEveryGenreWithinItsLimits) {
    const auto load = CompoundDatabase::load(shippedDatabasePath());
    ASSERT_TRUE(load.ok()) << load.failure->text.toStdString();
    const CompoundDatabase& database = load.database;
    const int headers =
        int(shippedLines().filter(QRegularExpression(QStringLiteral("^;\\*"))).size());
    ASSERT_EQ(database.genreNames().size(), headers);
    EXPECT_LE(headers, CompoundDatabase::MaxGenres);
    EXPECT_TRUE(database.genreEntries(0).isEmpty()) << "records before the first genre";
    for (int g = 1; g <= headers; ++g) {
        SCOPED_TRACE(database.genreNames()[g - 1].toStdString());
        EXPECT_FALSE(database.genreNames()[g - 1].isEmpty());
        EXPECT_FALSE(database.genreEntries(g).isEmpty());
        EXPECT_LE(database.genreEntries(g).size(), CompoundDatabase::MaxRecordsPerGenre);
    }
    EXPECT_EQ(database.genreNames().first(), QStringLiteral("無機ガス"));
    EXPECT_EQ(database.genreEntries(1).mid(0, 5),
              QStringList({u"H2"_s, u"hydrogen"_s, u"水素"_s, u"O2"_s, u"oxygen"_s}));
    EXPECT_EQ(database.genreNames().last(), QStringLiteral("不活性ガス"));
    EXPECT_EQ(database.genreEntries(headers), inertGasNames());

    // Nothing hidden from the browser, and room left for registrations
    // within the calculation's 1000 names.
    const auto index = CompoundIndex::load(shippedDatabasePath());
    EXPECT_EQ(browserNames(database).size(), index.recordCount());
    EXPECT_LT(index.recordCount(), 1000);
}

TEST(ShippedDatabase, EveryNameIsTypableUniqueAndFoundByTheCalculation) {
    const auto database = CompoundDatabase::load(shippedDatabasePath()).database;
    const auto index = CompoundIndex::load(shippedDatabasePath());
    QSet<QString> upperCaseNames;
    for (const QString& name : browserNames(database)) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(name.isEmpty());
        EXPECT_EQ(name.trimmed(), name);
        EXPECT_FALSE(name.startsWith(u';') || name.contains(u',') || name.contains(u'"'));
        // ASCII, or a Japanese name of full-width characters.
        for (QChar c : name)
            EXPECT_TRUE((c.unicode() >= 0x20 && c.unicode() < 0x7f) ||
                        (c.unicode() >= 0x3000 && (c.unicode() < 0xff61 || c.unicode() > 0xff9f)))
                << "control or half-width character";
        EXPECT_FALSE(upperCaseNames.contains(name.toUpper())) << "name repeated ignoring case";
        upperCaseNames.insert(name.toUpper());

        const auto record = index.find(name);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(index.name(*record), name);
        EXPECT_EQ(index.duplicateOf(name), std::optional<QString>(name));
    }
}

// Whether the record holds the same eleven numbers as the one before it: the
// second record of a compound that answers to its formula too.
bool repeatsThePreviousRecord(const CompoundIndex& index, int r) {
    if (r == 0)
        return false;
    for (int element = 0; element < 3; ++element) {
        if (index.atomCount(r, element) != index.atomCount(r - 1, element))
            return false;
    }
    for (int kelvin = 300; kelvin <= 1000; kelvin += 100) {
        if (index.gibbsEnergy(r, kelvin) != index.gibbsEnergy(r - 1, kelvin))
            return false;
    }
    return true;
}

// Formula names give their own atom counts, common names those of the
// compound; a common name is used exactly where the molecular formula is
// shared by another shipped compound. A compound's further records (the same
// numbers after its first) hold a formula only right after a common name,
// then its English and Japanese names.
TEST(ShippedDatabase, AtomCountsAgreeWithEachCompoundsFormula) {
    const auto index = CompoundIndex::load(shippedDatabasePath());
    const QSet<QString> nitrogenAndSulfur = nitrogenAndSulfurNames();
    ASSERT_TRUE(nitrogenAndSulfur.contains(u"NH3"_s) && nitrogenAndSulfur.contains(u"SO2"_s));
    std::map<Atoms, int> compoundsPerFormula;
    std::map<QString, Atoms> formulaOf;
    int first = -1;
    for (int r = 0; r < index.recordCount(); ++r) {
        const QString name = index.name(r);
        SCOPED_TRACE(name.toStdString());
        if (inertGasNames().contains(name) || nitrogenAndSulfur.contains(name))
            continue;
        const auto fromName = formulaAtoms(name);
        if (repeatsThePreviousRecord(index, r)) {
            if (fromName) {
                EXPECT_TRUE(r == first + 1 && commonNames().contains(index.name(first)))
                    << "a further formula comes right after a common name";
            }
            continue;
        }
        first = r;
        const auto common = commonNames().find(name);
        ASSERT_TRUE(fromName.has_value() != (common != commonNames().end()))
            << "neither a formula nor a known common name, or both";
        const Atoms atoms = fromName ? *fromName : common->second;
        for (int element = 0; element < 3; ++element)
            EXPECT_EQ(index.atomCount(r, element), atoms[element]) << "element " << element;
        ++compoundsPerFormula[atoms];
        formulaOf[name] = atoms;
    }
    for (const auto& [name, atoms] : formulaOf) {
        const bool shared = compoundsPerFormula[atoms] > 1;
        EXPECT_EQ(shared, commonNames().contains(name))
            << name.toStdString() << (shared ? " shares its formula" : " has a unique formula");
    }
}

// Of the compounds under a common name, the one a formula stands for answers
// to it: a hydrocarbon's molecular formula names the n-alkane, 1-alkene or
// 1-alkyne, an oxygen compound's condensed formula the compound it shows.
TEST(ShippedDatabase, FormulasChemistsTypeFindTheCompoundTheyStandFor) {
    const auto index = CompoundIndex::load(shippedDatabasePath());
    const std::vector<std::pair<QString, QString>> formulaAndName{
        {u"C4H10"_s, u"n-butane"_s},      {u"C5H12"_s, u"n-pentane"_s},
        {u"C7H16"_s, u"n-heptane"_s},     {u"C8H18"_s, u"n-octane"_s},
        {u"C3H6"_s, u"propylene"_s},      {u"C4H8"_s, u"1-butene"_s},
        {u"C5H10"_s, u"1-pentene"_s},     {u"C6H12"_s, u"1-hexene"_s},
        {u"C2H2"_s, u"acetylene"_s},      {u"C3H4"_s, u"propyne"_s},
        {u"C4H6"_s, u"1-butyne"_s},       {u"C2H5OH"_s, u"ethanol"_s},
        {u"C3H7OH"_s, u"1-propanol"_s},   {u"(CH3)2CHOH"_s, u"2-propanol"_s},
        {u"CH3CHO"_s, u"acetaldehyde"_s}, {u"C2H5CHO"_s, u"propanal"_s},
        {u"CH3COCH3"_s, u"acetone"_s},    {u"CH3OCH3"_s, u"dimethyl ether"_s},
        {u"CH3O"_s, u"methoxy"_s},        {u"CH2OH"_s, u"hydroxymethyl"_s},
    };
    int seconds = 0;
    for (int r = 0; r < index.recordCount(); ++r)
        seconds += repeatsThePreviousRecord(index, r) && formulaAtoms(index.name(r)) ? 1 : 0;
    EXPECT_EQ(seconds, int(formulaAndName.size())) << "a formula outside the rule";
    for (const auto& [formula, name] : formulaAndName) {
        SCOPED_TRACE(formula.toStdString());
        const auto byFormula = index.find(formula);
        const auto byName = index.find(name);
        ASSERT_TRUE(byFormula.has_value() && byName.has_value());
        EXPECT_EQ(*byFormula, *byName + 1);
        EXPECT_TRUE(repeatsThePreviousRecord(index, *byFormula));
    }
}

// The inert gases hold no C, H or O atom, so a reaction cannot balance them
// against anything else.
TEST(ShippedDatabase, ElementReferencesHaveNoFormationEnergy) {
    const auto index = CompoundIndex::load(shippedDatabasePath());
    for (const QString& name : QStringList{u"H2"_s, u"O2"_s} + inertGasNames()) {
        const auto record = index.find(name);
        ASSERT_TRUE(record.has_value()) << name.toStdString();
        for (int kelvin = 300; kelvin <= 1000; kelvin += 100)
            EXPECT_EQ(index.gibbsEnergy(*record, kelvin), 0) << name.toStdString() << kelvin;
        if (inertGasNames().contains(name)) {
            for (int element = 0; element < 3; ++element)
                EXPECT_EQ(index.atomCount(*record, element), 0) << name.toStdString();
        }
    }
}

// Relative stabilities at 300 K that any table of these isomers shows; a
// name given to the wrong entry of the data breaks them.
TEST(ShippedDatabase, IsomersKeepTheirKnownOrderOfStability) {
    const auto index = CompoundIndex::load(shippedDatabasePath());
    const std::vector<std::vector<QString>> mostStableFirst{
        {u"isobutene"_s, u"trans-2-butene"_s, u"cis-2-butene"_s, u"1-butene"_s},
        {u"isobutane"_s, u"n-butane"_s},
        {u"propylene"_s, u"cyclopropane"_s},
        {u"ethanol"_s, u"dimethyl ether"_s},
        {u"2-propanol"_s, u"1-propanol"_s},
        {u"acetaldehyde"_s, u"ethylene oxide"_s},
        {u"acetone"_s, u"propanal"_s, u"propylene oxide"_s},
        {u"propyne"_s, u"allene"_s, u"cyclopropene"_s},
        {u"butadiene"_s, u"2-butyne"_s, u"1-butyne"_s},
        {u"acetylene"_s, u"vinylidene"_s},
        {u"isopropyl"_s, u"n-propyl"_s},
        {u"propargyl"_s, u"1-propynyl"_s},
    };
    for (const auto& isomers : mostStableFirst) {
        double previous = -1e9;
        for (const QString& name : isomers) {
            const auto record = index.find(name);
            ASSERT_TRUE(record.has_value()) << name.toStdString();
            const double g = index.gibbsEnergy(*record, 300);
            EXPECT_GT(g, previous) << name.toStdString();
            previous = g;
        }
    }
}

} // namespace
} // namespace norvanta::testing
