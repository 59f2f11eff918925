#include "nasa_thermo.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace norvanta::gen {

namespace {

constexpr std::array<double, 7> kPowers{-2, -1, 0, 1, 2, 3, 4};

// Sequential reader of the file's lines, counting them for the messages.
class LineSource {
public:
    explicit LineSource(std::istream& in) : in_(in) {}

    bool next(std::string& line) {
        if (!std::getline(in_, line))
            return false;
        ++number_;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }

    std::string required(const std::string& what) {
        std::string line;
        if (!next(line))
            fail("file ends inside a species entry, expecting " + what);
        return line;
    }

    [[noreturn]] void fail(const std::string& message) const {
        throw NasaFormatError("thermo.inp line " + std::to_string(number_) + ": " + message);
    }

private:
    std::istream& in_;
    int number_ = 0;
};

// Columns first..first+width-1 (counted from 1) of a fixed-format line.
std::string_view columns(std::string_view line, size_t first, size_t width) {
    if (first - 1 >= line.size())
        return {};
    return line.substr(first - 1, width);
}

std::string_view trimmed(std::string_view text) {
    const auto begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        return {};
    const auto end = text.find_last_not_of(' ');
    return text.substr(begin, end - begin + 1);
}

// A Fortran number: "1.5", ".41959", "-7.453750000D+02".
double number(const LineSource& source, std::string_view field, const char* what) {
    std::string text(trimmed(field));
    std::replace(text.begin(), text.end(), 'D', 'E');
    std::replace(text.begin(), text.end(), 'd', 'E');
    double value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && *first == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (text.empty() || error != std::errc() || end != last)
        source.fail(std::string("bad ") + what + " \"" + std::string(field) + "\"");
    return value;
}

int integer(const LineSource& source, std::string_view field, const char* what) {
    const double value = number(source, field, what);
    if (value != std::floor(value) || value < 0 || value > 100)
        source.fail(std::string("bad ") + what + " \"" + std::string(field) + "\"");
    return int(value);
}

NasaInterval readInterval(LineSource& source) {
    NasaInterval interval;
    const std::string range = source.required("a temperature interval");
    interval.low = number(source, columns(range, 1, 11), "interval start");
    interval.high = number(source, columns(range, 12, 11), "interval end");
    if (!(interval.low < interval.high))
        source.fail("interval end not above its start");
    if (integer(source, columns(range, 23, 1), "coefficient count") != int(kPowers.size()))
        source.fail("expected 7 coefficients");
    for (size_t k = 0; k < kPowers.size(); ++k) {
        if (number(source, columns(range, 24 + 5 * k, 5), "exponent") != kPowers[k])
            source.fail("exponents other than -2 -1 0 1 2 3 4");
    }

    const std::string first = source.required("coefficients a1..a5");
    for (size_t k = 0; k < 5; ++k)
        interval.a[k] = number(source, columns(first, 1 + 16 * k, 16), "coefficient");
    const std::string second = source.required("coefficients a6 a7 b1 b2");
    interval.a[5] = number(source, columns(second, 1, 16), "coefficient");
    interval.a[6] = number(source, columns(second, 17, 16), "coefficient");
    interval.b[0] = number(source, columns(second, 49, 16), "integration constant");
    interval.b[1] = number(source, columns(second, 65, 16), "integration constant");
    return interval;
}

NasaSpecies readSpecies(LineSource& source, const std::string& nameLine, bool reactantOnly) {
    NasaSpecies species;
    species.name = std::string(nameLine.substr(0, nameLine.find(' ')));
    species.reactantOnly = reactantOnly;

    const std::string header = source.required("the formula line of " + species.name);
    const int intervals = integer(source, columns(header, 1, 2), "interval count");
    for (size_t k = 0; k < 5; ++k) {
        const std::string_view symbol = trimmed(columns(header, 11 + 8 * k, 2));
        const double count = number(source, columns(header, 13 + 8 * k, 6), "atom count");
        if (!symbol.empty() && count != 0)
            species.formula.emplace_back(std::string(symbol), count);
    }
    species.phase = integer(source, columns(header, 51, 2), "phase");

    if (intervals == 0) {
        // Only an assigned enthalpy at one temperature: no polynomials.
        source.required("the temperature of an assigned enthalpy");
        return species;
    }
    for (int k = 0; k < intervals; ++k)
        species.intervals.push_back(readInterval(source));
    return species;
}

bool startsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

bool isComment(std::string_view line) {
    return trimmed(line).empty() || line.front() == '!';
}

} // namespace

double NasaSpecies::atoms(std::string_view element) const {
    for (const auto& [symbol, count] : formula) {
        if (symbol == element)
            return count;
    }
    return 0;
}

bool NasaSpecies::covers(double low, double high) const {
    std::vector<NasaInterval> sorted = intervals;
    std::sort(sorted.begin(), sorted.end(),
              [](const NasaInterval& x, const NasaInterval& y) { return x.low < y.low; });
    double reach = low;
    bool started = false;
    for (const NasaInterval& interval : sorted) {
        if (interval.low <= reach && interval.high >= reach) {
            reach = std::max(reach, interval.high);
            started = true;
        }
    }
    return started && reach >= high;
}

double NasaSpecies::reducedGibbs(double kelvin) const {
    const auto interval =
        std::find_if(intervals.begin(), intervals.end(),
                     [&](const NasaInterval& i) { return i.low <= kelvin && kelvin <= i.high; });
    if (interval == intervals.end())
        throw std::out_of_range(name + ": no polynomial at " + std::to_string(kelvin) + " K");
    const auto& a = interval->a;
    const auto& b = interval->b;
    const double t = kelvin;
    const double lnT = std::log(t);
    const double enthalpy = -a[0] / (t * t) + a[1] * lnT / t + a[2] + a[3] * t / 2 +
                            a[4] * t * t / 3 + a[5] * t * t * t / 4 + a[6] * t * t * t * t / 5 +
                            b[0] / t;
    const double entropy = -a[0] / (2 * t * t) - a[1] / t + a[2] * lnT + a[3] * t +
                           a[4] * t * t / 2 + a[5] * t * t * t / 3 + a[6] * t * t * t * t / 4 +
                           b[1];
    return enthalpy - entropy;
}

NasaDatabase readNasaThermo(std::istream& in) {
    LineSource source(in);
    std::string line;
    bool opened = false;
    while (source.next(line)) {
        if (startsWith(line, "thermo")) {
            opened = true;
            break;
        }
    }
    if (!opened)
        source.fail("no \"thermo\" line");
    NasaDatabase database;
    const std::string ranges = source.required("the line of common temperature ranges");
    database.date = std::string(trimmed(columns(ranges, 41, 10)));
    bool reactantOnly = false;
    while (source.next(line)) {
        if (isComment(line))
            continue;
        if (startsWith(line, "END REACTANTS"))
            return database;
        if (startsWith(line, "END PRODUCTS")) {
            reactantOnly = true;
            continue;
        }
        if (line.front() == ' ')
            source.fail("expected a species name");
        database.species.push_back(readSpecies(source, line, reactantOnly));
    }
    source.fail("no END REACTANTS line");
}

} // namespace norvanta::gen
