#pragma once

#include <stdint.h>

namespace norvane {

// The slots of one call: reactants 0-3, then products 4-7.
constexpr int kSlots = 8;

// The reaction of one call, with the moles at a conversion computed exactly
// as the bisection computes them.
struct Reaction {
    int reactants;
    int products;
    double coef[kSlots]; // reactants 0-3, products 4-7
    double amount[4];
    double pressure;

    // Fills the moles of the slots in use and returns their total.
    double molesAt(double x, double moles[kSlots]) const
    {
        double total = 0.0;
        for (int i = 0; i < reactants; ++i) {
            moles[i] = amount[i] - coef[i] * x;
            total += moles[i];
        }
        for (int j = 0; j < products; ++j) {
            moles[4 + j] = coef[4 + j] * x;
            total += moles[4 + j];
        }
        return total;
    }
};

} // namespace norvane
