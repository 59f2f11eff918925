#pragma once

#include <QString>

#include <array>

namespace norvanta {

// The element names of the registration window and of messages, in the order
// of a record's atom-count fields: carbon, hydrogen, oxygen.
inline const std::array<QString, 3> AtomName{QStringLiteral("炭素"), QStringLiteral("水素"),
                                             QStringLiteral("酸素")};

} // namespace norvanta
