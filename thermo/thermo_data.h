#pragma once

#include "database/compound_index.h"
#include "database/compound_index_cache.h"
#include "database/polynomial_file.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace norvanta {

// Standard-state values at one temperature, 1 atm.
struct ThermoValues {
    double formationGibbs = 0;    // ΔfG°, kcal/mol
    double formationEnthalpy = 0; // ΔfH°, kcal/mol
    double entropy = 0;           // S°, cal/(mol K)
    double heatCapacity = 0;      // Cp°, cal/(mol K)
    double enthalpy = 0; // H°(T), kcal/mol, on the polynomials' basis (elements at 298.15 K: 0)
};

// ΔfG at T from a table at 300, 400, ..., 1000 K: the straight line between
// the tabulated temperatures that bracket T, extended from the end segments
// (at a tabulated temperature, the value exactly).
double tabulatedFormationGibbs(const std::array<double, 8>& table, double kelvin);

// One compound in one phase: from the polynomials where the polynomial file
// has it, otherwise from its Norvane.dat record (ΔfG at 300..1000 K only).
class CompoundThermo {
public:
    QString name;     // the name it was found under, or its first name
    QString dataName; // the polynomial file's data spelling; empty for a table compound
    std::vector<ElementCount> elements; // a table compound: its nonzero C, H, O counts
    bool condensed = false;
    double minKelvin = 300;
    double maxKelvin = 1000;
    bool fromPolynomials = false;

    bool covers(double kelvin) const { return kelvin >= minKelvin && kelvin <= maxKelvin; }
    // ΔfG°(T) in kcal/mol: from the polynomials and the elements' reference
    // states, or along the straight lines between the table's temperatures.
    // NaN outside [minKelvin, maxKelvin].
    double formationGibbs(double kelvin) const;
    // Everything at T; empty for a table compound or outside the range.
    std::optional<ThermoValues> valuesAt(double kelvin) const;

private:
    friend class ThermoData;
    friend class FormationGibbsSet;
    std::shared_ptr<const PolynomialFile> file_;
    int species_ = -1;
    std::array<double, 8> table_{}; // ΔfG at 300, 400, ..., 1000 K
};

// Many compounds' ΔfG° at one temperature after another (the equilibrium's
// hundreds of species at each point of a range): their polynomials laid out
// together, each element's reference state evaluated once per temperature.
// The values are CompoundThermo::formationGibbs's to rounding (G/RT is summed
// as one polynomial rather than as H/RT less S/R).
class FormationGibbsSet {
public:
    explicit FormationGibbsSet(const std::vector<const CompoundThermo*>& compounds);
    // ΔfG° in kcal/mol of each compound at `kelvin`, in the order given; NaN
    // outside its data.
    void at(double kelvin, std::vector<double>& result) const;

private:
    struct Compound {
        bool polynomials = false;
        double minKelvin = 0;
        double maxKelvin = 0;
        int firstInterval = 0;
        int intervals = 0;
        int firstElement = 0;
        int elements = 0;
        std::array<double, 8> table{}; // a table compound's ΔfG at 300..1000 K
    };
    std::shared_ptr<const PolynomialFile> file_;
    std::vector<Compound> compounds_;
    std::vector<PolynomialInterval> intervals_;
    std::vector<std::pair<int, double>> elements_; // reference (in symbols_), count
    QStringList symbols_; // the elements whose references the compounds need
};

// One door to a compound's thermochemistry: Norvane.dat and, where it can be
// read, the shipped polynomial file beside it.
class ThermoData {
public:
    ThermoData() = default;
    ThermoData(std::shared_ptr<const PolynomialFile> polynomials, QString notice,
               std::shared_ptr<const CompoundIndex> database);

    // Reads both files. A missing or unusable polynomial file leaves
    // Norvane.dat alone in use, with polynomialNotice() saying why; a
    // Norvane.dat that cannot be read throws its Failure.
    static ThermoData load(const QString& polynomialPath, const QString& databasePath);

    bool hasPolynomials() const { return polynomials_ != nullptr; }
    // Why the polynomial file cannot be used, for a notice; empty when it can.
    QString polynomialNotice() const { return notice_; }
    const CompoundIndex* database() const { return database_.get(); }
    const PolynomialFile* polynomials() const { return polynomials_.get(); }

    // Norvane.dat's name first (the polynomials where the polynomial file
    // holds that name, else the record's table), then the polynomial file's
    // names. Exact in case (CO is not Co). Throws the record's Failure when a
    // table compound's values cannot be read.
    std::optional<CompoundThermo> find(const QString& name) const;

    // The elements of Norvane.dat's record: the polynomial file's for its
    // name, else its C, H and O counts. Without the polynomial file a record
    // of the nitrogen or sulfur genre holds elements its counts do not show:
    // empty then. Throws the record's Failure when its counts cannot be read.
    std::optional<std::vector<ElementCount>> recordElements(int record) const;

    // Every species of the polynomial file made only of these elements:
    // gases, and condensed phases too when asked; each once, under its first name.
    std::vector<CompoundThermo> speciesOf(const QStringList& elements, bool condensed) const;

    // The element's Japanese name (窒素, 硫黄, アルゴン, ...); the symbol when it has none.
    static QString japaneseElementName(const QString& symbol);

private:
    CompoundThermo polynomialCompound(int species, const QString& name) const;

    std::shared_ptr<const PolynomialFile> polynomials_;
    QString notice_;
    std::shared_ptr<const CompoundIndex> database_;
};

// The polynomial file beside a Norvane.dat.
QString polynomialPathBeside(const QString& databasePath);

// Both files parsed once for as long as their bytes stay the same, as
// CompoundIndexCache does for Norvane.dat alone.
class ThermoDataCache {
public:
    ThermoData load(const QString& polynomialPath, const QString& databasePath);

private:
    CompoundIndexCache database_;
    PolynomialFileCache polynomials_;
};

} // namespace norvanta
