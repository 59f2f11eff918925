// The equilibrium composition of steam reforming (CH4 and H2O at 1:3, 1 atm)
// over every C, H, O compound of the shipped Norvane.dat: the engine's 66
// points at 25 K steps, and the whole norvanta-calc --composition process.
#include "calc_process.h"

#include "engine/constants.h"
#include "composition/gibbs_equilibrium.h"

#include "database/compound_index.h"

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

} // namespace

BENCHMARK(engineSteamReforming)->Unit(benchmark::kMillisecond);
BENCHMARK(wholeProgramComposition)->Unit(benchmark::kMillisecond);

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
