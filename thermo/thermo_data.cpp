#include "thermo_data.h"

#include "common/failure.h"
#include "common/text_file.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

// Gas constant of the polynomials, J/(mol K), and joules per kilocalorie.
constexpr double kGasConstant = 8.314510;
constexpr double kJoulesPerKilocalorie = 4184.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kTablePoints = 8;

// H/(RT), S/R and Cp/R of one interval at T.
struct Reduced {
    double enthalpy = 0;
    double entropy = 0;
    double heatCapacity = 0;
    double gibbs() const { return enthalpy - entropy; }
};

// G/RT = H/RT - S/R of one interval, with these factors at T:
// -a0/(2T^2) + a1(1 + ln T)/T + a2(1 - ln T) - a3 T/2 - a4 T^2/6 - a5 T^3/12
// - a6 T^4/20 + b0/T - b1.
double gibbsOverRT(const PolynomialInterval& interval, const std::array<double, 8>& f)
{
    const auto& a = interval.a;
    return a[0] * f[0] + a[1] * f[1] + a[2] * f[2] + a[3] * f[3] + a[4] * f[4] + a[5] * f[5] +
           a[6] * f[6] + interval.b[0] * f[7] - interval.b[1];
}

std::optional<Reduced> reducedAt(const PolynomialSpecies& species, double t)
{
    const PolynomialInterval* interval = species.intervalAt(t);
    if (!interval)
        return std::nullopt;
    const auto& a = interval->a;
    const auto& b = interval->b;
    const double lnT = std::log(t);
    Reduced r;
    r.heatCapacity = a[0] / (t * t) + a[1] / t + a[2] + a[3] * t + a[4] * t * t + a[5] * t * t * t +
                     a[6] * t * t * t * t;
    r.enthalpy = -a[0] / (t * t) + a[1] * lnT / t + a[2] + a[3] * t / 2 + a[4] * t * t / 3 +
                 a[5] * t * t * t / 4 + a[6] * t * t * t * t / 5 + b[0] / t;
    r.entropy = -a[0] / (2 * t * t) - a[1] / t + a[2] * lnT + a[3] * t + a[4] * t * t / 2 +
                a[5] * t * t * t / 3 + a[6] * t * t * t * t / 4 + b[1];
    return r;
}

// The element's reference at T per atom: the candidate of lowest G/RT per atom.
std::optional<Reduced> referenceAt(const PolynomialFile& file, const QString& element, double t)
{
    const ElementReference* reference = file.reference(element);
    if (!reference)
        return std::nullopt;
    std::optional<Reduced> best;
    for (const int index : reference->species) {
        const PolynomialSpecies& s = file.species()[size_t(index)];
        auto r = reducedAt(s, t);
        if (!r)
            continue;
        const double atoms = s.elements.front().count;
        r->enthalpy /= atoms;
        r->entropy /= atoms;
        r->heatCapacity /= atoms;
        if (!best || r->gibbs() < best->gibbs())
            best = r;
    }
    return best;
}

// The temperatures at which the element has a reference state.
std::pair<double, double> referenceRange(const PolynomialFile& file, const QString& element)
{
    std::pair<double, double> range{kNaN, kNaN};
    const ElementReference* reference = file.reference(element);
    if (!reference)
        return range;
    range = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (const int index : reference->species) {
        const PolynomialSpecies& s = file.species()[size_t(index)];
        range.first = std::min(range.first, s.minKelvin());
        range.second = std::max(range.second, s.maxKelvin());
    }
    return range;
}

} // namespace

double CompoundThermo::formationGibbs(double kelvin) const
{
    if (!covers(kelvin))
        return kNaN;
    if (fromPolynomials) {
        const auto values = valuesAt(kelvin);
        return values ? values->formationGibbs : kNaN;
    }
    return tabulatedFormationGibbs(table_, kelvin);
}

double tabulatedFormationGibbs(const std::array<double, 8>& table, double kelvin)
{
    const int segment = std::clamp(int(std::floor((kelvin - 300) / 100)), 0, kTablePoints - 2);
    const double w = (kelvin - (300 + 100 * segment)) / 100;
    return (1 - w) * table[size_t(segment)] + w * table[size_t(segment) + 1];
}

