#pragma once

#include <QString>

namespace norvanta {

// Whether the printer takes the font name: a family installed on the system,
// or a name the program maps onto one (its Windows font names). Any other
// name would be drawn in some unrelated fallback font, so it is refused.
bool printerAcceptsFont(const QString& family);

// The family the text block is printed in: the print font when the printer
// takes it, otherwise "ＭＳ Ｐゴシック".
QString printFontFamily(const QString& printFontName);

} // namespace norvanta
