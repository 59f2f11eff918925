// CalCv of Norvane.dll through the program's binding, on the dry-reforming
// reaction CO2 + CH4 = 2 CO + 2 H2 (feed 1:1, 1 atm): one call, and the 66
// calls of a 25 K run (33 kelvin and 33 Celsius points).
#include "engine/solver_library.h"

#include <QString>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using norvanta::SolverLibrary;

constexpr std::array<double, 4> kReactantCoef{1, 1, 0, 0};
constexpr std::array<double, 4> kReactantAmount{1, 1, 0, 0};
constexpr std::array<double, 4> kProductCoef{2, 2, 0, 0};
constexpr double kTolerance = 1e-30;

SolverLibrary& solver()
{
    static SolverLibrary library(QString::fromUtf8(NORVANTA_SOLVER_PATH));
    return library;
}

// Binds the library before timing; false (and the benchmark skipped) when it cannot.
bool solverReady(benchmark::State& state)
{
    try {
        solver().interp(300, 0, 400, 1, 350);
        return true;
    } catch (const norvanta::SolverUnavailable&) {
        state.SkipWithError("Norvane.dll cannot be used");
        return false;
    }
}

// Kp of dry reforming at T kelvin from dG ≈ 59.3 − 0.0614·T kcal/mol.
double dryReformingKp(double kelvin)
{
    const double dG = 59.3 - 0.0614 * kelvin;
    return std::exp(-dG * (1000 / 1.987216) / kelvin);
}

void BM_CalCvDryReforming(benchmark::State& state)
{
    if (!solverReady(state))
        return;
    const double kp = dryReformingKp(900); // conversion about 0.6
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver().calCv(kp, 1.0, 2, 2, kReactantCoef, kReactantAmount,
                                                kProductCoef, kTolerance));
    }
}
BENCHMARK(BM_CalCvDryReforming);

void BM_CalCvSweepOf66Points(benchmark::State& state)
{
    if (!solverReady(state))
        return;
    std::vector<double> kps;
    for (int i = 0; i <= 32; ++i) {
        kps.push_back(dryReformingKp(300 + 25 * i));
        kps.push_back(dryReformingKp(273 + 25 * i));
    }
    for (auto _ : state) {
        for (const double kp : kps) {
            benchmark::DoNotOptimize(solver().calCv(kp, 1.0, 2, 2, kReactantCoef,
                                                    kReactantAmount, kProductCoef, kTolerance));
        }
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kps.size()));
}
BENCHMARK(BM_CalCvSweepOf66Points);

} // namespace

BENCHMARK_MAIN();