FormationGibbsSet::FormationGibbsSet(const std::vector<const CompoundThermo*>& compounds)
{
    for (const CompoundThermo* thermo : compounds) {
        Compound c;
        c.polynomials = thermo->fromPolynomials;
        c.minKelvin = thermo->minKelvin;
        c.maxKelvin = thermo->maxKelvin;
        c.table = thermo->table_;
        if (c.polynomials) {
            file_ = thermo->file_;
            const PolynomialSpecies& species = file_->species()[size_t(thermo->species_)];
            c.firstInterval = int(intervals_.size());
            c.intervals = int(species.intervals.size());
            intervals_.insert(intervals_.end(), species.intervals.begin(), species.intervals.end());
            c.firstElement = int(elements_.size());
            c.elements = int(species.elements.size());
            for (const ElementCount& e : species.elements) {
                qsizetype k = symbols_.indexOf(e.symbol);
                if (k < 0) {
                    k = symbols_.size();
                    symbols_.append(e.symbol);
                }
                elements_.emplace_back(int(k), e.count);
            }
        }
        compounds_.push_back(c);
    }
}

void FormationGibbsSet::at(double kelvin, std::vector<double>& result) const
{
    const double t = kelvin;
    const double lnT = std::log(t);
    const std::array<double, 8> factors = {-1 / (2 * t * t), (1 + lnT) / t, 1 - lnT, -t / 2,
                                           -t * t / 6, -t * t * t / 12, -t * t * t * t / 20, 1 / t};
    // Each element's reference G/RT per atom, NaN where it has none.
    std::vector<double> references(size_t(symbols_.size()), kNaN);
    for (qsizetype k = 0; k < symbols_.size(); ++k) {
        if (const auto r = referenceAt(*file_, symbols_[k], kelvin))
            references[size_t(k)] = r->gibbs();
    }
    result.resize(compounds_.size());
    for (size_t i = 0; i < compounds_.size(); ++i) {
        const Compound& c = compounds_[i];
        double& value = result[i];
        if (!(kelvin >= c.minKelvin && kelvin <= c.maxKelvin)) {
            value = kNaN;
            continue;
        }
        if (!c.polynomials) {
            value = tabulatedFormationGibbs(c.table, kelvin);
            continue;
        }
        // The interval holding T, the lower one on a shared bound.
        const PolynomialInterval* interval = nullptr;
        for (int v = c.firstInterval; v < c.firstInterval + c.intervals && !interval; ++v) {
            if (intervals_[size_t(v)].low <= kelvin && kelvin <= intervals_[size_t(v)].high)
                interval = &intervals_[size_t(v)];
        }
        if (!interval) {
            value = kNaN;
            continue;
        }
        double gibbs = gibbsOverRT(*interval, factors);
        for (int e = c.firstElement; e < c.firstElement + c.elements; ++e) {
            const auto& [reference, count] = elements_[size_t(e)];
            gibbs -= count * references[size_t(reference)];
        }
        value = gibbs * (kGasConstant * kelvin / kJoulesPerKilocalorie);
    }
}

std::optional<ThermoValues> CompoundThermo::valuesAt(double kelvin) const
{
    if (!fromPolynomials || !covers(kelvin))
        return std::nullopt;
    const PolynomialSpecies& species = file_->species()[size_t(species_)];
    const auto own = reducedAt(species, kelvin);
    if (!own)
        return std::nullopt;
    double gibbs = own->gibbs();
    double enthalpy = own->enthalpy;
    for (const ElementCount& e : species.elements) {
        const auto reference = referenceAt(*file_, e.symbol, kelvin);
        if (!reference)
            return std::nullopt;
        gibbs -= e.count * reference->gibbs();
        enthalpy -= e.count * reference->enthalpy;
    }
    const double rt = kGasConstant * kelvin / kJoulesPerKilocalorie; // kcal/mol
    const double r = kGasConstant / kJoulesPerKilocalorie * 1000;    // cal/(mol K)
    ThermoValues values;
    values.formationGibbs = gibbs * rt;
    values.formationEnthalpy = enthalpy * rt;
    values.entropy = own->entropy * r;
    values.heatCapacity = own->heatCapacity * r;
    values.enthalpy = own->enthalpy * rt;
    return values;
}

ThermoData::ThermoData(std::shared_ptr<const PolynomialFile> polynomials, QString notice,
                       std::shared_ptr<const CompoundIndex> database)
    : polynomials_(std::move(polynomials)), notice_(std::move(notice)),
      database_(std::move(database))
{
}

