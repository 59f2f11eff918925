#include "print_font.h"

#include "results/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

namespace norvanta {

bool printerAcceptsFont(const QString& family)
{
    if (family.trimmed().isEmpty())
        return false;
    if (QFontDatabase::hasFamily(family))
        return true;
    const QStringList substitutes = QFont::substitutes(family);
    return std::any_of(substitutes.cbegin(), substitutes.cend(),
                       [](const QString& name) { return QFontDatabase::hasFamily(name); });
}

QString printFontFamily(const QString& printFontName)
{
    return printerAcceptsFont(printFontName) ? printFontName : kGothicFont;
}

} // namespace norvanta
