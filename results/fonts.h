#pragma once

#include <QFont>
#include <QString>

namespace norvanta {

// The fonts the windows and the printed page name; on this platform they are
// drawn with the IPA Japanese fonts.
inline const QString kGothicFont = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kUiGothicFont = QStringLiteral("MS UI Gothic");

inline void installFontSubstitutions()
{
    QFont::insertSubstitution(kGothicFont, QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(kUiGothicFont, QStringLiteral("IPAPGothic"));
}

} // namespace norvanta
