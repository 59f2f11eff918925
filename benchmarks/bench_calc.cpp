// norvanta-calc: a batch of 1000 reaction files through the --table path in
// one process (25 K steps, the shipped database), and the whole program
// started for one reaction file.
#include "calc_process.h"

#include "tools/norvanta_calc/calc_command.h"

#include "files/reaction_file.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace norvanta;
using namespace Qt::StringLiterals;

namespace {

constexpr int kBatch = 1000;

ReactionFields reactionOf(const std::array<QString, 2>& reactants,
                          const std::array<QString, 2>& reactantNums,
                          const std::array<QString, 2>& products,
                          const std::array<QString, 2>& productNums, const QString& pressure)
{
    ReactionFields fields;
    for (std::size_t k = 0; k < 2; ++k) {
        fields.react[k] = reactants[k];
        fields.reactNum[k] = reactantNums[k];
        fields.molar[k] = u"1"_s;
        fields.product[k] = products[k];
        fields.productNum[k] = productNums[k];
    }
    fields.restrict = 0;
    fields.pressure = pressure;
    return fields;
}

// Four reactions of the shipped gases, at pressures that vary through the batch.
ReactionFields batchReaction(int i)
{
    const QString pressure = QString::number(1 + i % 10);
    switch (i % 4) {
    case 0:
        return reactionOf({u"CO2"_s, u"CH4"_s}, {u"1"_s, u"1"_s}, {u"CO"_s, u"H2"_s},
                          {u"2"_s, u"2"_s}, pressure);
    case 1:
        return reactionOf({u"CO"_s, u"H2O"_s}, {u"1"_s, u"1"_s}, {u"CO2"_s, u"H2"_s},
                          {u"1"_s, u"1"_s}, pressure);
    case 2:
        return reactionOf({u"CH4"_s, u"H2O"_s}, {u"1"_s, u"1"_s}, {u"CO"_s, u"H2"_s},
                          {u"1"_s, u"3"_s}, pressure);
    default: {
        ReactionFields fields = reactionOf({u"CO"_s, u"H2"_s}, {u"1"_s, u"2"_s},
                                           {u"CH3OH"_s, QString()}, {u"1"_s, QString()}, pressure);
        fields.molar[1] = u"3"_s; // enough hydrogen for all of the carbon monoxide
        return fields;
    }
    }
}

void tableBatch(benchmark::State& state)
{
    QTemporaryDir folder;
    QStringList arguments = {u"--table"_s,
                             u"--step"_s,
                             u"25"_s,
                             u"--data"_s,
                             QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat"),
                             u"--library"_s,
                             QStringLiteral(NORVANTA_SOLVER_PATH)};
    const QDateTime savedAt = QDateTime::currentDateTime();
    for (int i = 0; i < kBatch; ++i) {
        const QString path = folder.filePath(u"r"_s + QString::number(i) + u".txt"_s);
        if (saveReactionFile(path, batchReaction(i), savedAt)) {
            state.SkipWithError("a reaction file could not be written");
            return;
        }
        arguments.append(path);
    }
    for (auto _ : state) {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        if (calc::runCalc(arguments, folder.path(), out, err) != calc::ExitStatus::Success) {
            state.SkipWithError(err.data().constData());
            return;
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

void wholeProgramOneReaction(benchmark::State& state)
{
    bench::timeCalcProgram(state, batchReaction(0), {});
}

} // namespace

BENCHMARK(tableBatch)->Unit(benchmark::kMillisecond);
BENCHMARK(wholeProgramOneReaction)->Unit(benchmark::kMillisecond);

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
