#pragma once

#include "common/text_file.h"

namespace norvanta {

class Platform;

// Every file of the program is Shift_JIS. Without the codec each file would
// be written empty and read as nothing, with no failure to show for it, so
// the program must not start: the check shows why in an error message and
// returns false.
bool checkShiftJisCodec(Platform& platform, const char* codecName = kShiftJisCodec);

// The text of that message.
QString codecMissingText();

} // namespace norvanta
