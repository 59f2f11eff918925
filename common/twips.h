#pragma once

#include <cmath>

namespace norvanta {

constexpr double kTwipsPerInch = 1440.0;

// Window and drawing coordinates are twips; devices count pixels at their logical DPI.
inline int twipsToPixels(double twips, double dpi)
{
    return int(std::lround(twips * dpi / kTwipsPerInch));
}

inline double pixelsToTwips(double pixels, double dpi)
{
    return pixels * kTwipsPerInch / dpi;
}

} // namespace norvanta
