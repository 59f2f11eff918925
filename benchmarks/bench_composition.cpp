// The equilibrium composition of steam reforming (CH4 and H2O at 1:3, 1 atm)
// over every C, H, O compound of the shipped Norvane.dat: the engine's 66
// points at 25 K steps, and the whole norvanta-calc --composition process.
// From the polynomial file: a methane feed with oxygen, steam and nitrogen
// (1:0.5:1:2, 1 atm) over all its C, H, O, N species with condensed phases at
// 100 temperatures from 300 to 3000 K, the adiabatic temperature of
// stoichiometric methane in air, and the whole process of a 101-point range.
#include "calc_process.h"

#include "engine/constants.h"
#include "composition/gibbs_equilibrium.h"

#include "database/compound_index.h"
#include "thermo/thermo_data.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace norvanta;
using namespace Qt::StringLiterals;

namespace {

ReactionFields steamReforming()
{
    ReactionFields fields;
    fields.react = {u"CH4"_s, u"H2O"_s, {}, {}};
    fields.reactNum = {u"1"_s, u"1"_s, {}, {}};
    fields.molar = {u"1"_s, u"3"_s, {}, {}};
    fields.product = {u"CO"_s, u"H2"_s, {}, {}};
    fields.productNum = {u"1"_s, u"3"_s, {}, {}};
    fields.restrict = 0;
    return fields;
}

void engineSteamReforming(benchmark::State& state)
{
    const CompoundIndex database =
        CompoundIndex::load(QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat"));
    const CompositionSystem system =
        compositionSystem(compositionRequest(steamReforming(), false, true), database);
    const PhysicalConstants constants;
    size_t points = 0;
    for (auto _ : state) {
        const CompositionTable table = compositionTable(system, constants);
        points = table.kelvin.size() + table.celsius.size();
        benchmark::DoNotOptimize(table.kelvin.data());
    }
    state.counters["species"] = double(system.species.size());
    state.counters["points"] = double(points);
}

void wholeProgramComposition(benchmark::State& state)
{
    bench::timeCalcProgram(state, steamReforming(), {u"--composition"_s});
}

ThermoData shippedThermo()
{
    return ThermoData::load(QStringLiteral(NORVANTA_SOURCE_DIR "/data/NorvaneThermo.dat"),
                            QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat"));
}

CompositionRequest feedOf(const QStringList& names, const std::vector<double>& moles)
{
    CompositionRequest request;
    request.feedNames = names;
    request.feedMoles = moles;
    return request;
}

void engineWideRange(benchmark::State& state)
{
    CompositionRequest request =
        feedOf({u"CH4"_s, u"O2"_s, u"H2O"_s, u"N2"_s}, {1, 0.5, 1, 2});
    request.condensed = true;
    request.range = TemperatureRange{300, 3000, 2700.0 / 99, false};
    const CompositionSystem system = compositionSystem(request, shippedThermo());
    const PhysicalConstants constants;
    size_t points = 0;
    for (auto _ : state) {
        const CompositionTable table = compositionTable(system, constants);
        points = table.series.front().points.size();
        benchmark::DoNotOptimize(table.series.data());
    }
    state.counters["species"] = double(system.species.size() + system.condensedPhases.size());
    state.counters["points"] = double(points);
}

void engineAdiabatic(benchmark::State& state)
{
    CompositionRequest request = feedOf({u"CH4"_s, u"O2"_s, u"N2"_s}, {1, 2, 7.52});
    request.adiabaticFeedKelvin = 298.15;
    const CompositionSystem system = compositionSystem(request, shippedThermo());
    const PhysicalConstants constants;
    for (auto _ : state) {
        const CompositionTable table = compositionTable(system, constants);
        benchmark::DoNotOptimize(table.series.data());
    }
}

void wholeProgramWideRange(benchmark::State& state)
{
    ReactionFields fields = steamReforming();
    fields.react = {u"CH4"_s, u"O2"_s, u"H2O"_s, u"N2"_s};
    fields.reactNum = {u"1"_s, u"1"_s, u"1"_s, u"1"_s};
    fields.molar = {u"1"_s, u"0.5"_s, u"1"_s, u"2"_s};
    bench::timeCalcProgram(state, fields,
                           {u"--composition"_s, u"--condensed"_s, u"--range"_s, u"300:3000:27"_s});
}

} // namespace

BENCHMARK(engineSteamReforming)->Unit(benchmark::kMillisecond);
BENCHMARK(wholeProgramComposition)->Unit(benchmark::kMillisecond);
BENCHMARK(engineWideRange)->Unit(benchmark::kMillisecond);
BENCHMARK(engineAdiabatic)->Unit(benchmark::kMillisecond);
BENCHMARK(wholeProgramWideRange)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
