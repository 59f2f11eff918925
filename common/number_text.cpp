#include "number_text.h"

#include "failure.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace norvanta {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The digits of a numeric prefix, split at the decimal point and the exponent.
struct NumberParts {
    bool negative = false;
    std::string integerDigits;
    std::string fractionDigits;
    std::string exponent; // optional sign and digits; empty when there is none
};

// A value out of the double range: an infinity when the first significant
// digit stands at 10^1 or above, a zero when it stands far below 10^0.
double outOfRange(const NumberParts& parts)
{
    const std::string digits = parts.integerDigits + parts.fractionDigits;
    const auto first = digits.find_first_not_of('0');
    long long weight = (long long)(parts.integerDigits.size()) - 1 - (long long)(first);
    long long exponent = 0;
    const bool exponentNegative = !parts.exponent.empty() && parts.exponent[0] == '-';
    for (const char c : parts.exponent) {
        if (c >= '0' && c <= '9')
            exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
    }
    weight += exponentNegative ? -exponent : exponent;
    const double magnitude = weight > 0 ? HUGE_VAL : 0.0;
    return parts.negative ? -magnitude : magnitude;
}

} // namespace

double leadingValue(QStringView text)
{
    return leadingNumber(text).value_or(0.0);
}

double finiteLeadingValue(QStringView text)
{
    const double value = leadingValue(text);
    if (!std::isfinite(value))
        throw Failure(FailureCode::Overflow);
    return value;
}

std::optional<double> leadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;

    NumberParts parts;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        parts.negative = text[i++] == u'-';
    while (i < n && isDigit(text[i]))
        parts.integerDigits += char(text[i++].unicode());
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i]))
            parts.fractionDigits += char(text[i++].unicode());
    }
    if (parts.integerDigits.empty() && parts.fractionDigits.empty())
        return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype k = i + 1;
        std::string exponent;
        if (k < n && (text[k] == u'+' || text[k] == u'-'))
            exponent += char(text[k++].unicode());
        const auto signLength = exponent.size();
        while (k < n && isDigit(text[k]))
            exponent += char(text[k++].unicode());
        if (exponent.size() > signLength)
            parts.exponent = exponent;
    }

    // from_chars reads "." as the decimal point whatever the C locale says;
    // Qt sets the user's locale at start-up, and it may use a comma.
    std::string number = parts.negative ? "-" : "";
    number += parts.integerDigits.empty() ? "0" : parts.integerDigits;
    if (!parts.fractionDigits.empty())
        number += "." + parts.fractionDigits;
    if (!parts.exponent.empty())
        number += "e" + parts.exponent;
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return outOfRange(parts);
    return value;
}

QString generalNumberText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (value == 0.0)
        return QStringLiteral("0");

    // 15 significant digits: d.dddddddddddddde±X
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    std::string s(buffer);
    const bool negative = s[0] == '-';
    if (negative)
        s.erase(0, 1);
    const auto ePos = s.find('e');
    std::string digits = s.substr(0, 1) + s.substr(2, ePos - 2);
    const int exponent = std::atoi(s.c_str() + ePos + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out;
    if (exponent < -4 || exponent >= 15) {
        out = digits.substr(0, 1);
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += exp;
    } else if (exponent < 0) {
        out = "0." + std::string(size_t(-exponent - 1), '0') + digits;
    } else {
        const size_t intDigits = size_t(exponent) + 1;
        if (digits.size() <= intDigits) {
            out = digits + std::string(intDigits - digits.size(), '0');
        } else {
            out = digits.substr(0, intDigits) + "." + digits.substr(intDigits);
        }
    }
    if (negative)
        out.insert(0, 1, '-');
    return QString::fromLatin1(out);
}

QString blankSignedNumberText(double value)
{
    const QString text = generalNumberText(value);
    return value >= 0 || std::isnan(value) ? u' ' + text : text;
}

QString signedNumberText(double value)
{
    const QString text = generalNumberText(value);
    return value >= 0 || std::isnan(value) ? u'+' + text : text;
}

} // namespace norvanta