namespace {

QString noticeFor(int failureCode)
{
    if (failureCode == FailureCode::FileNotFound || failureCode == FailureCode::PathNotFound)
        return u"熱化学データファイル(NorvaneThermo.dat)がありません"_s;
    return u"熱化学データファイル(NorvaneThermo.dat)を読めません"_s;
}

QString noticeFor(const PolynomialFileReading& reading)
{
    if (reading.file)
        return {};
    return u"熱化学データファイル(NorvaneThermo.dat)が不正です"_s +
           (reading.errorLine > 0 ? u"("_s + QString::number(reading.errorLine) + u"行目)"_s
                                  : QString());
}

} // namespace

ThermoData ThermoData::load(const QString& polynomialPath, const QString& databasePath)
{
    auto database = std::make_shared<const CompoundIndex>(CompoundIndex::load(databasePath));
    try {
        const PolynomialFileReading reading = PolynomialFile::load(polynomialPath);
        return ThermoData(reading.file, noticeFor(reading), std::move(database));
    } catch (const Failure& failure) {
        return ThermoData(nullptr, noticeFor(failure.code()), std::move(database));
    }
}

QString polynomialPathBeside(const QString& databasePath)
{
    return QFileInfo(databasePath).dir().filePath(QString::fromUtf16(kPolynomialFileName));
}

ThermoData ThermoDataCache::load(const QString& polynomialPath, const QString& databasePath)
{
    auto database = database_.load(databasePath);
    try {
        const PolynomialFileReading reading = polynomials_.load(polynomialPath);
        return ThermoData(reading.file, noticeFor(reading), std::move(database));
    } catch (const Failure& failure) {
        return ThermoData(nullptr, noticeFor(failure.code()), std::move(database));
    }
}

CompoundThermo ThermoData::polynomialCompound(int species, const QString& name) const
{
    const PolynomialSpecies& s = polynomials_->species()[size_t(species)];
    CompoundThermo compound;
    compound.name = name;
    compound.dataName = s.dataName;
    compound.elements = s.elements;
    compound.condensed = s.condensed();
    compound.fromPolynomials = true;
    compound.file_ = polynomials_;
    compound.species_ = species;
    compound.minKelvin = s.minKelvin();
    compound.maxKelvin = s.maxKelvin();
    for (const ElementCount& e : s.elements) {
        const auto [low, high] = referenceRange(*polynomials_, e.symbol);
        compound.minKelvin = std::max(compound.minKelvin, low);
        compound.maxKelvin = std::min(compound.maxKelvin, high);
    }
    return compound;
}

namespace {

std::vector<ElementCount> carbonHydrogenOxygen(const CompoundIndex& database, int record)
{
    static const QString symbols[] = {u"C"_s, u"H"_s, u"O"_s};
    std::vector<ElementCount> elements;
    for (int element = 0; element < 3; ++element) {
        const double count = database.atomCount(record, element);
        if (count != 0)
            elements.push_back({symbols[element], count});
    }
    return elements;
}

} // namespace

std::optional<std::vector<ElementCount>> ThermoData::recordElements(int record) const
{
    if (polynomials_) {
        if (const auto species = polynomials_->find(database_->name(record)))
            return polynomials_->species()[size_t(*species)].elements;
    } else {
        const QString genre = database_->genre(record);
        if (genre == u"窒素化合物"_s || genre == u"硫黄化合物"_s)
            return std::nullopt;
    }
    return carbonHydrogenOxygen(*database_, record);
}

std::optional<CompoundThermo> ThermoData::find(const QString& name) const
{
    if (polynomials_) {
        if (const std::optional<int> species = polynomials_->find(name))
            return polynomialCompound(*species, name);
    }
    const std::optional<int> record = database_ ? database_->find(name) : std::nullopt;
    if (!record)
        return std::nullopt;
    CompoundThermo compound;
    compound.name = name;
    compound.elements = carbonHydrogenOxygen(*database_, *record);
    for (int i = 0; i < kTablePoints; ++i)
        compound.table_[size_t(i)] = database_->gibbsEnergy(*record, 300 + 100 * i);
    database_->requireFiniteValues(*record);
    return compound;
}

std::vector<CompoundThermo> ThermoData::speciesOf(const QStringList& elements, bool condensed) const
{
    std::vector<CompoundThermo> found;
    if (!polynomials_)
        return found;
    const auto& all = polynomials_->species();
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].condensed() && !condensed)
            continue;
        const bool inside =
            std::all_of(all[i].elements.begin(), all[i].elements.end(),
                        [&](const ElementCount& e) { return elements.contains(e.symbol); });
        if (inside)
            found.push_back(polynomialCompound(int(i), all[i].names.front()));
    }
    return found;
}

} // namespace norvanta
