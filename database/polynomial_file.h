#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace norvanta {

// The file name of the shipped polynomials, beside Norvane.dat.
inline constexpr char16_t kPolynomialFileName[] = u"NorvaneThermo.dat";

// An element symbol in its usual case ("C", "Cl") and its atoms per molecule.
struct ElementCount {
    QString symbol;
    double count = 0;
    bool operator==(const ElementCount&) const = default;
};

// One temperature interval: Cp/R = a1/T^2 + a2/T + a3 + a4 T + a5 T^2 + a6 T^3
// + a7 T^4, with b1 (enthalpy) and b2 (entropy, for the file's 1 atm).
struct PolynomialInterval {
    double low = 0;
    double high = 0;
    std::array<double, 7> a{};
    std::array<double, 2> b{};
};

// One species, one phase: its intervals join up from the first's low to the
// last's high, in ascending order.
struct PolynomialSpecies {
    QString dataName;
    QString phase; // "gas", or the condensed phase's name ("cr", "L", "a")
    std::vector<ElementCount> elements;
    QStringList names;
    std::vector<PolynomialInterval> intervals;

    bool condensed() const { return phase != u"gas"; }
    double minKelvin() const { return intervals.front().low; }
    double maxKelvin() const { return intervals.back().high; }
    // The interval holding T, the lower one on a shared bound; null outside.
    const PolynomialInterval* intervalAt(double kelvin) const;
};

// An element's reference state: at each temperature, the species of lowest
// Gibbs energy per atom among these (indexes into PolynomialFile::species).
struct ElementReference {
    QString element;
    std::vector<int> species;
};

struct PolynomialFileReading;

// NorvaneThermo.dat: the one reader of the shipped polynomial file. Plain
// Shift_JIS text, tab-separated fields, ";" comment lines; the format is
// described in the file's own header. The file states its standard state
// (1 atm) and the reader refuses any other, so no value is moved twice.
// Any malformed line makes the whole file unusable: it is shipped data,
// never edited, so a damaged one is not half used.
class PolynomialFile {
public:
    // Throws Failure{53}/{76}/{70} when the file cannot be read.
    static PolynomialFileReading load(const QString& path);
    static PolynomialFileReading parse(const QString& text);

    const std::vector<PolynomialSpecies>& species() const { return species_; }
    const std::vector<ElementReference>& references() const { return references_; }

    // The species a name stands for, compared exactly (CO is not Co).
    std::optional<int> find(const QString& name) const;
    const ElementReference* reference(const QString& element) const;

private:
    std::vector<PolynomialSpecies> species_;
    std::vector<ElementReference> references_;
    QHash<QString, int> byName_;
};

// A reading of the file: the file, or the line that made it unusable
// (0: the file as a whole, such as a missing standard-state line).
struct PolynomialFileReading {
    std::shared_ptr<const PolynomialFile> file;
    int errorLine = 0;
};

} // namespace norvanta
