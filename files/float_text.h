#pragma once

#include <QString>

namespace norvanta {

// A 32-bit float in the general number form ("0", "1440", "10.5", "0.1"):
// the shortest decimal that reads back as the same float, so 0.1f gives
// "0.1" and not the digits of its double expansion.
QString floatNumberText(float value);

} // namespace norvanta
