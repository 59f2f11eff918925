#pragma once

#include "common/platform.h"

#include <QString>

namespace norvanta {

// A message box the file commands ask the window to show.
struct FileMessage {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::Exclamation;

    bool operator==(const FileMessage&) const = default;
};

} // namespace norvanta
