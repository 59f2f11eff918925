#pragma once

#include <array>

namespace norvanta {

// One temperature point of a run. `computed` is false for points that the
// last run did not compute (the other mode's points, or a point whose
// computation failed); such points are never shown.
struct ResultPoint {
    double dG = 0;         // kcal per mol of limiting compound
    double kp = 0;         // dimensionless, standard state 1 atm
    double conversion = 0; // fraction 0..1 of the limiting compound
    bool computed = false;
};

// Two series of 33 points: kelvin at 300 + 25·i K, Celsius at 273 + 25·i K (25·i °C).
struct ResultTable {
    static constexpr int kPoints = 33;
    std::array<ResultPoint, kPoints> kelvin;
    std::array<ResultPoint, kPoints> celsius;

    static constexpr int kelvinTemperature(int i) { return 300 + 25 * i; }
    static constexpr int celsiusTemperatureK(int i) { return 273 + 25 * i; }
    static constexpr int celsiusTemperatureC(int i) { return 25 * i; }
};

} // namespace norvanta
