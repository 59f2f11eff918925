#pragma once

#include "equilibrium_reference.h"

#include "solver/norvane.h"

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

// CalCv of the built library for the reaction.
double calCv(const SolverReaction& reaction, double kp, double totalPressure,
             double tolerance = 1e-30);

} // namespace norvanta::test
