// The equilibrium composition of steam reforming (CH4 and H2O at 1:3, 1 atm)
// over every C, H, O compound of the shipped Norvane.dat: the engine's 66
// points at 25 K steps, and the whole norvanta-calc --composition process.
#include "engine/constants.h"
#include "engine/gibbs_equilibrium.h"

#include "database/compound_index.h"

#include "files/reaction_file.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace norvanta;
using namespace Qt::StringLiterals;

namespace {

QString stageFolder()
{
    return QFileInfo(QStringLiteral(NORVANTA_SOLVER_PATH)).absolutePath();
}

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
    QTemporaryDir folder;
    const QString path = folder.filePath(u"steam.txt"_s);
    if (saveReactionFile(path, steamReforming(), QDateTime::currentDateTime())) {
        state.SkipWithError("the reaction file could not be written");
        return;
    }
    for (auto _ : state) {
        QProcess process;
        process.setWorkingDirectory(stageFolder());
        process.start(stageFolder() + u"/norvanta-calc"_s, {u"--composition"_s, path});
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            state.SkipWithError("norvanta-calc did not finish its composition");
            return;
        }
        benchmark::DoNotOptimize(process.readAllStandardOutput());
    }
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
