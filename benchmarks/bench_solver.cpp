// CalCv of Norvane.dll through the program's binding, on the dry-reforming
// reaction CO2 + CH4 = 2 CO + 2 H2 (feed 1:1, 1 atm): one call, and the 66
// calls of a 25 K run (33 kelvin and 33 Celsius points). Then the shipped
// CalCv beside the literal transcription of its algorithm, on five reactions
// and at the tolerances 1e-30 and 0.
#include "engine/solver_library.h"

#include "tests/solver/literal/literal_calcv.h"

#include <QString>

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <utility>
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
            benchmark::DoNotOptimize(solver().calCv(kp, 1.0, 2, 2, kReactantCoef, kReactantAmount,
                                                    kProductCoef, kTolerance));
        }
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kps.size()));
}
BENCHMARK(BM_CalCvSweepOf66Points);

// One call as the sweep makes it, in the slot form CalCv takes (normalised:
// the limiting compound first, with coefficient and amount 1).
struct SolverCall {
    const char* name;
    double kp;
    double pressure;
    int reactantCount;
    int productCount;
    std::array<double, 4> reactantCoef;
    std::array<double, 4> reactantAmount;
    std::array<double, 4> productCoef;
};

constexpr double kThird = 1.0 / 3.0;

const std::vector<SolverCall> kComparedCalls = {
    // CO2 + CH4 = 2 CO + 2 H2 at 900 K, 1 atm: conversion about 0.6.
    {"dry_reforming", dryReformingKp(900), 1.0, 2, 2, {1, 1}, {1, 1}, {2, 2}},
    // CH4 + H2O = CO + 3 H2, 1:1 at 10 atm, Kp 1.3 (about 900 K).
    {"steam_reforming_10atm", 1.3, 10.0, 2, 2, {1, 1}, {1, 1}, {1, 3}},
    // Dry reforming where Kp has underflowed to 0.
    {"kp_0", 0.0, 1.0, 2, 2, {1, 1}, {1, 1}, {2, 2}},
    // Dry reforming far beyond equilibrium's reach: the result is 1.
    {"kp_1e20", 1e20, 1.0, 2, 2, {1, 1}, {1, 1}, {2, 2}},
    // CO + 3 H2 = CH4 + H2O with H2 (coefficient 3) limiting, fed 1:3, so
    // every other coefficient is a third; Kp 2 per mole of H2.
    {"coefficient_3_limiting", 2.0, 1.0, 2, 2, {1, kThird}, {1, kThird}, {kThird, kThird}},
};

void shippedCalCv(benchmark::State& state, const SolverCall& call, double tolerance)
{
    if (!solverReady(state))
        return;
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver().calCv(call.kp, call.pressure, call.reactantCount,
                                                call.productCount, call.reactantCoef,
                                                call.reactantAmount, call.productCoef, tolerance));
    }
}

void literalCalCv(benchmark::State& state, const SolverCall& call, double tolerance)
{
    const auto& c = call.reactantCoef;
    const auto& a = call.reactantAmount;
    const auto& p = call.productCoef;
    for (auto _ : state) {
        benchmark::DoNotOptimize(norvanta::test::literalCalCv(
            call.kp, call.pressure, call.reactantCount, call.productCount, c[0], c[1], c[2], c[3],
            a[0], a[1], a[2], a[3], p[0], p[1], p[2], p[3], tolerance));
    }
}

// Shipped and literal next to each other for every reaction and tolerance.
bool registerComparisons()
{
    for (const SolverCall& call : kComparedCalls) {
        for (const auto& [tolerance, label] :
             {std::pair{1e-30, "tolerance_1e-30"}, std::pair{0.0, "tolerance_0"}}) {
            const std::string suffix = std::string(call.name) + "/" + label;
            benchmark::RegisterBenchmark(("CalCv_shipped/" + suffix).c_str(), shippedCalCv, call,
                                         tolerance);
            benchmark::RegisterBenchmark(("CalCv_literal/" + suffix).c_str(), literalCalCv, call,
                                         tolerance);
        }
    }
    return true;
}

const bool comparisonsRegistered = registerComparisons();

} // namespace

BENCHMARK_MAIN();
