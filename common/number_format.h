#pragma once

#include <QString>
#include <QStringView>

namespace norvanta {

// Formats a number by one of the fixed patterns of the number table and the
// printed page: "#000", "###0", "####0", "###0.000", "0.000", "00.00" and
// "0.00E+00". '0' is a digit that is always shown, '#' one shown only when
// needed; the pattern's decimals are exact. Rounding is half away from zero,
// applied to the value's 15-significant-digit decimal form, so 2.0005 gives
// "2.001" with "###0.000". A negative value that rounds to zero keeps its
// sign ("-0.000"), as a small negative dG is still negative.
QString formatFixed(double value, QStringView pattern);

} // namespace norvanta
