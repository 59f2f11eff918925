#pragma once

#include "solver/norvane.h"

#include <array>

namespace norvanta::test {

// The three functions of the built Norvane.dll, bound by name from the file
// exactly as the program does, never by linking.
struct NorvaneExports {
    CalCvFunction calCv = nullptr;
    InterpFunction interp = nullptr;
    WepFunction wep = nullptr;
};

// Loads NORVANTA_SOLVER_PATH once; throws std::runtime_error when it cannot.
const NorvaneExports& norvaneExports();

// A reaction in the normalised slot form CalCv takes.
struct SolverReaction {
    int reactantCount = 0;
    int productCount = 0;
    std::array<double, 4> reactantCoef{};
    std::array<double, 4> reactantAmount{};
    std::array<double, 4> productCoef{};
};

// CalCv of the built library for the reaction.
double calCv(const SolverReaction& reaction, double kp, double totalPressure,
             double tolerance = 1e-30);

} // namespace norvanta::test
