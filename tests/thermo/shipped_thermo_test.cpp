// The shipped polynomial file against the shipped Norvane.dat, and the door
// without the polynomial file.
#include "thermo/thermo_data.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace norvanta::testing {
namespace {

using namespace Qt::StringLiterals;

QString shipped(const char* name)
{
    return QStringLiteral(NORVANTA_SOURCE_DIR "/data/") + QLatin1StringView(name);
}

// Both files come from thermo.inp: every record's dG of formation at 300..1000 K
// is the polynomials' value rounded to the 0.001 kcal/mol the record is written to.
TEST(ShippedThermo, PolynomialsGiveEveryRecordsGibbsEnergyToItsDigits)
{
    const ThermoData data = ThermoData::load(shipped("NorvaneThermo.dat"), shipped("Norvane.dat"));
    ASSERT_TRUE(data.hasPolynomials()) << data.polynomialNotice().toStdString();
    const CompoundIndex& database = *data.database();
    ASSERT_GT(database.recordCount(), 200);
    for (int r = 0; r < database.recordCount(); ++r) {
        const QString name = database.name(r);
        SCOPED_TRACE(name.toStdString());
        const auto compound = data.find(name);
        ASSERT_TRUE(compound && compound->fromPolynomials && !compound->condensed);
        for (int kelvin = 300; kelvin <= 1000; kelvin += 100) {
            EXPECT_LE(std::abs(compound->formationGibbs(kelvin) - database.gibbsEnergy(r, kelvin)),
                      0.0005 + 1e-9)
                << kelvin << " K";
        }
    }
}

TEST(ShippedThermo, WithoutThePolynomialFileNorvaneDatAloneAnswers)
{
    QTemporaryDir folder;
    const struct {
        const char* what;
        QByteArray bytes; // empty: no file
        QString notice;
    } cases[] = {
        {"missing", {}, u"熱化学データファイル(NorvaneThermo.dat)がありません"_s},
        {"damaged", "standard\t1 bar\r\n",
         u"熱化学データファイル(NorvaneThermo.dat)が不正です(1行目)"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = folder.filePath(u"NorvaneThermo.dat"_s);
        QFile::remove(path);
        if (!c.bytes.isEmpty()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.bytes);
        }
        const ThermoData data = ThermoData::load(path, shipped("Norvane.dat"));
        EXPECT_FALSE(data.hasPolynomials());
        EXPECT_EQ(data.polynomialNotice(), c.notice);
        const auto methane = data.find(u"メタン"_s);
        ASSERT_TRUE(methane);
        EXPECT_FALSE(methane->fromPolynomials);
        EXPECT_EQ(methane->elements, (std::vector<ElementCount>{{u"C"_s, 1}, {u"H"_s, 4}}));
        EXPECT_EQ(methane->formationGibbs(300),
                  data.database()->gibbsEnergy(*data.database()->find(u"CH4"_s), 300));
        EXPECT_TRUE(std::isnan(methane->formationGibbs(1100)));
        EXPECT_FALSE(data.find(u"HCl"_s));
    }
}

// The equilibrium's batch of compounds at one temperature after another: each
// value its compound's own, NaN outside its data, and a table compound (no
// polynomial file) from its table.
TEST(ShippedThermo, FormationGibbsSetGivesEachCompoundsValue)
{
    const ThermoData data = ThermoData::load(shipped("NorvaneThermo.dat"), shipped("Norvane.dat"));
    QTemporaryDir folder;
    const ThermoData tableOnly =
        ThermoData::load(folder.filePath(u"NorvaneThermo.dat"_s), shipped("Norvane.dat"));
    std::vector<CompoundThermo> compounds;
    for (const QString& name : {u"CH4"_s, u"NH3"_s, u"H2O(L)"_s, u"S(L)"_s, u"C(gr)"_s, u"HCl"_s}) {
        const std::optional<CompoundThermo> compound = data.find(name);
        ASSERT_TRUE(compound) << name.toStdString();
        compounds.push_back(*compound);
    }
    const std::optional<CompoundThermo> tabled = tableOnly.find(u"CH4"_s);
    ASSERT_TRUE(tabled && !tabled->fromPolynomials);
    compounds.push_back(*tabled);
    std::vector<const CompoundThermo*> pointers;
    for (const CompoundThermo& c : compounds)
        pointers.push_back(&c);
    const FormationGibbsSet set(pointers);
    std::vector<double> values;
    for (const double kelvin : {250.0, 300.0, 388.36, 1000.0, 1234.5, 3000.0, 6000.0}) {
        set.at(kelvin, values);
        ASSERT_EQ(values.size(), compounds.size());
        for (size_t i = 0; i < compounds.size(); ++i) {
            SCOPED_TRACE(compounds[i].name.toStdString() + " at " + std::to_string(kelvin));
            const double own = compounds[i].formationGibbs(kelvin);
            if (std::isnan(own))
                EXPECT_TRUE(std::isnan(values[i])) << values[i];
            else
                EXPECT_NEAR(values[i], own, 1e-9); // rounding of the terms (liquid water's are large)
        }
    }
}

} // namespace
} // namespace norvanta::testing
