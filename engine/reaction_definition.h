#pragma once

#include <QString>

#include <array>

namespace norvanta {

// The validated reaction. Slot k of each array is slot k+1 of the reaction.
// After validation slot 0 holds the limiting compound with coefficient 1 and
// ratio 1, and every other value is relative to it.
struct ReactionDefinition {
    std::array<QString, 4> reactantNames;
    std::array<double, 4> reactantCoefficients{};
    std::array<double, 4> reactantRatios{};
    int reactantCount = 0;
    std::array<QString, 4> productNames;
    std::array<double, 4> productCoefficients{};
    int productCount = 0;
    int limitingCompound = 0; // reactant row 1..4 whose Restrict option is selected
    double totalPressure = 0;
};

} // namespace norvanta
