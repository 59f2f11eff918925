#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace norvanta {

// The number formed by the longest numeric prefix of the text after leading
// blanks (sign, digits, one decimal point, optional exponent); 0 when there is
// none. "." is always the decimal point. A magnitude too large for a double
// gives an infinity.
double leadingValue(QStringView text);

// The leading value, or nothing when the text has no numeric prefix.
std::optional<double> leadingNumber(QStringView text);

// The leading value of a number the calculation computes with. A magnitude
// too large for a double throws Failure{6}, the overflow failure, so that no
// infinity reaches the solver.
double finiteLeadingValue(QStringView text);

// A double rounded to 15 significant digits, without trailing zeros; exponent
// form ("1E-05", "2.5E+15") when the decimal exponent is below -4 or 15 and above.
QString generalNumberText(double value);

// The general number text preceded by one blank when the value is 0 or more.
QString blankSignedNumberText(double value);

// The general number text preceded by "+" when the value is 0 or more.
QString signedNumberText(double value);

} // namespace norvanta
