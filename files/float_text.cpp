#include "float_text.h"

#include "common/number_text.h"

#include <charconv>

namespace norvanta {

QString floatNumberText(float value)
{
    // to_chars gives the float's shortest round-trip digits (at most nine);
    // the double read from them carries the same digits through the
    // 15-digit general form.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    double widened = value;
    std::from_chars(buffer, result.ptr, widened);
    return generalNumberText(widened);
}

} // namespace norvanta
