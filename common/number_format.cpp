#include "number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace norvanta {

namespace {

struct Pattern {
    int minIntegerDigits = 0; // count of '0' before the decimal point
    int integerPlaces = 0;    // count of '0' and '#' before the decimal point
    int decimals = 0;
    bool exponent = false;
    int exponentDigits = 0;
};

Pattern parsePattern(QStringView pattern)
{
    Pattern p;
    qsizetype i = 0;
    for (; i < pattern.size() && (pattern[i] == u'0' || pattern[i] == u'#'); ++i) {
        ++p.integerPlaces;
        if (pattern[i] == u'0')
            ++p.minIntegerDigits;
    }
    if (i < pattern.size() && pattern[i] == u'.') {
        for (++i; i < pattern.size() && pattern[i] == u'0'; ++i)
            ++p.decimals;
    }
    if (i < pattern.size() && (pattern[i] == u'E' || pattern[i] == u'e')) {
        p.exponent = true;
        i += 2; // "E+"
        for (; i < pattern.size() && pattern[i] == u'0'; ++i)
            ++p.exponentDigits;
    }
    return p;
}

// The value's 15 significant digits and decimal exponent: value = 0.d1d2...d15 × 10^(exponent+1).
struct Decimal {
    bool negative = false;
    std::string digits; // 15 digits, first non-zero (or "0" for zero)
    int exponent = 0;   // exponent of the first digit
};

Decimal toDecimal(double value)
{
    Decimal d;
    d.negative = std::signbit(value) && value != 0.0;
    if (value == 0.0) {
        d.digits = "0";
        return d;
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    std::string s(buffer);
    const auto ePos = s.find('e');
    d.digits = s.substr(0, 1) + s.substr(2, ePos - 2);
    d.exponent = std::atoi(s.c_str() + ePos + 1);
    return d;
}

// Rounds the digit string so that the last kept digit has the decimal weight
// 10^-decimals; half away from zero. Returns the integer and fraction digit strings.
void roundToDecimals(const Decimal& d, int decimals, std::string& integerPart, std::string& fraction)
{
    // Place the digits on a fixed grid: position k has weight 10^(exponent - k).
    const int firstWeight = d.exponent;
    const int lastKeptWeight = -decimals;
    std::string grid; // digits from weight max(firstWeight,0) down to lastKeptWeight
    const int top = std::max(firstWeight, 0);
    for (int w = top; w >= lastKeptWeight; --w) {
        const int k = firstWeight - w;
        grid += (k >= 0 && k < int(d.digits.size())) ? d.digits[size_t(k)] : '0';
    }
    const int nextK = firstWeight - (lastKeptWeight - 1);
    const bool roundUp = nextK >= 0 && nextK < int(d.digits.size()) && d.digits[size_t(nextK)] >= '5';
    if (roundUp) {
        int i = int(grid.size()) - 1;
        while (i >= 0 && grid[size_t(i)] == '9') {
            grid[size_t(i)] = '0';
            --i;
        }
        if (i >= 0)
            ++grid[size_t(i)];
        else
            grid.insert(0, 1, '1');
    }
    const size_t integerLength = grid.size() - size_t(decimals);
    integerPart = grid.substr(0, integerLength);
    fraction = grid.substr(integerLength);
    while (integerPart.size() > 1 && integerPart[0] == '0')
        integerPart.erase(0, 1);
}

} // namespace

QString formatFixed(double value, QStringView pattern)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");

    const Pattern p = parsePattern(pattern);
    const Decimal d = toDecimal(value);
    std::string out;

    if (p.exponent) {
        // Mantissa with one integer digit and p.decimals decimals.
        const int significant = 1 + p.decimals;
        std::string digits = d.digits;
        digits.resize(size_t(std::max<int>(significant + 1, int(digits.size()))), '0');
        int exponent = d.exponent;
        std::string kept = digits.substr(0, size_t(significant));
        if (value != 0.0 && digits[size_t(significant)] >= '5') {
            int i = significant - 1;
            while (i >= 0 && kept[size_t(i)] == '9') {
                kept[size_t(i)] = '0';
                --i;
            }
            if (i >= 0) {
                ++kept[size_t(i)];
            } else {
                kept.insert(0, 1, '1');
                kept.pop_back();
                ++exponent;
            }
        }
        if (value == 0.0) {
            kept = std::string(size_t(significant), '0');
            exponent = 0;
        }
        out = kept.substr(0, 1);
        if (p.decimals > 0)
            out += "." + kept.substr(1);
        std::string expDigits = std::to_string(std::abs(exponent));
        if (int(expDigits.size()) < p.exponentDigits)
            expDigits.insert(0, size_t(p.exponentDigits) - expDigits.size(), '0');
        out += std::string("E") + (exponent < 0 ? "-" : "+") + expDigits;
    } else {
        std::string integerPart, fraction;
        roundToDecimals(d, p.decimals, integerPart, fraction);
        if (integerPart == "0" && p.minIntegerDigits == 0)
            integerPart.clear();
        if (int(integerPart.size()) < p.minIntegerDigits)
            integerPart.insert(0, size_t(p.minIntegerDigits) - integerPart.size(), '0');
        out = integerPart;
        if (p.decimals > 0)
            out += "." + fraction;
        if (out.empty())
            out = "0";
    }
    if (d.negative)
        out.insert(0, 1, '-');
    return QString::fromLatin1(out);
}

} // namespace norvanta
