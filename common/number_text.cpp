#include "number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace norvanta {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

double leadingValue(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;

    std::string number;
    qsizetype j = i;
    if (j < n && (text[j] == u'+' || text[j] == u'-'))
        number += char(text[j++].unicode());
    int mantissaDigits = 0;
    while (j < n && isDigit(text[j])) {
        number += char(text[j++].unicode());
        ++mantissaDigits;
    }
    if (j < n && text[j] == u'.') {
        number += '.';
        ++j;
        while (j < n && isDigit(text[j])) {
            number += char(text[j++].unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return 0.0;
    if (j < n && (text[j] == u'e' || text[j] == u'E')) {
        qsizetype k = j + 1;
        std::string exponent = "e";
        if (k < n && (text[k] == u'+' || text[k] == u'-'))
            exponent += char(text[k++].unicode());
        bool hasDigit = false;
        while (k < n && isDigit(text[k])) {
            exponent += char(text[k++].unicode());
            hasDigit = true;
        }
        if (hasDigit)
            number += exponent;
    }
    // strtod under the C locale semantics: the program never changes LC_NUMERIC.
    return std::strtod(number.c_str(), nullptr);
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
        char exp[8];
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
