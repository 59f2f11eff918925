#pragma once

#include "common/platform.h"

#include <QString>

namespace norvanta {

// A message the calculation run wants shown: the window shows it in a message
// box with an OK button; the command-line calculator prints it.
struct RunMessage {
    QString text;
    MessageIcon icon = MessageIcon::Exclamation;
    QString title = QStringLiteral("Norvanta");

    bool operator==(const RunMessage&) const = default;
};

} // namespace norvanta
