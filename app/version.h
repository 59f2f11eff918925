#pragma once

#include <QString>

namespace norvanta {

// The program's version as the title and about windows show it.
inline QString programVersion()
{
    return QStringLiteral("4.03");
}

} // namespace norvanta
