#include "polynomial_file.h"

#include "common/text_file.h"
#include "physical_lines.h"

#include <charconv>
#include <cmath>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

// A finite number written with "." whatever the locale; nothing else in the field.
std::optional<double> numberField(QStringView field)
{
    const QByteArray text = field.toLatin1();
    double value = 0;
    const char* first = text.constData();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (text.isEmpty() || error != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Reads the lines in order; a false return leaves the bad line in line_.
class Reader {
public:
    bool read(const QString& text)
    {
        const QStringList lines = physicalLines(text);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            line_ = int(i + 1);
            if (lines[i].isEmpty() || lines[i].startsWith(u';'))
                continue;
            if (!readLine(lines[i].split(u'\t')))
                return false;
        }
        line_ = 0;
        return standard_ && speciesComplete() && resolveReferences();
    }

    int line() const { return line_; }

    std::vector<PolynomialSpecies> species;
    std::vector<ElementReference> references;
    QHash<QString, int> byName;

private:
    bool readLine(const QStringList& fields)
    {
        const QString& kind = fields.front();
        if (kind == u"standard") {
            if (standard_ || !species.empty() || fields.size() != 2 || fields[1] != u"1 atm")
                return false;
            standard_ = true;
            return true;
        }
        if (!standard_)
            return false;
        if (kind == u"reference") {
            if (fields.size() < 3 || fields[1].isEmpty())
                return false;
            pendingReferences_.push_back({fields.mid(1), line_});
            return true;
        }
        if (kind == u"species")
            return speciesComplete() && readSpecies(fields);
        if (kind == u"names")
            return readNames(fields);
        if (kind == u"interval")
            return readInterval(fields);
        return false;
    }

    bool readSpecies(const QStringList& fields)
    {
        if (fields.size() < 4 || fields[1].isEmpty() || fields[2].isEmpty() ||
            byDataName_.contains(fields[1]))
            return false;
        PolynomialSpecies s;
        s.dataName = fields[1];
        s.phase = fields[2];
        for (qsizetype k = 3; k < fields.size(); ++k) {
            const qsizetype blank = fields[k].indexOf(u' ');
            if (blank <= 0)
                return false;
            const auto count = numberField(QStringView(fields[k]).mid(blank + 1));
            if (!count || !(*count > 0))
                return false;
            const QString symbol = fields[k].left(blank);
            for (const ElementCount& e : s.elements) {
                if (e.symbol == symbol)
                    return false;
            }
            s.elements.push_back({symbol, *count});
        }
        byDataName_.insert(s.dataName, int(species.size()));
        species.push_back(std::move(s));
        return true;
    }

    bool readNames(const QStringList& fields)
    {
        if (species.empty() || !species.back().names.isEmpty() || fields.size() < 2)
            return false;
        const int index = int(species.size() - 1);
        for (qsizetype k = 1; k < fields.size(); ++k) {
            if (fields[k].isEmpty() || byName.contains(fields[k]))
                return false;
            byName.insert(fields[k], index);
        }
        species.back().names = fields.mid(1);
        return true;
    }

    bool readInterval(const QStringList& fields)
    {
        if (species.empty() || species.back().names.isEmpty() || fields.size() != 12)
            return false;
        std::array<double, 11> values{};
        for (size_t k = 0; k < values.size(); ++k) {
            const auto value = numberField(fields[qsizetype(k) + 1]);
            if (!value)
                return false;
            values[k] = *value;
        }
        PolynomialInterval interval;
        interval.low = values[0];
        interval.high = values[1];
        std::copy(values.begin() + 2, values.begin() + 9, interval.a.begin());
        interval.b = {values[9], values[10]};
        auto& intervals = species.back().intervals;
        if (!(interval.low > 0 && interval.low < interval.high) ||
            (!intervals.empty() && intervals.back().high != interval.low))
            return false;
        intervals.push_back(interval);
        return true;
    }

    bool speciesComplete() const { return species.empty() || !species.back().intervals.empty(); }

    // Each reference names species of its one element only, and every element
    // of the file has one.
    bool resolveReferences()
    {
        QHash<QString, bool> referenced;
        for (const auto& [fields, line] : pendingReferences_) {
            line_ = line;
            ElementReference reference{fields.front(), {}};
            if (referenced.contains(reference.element))
                return false;
            for (qsizetype k = 1; k < fields.size(); ++k) {
                const int found = byDataName_.value(fields[k], -1);
                if (found < 0 || species[size_t(found)].elements.size() != 1 ||
                    species[size_t(found)].elements.front().symbol != reference.element)
                    return false;
                reference.species.push_back(found);
            }
            referenced.insert(reference.element, true);
            references.push_back(std::move(reference));
        }
        line_ = 0;
        for (const PolynomialSpecies& s : species) {
            for (const ElementCount& e : s.elements) {
                if (!referenced.contains(e.symbol))
                    return false;
            }
        }
        return true;
    }

    bool standard_ = false;
    int line_ = 0;
    QHash<QString, int> byDataName_;
    std::vector<std::pair<QStringList, int>> pendingReferences_;
};

} // namespace

const PolynomialInterval* PolynomialSpecies::intervalAt(double kelvin) const
{
    for (const PolynomialInterval& interval : intervals) {
        if (interval.low <= kelvin && kelvin <= interval.high)
            return &interval;
    }
    return nullptr;
}

PolynomialFileReading PolynomialFile::load(const QString& path)
{
    return parse(readShiftJisFile(path));
}

PolynomialFileReading PolynomialFile::parse(const QString& text)
{
    Reader reader;
    PolynomialFileReading reading;
    if (!reader.read(text)) {
        reading.errorLine = reader.line();
        return reading;
    }
    auto file = std::make_shared<PolynomialFile>();
    file->species_ = std::move(reader.species);
    file->references_ = std::move(reader.references);
    file->byName_ = std::move(reader.byName);
    reading.file = std::move(file);
    return reading;
}

std::optional<int> PolynomialFile::find(const QString& name) const
{
    const auto found = byName_.constFind(name);
    if (found == byName_.constEnd())
        return std::nullopt;
    return found.value();
}

const ElementReference* PolynomialFile::reference(const QString& element) const
{
    for (const ElementReference& reference : references_) {
        if (reference.element == element)
            return &reference;
    }
    return nullptr;
}

} // namespace norvanta
