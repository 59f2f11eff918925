// One whole calculation run without the timer's pacing: reading and parsing
// Norvane.dat, the validation and every point of the sweep through
// Norvane.dll, for CO2 + CH4 = 2 CO + 2 H2.
#include "engine/calculation_run.h"
#include "engine/solver_library.h"

#include "database/record_writer.h"

#include "common/text_file.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace norvanta;
using namespace Qt::StringLiterals;

namespace {

ReactionFields reformingFields()
{
    ReactionFields fields;
    fields.react = {u"CO2"_s, u"CH4"_s, {}, {}};
    fields.reactNum = {u"1"_s, u"1"_s, {}, {}};
    fields.molar = {u"1"_s, u"1"_s, {}, {}};
    fields.product = {u"CO"_s, u"H2"_s, {}, {}};
    fields.productNum = {u"2"_s, u"2"_s, {}, {}};
    fields.restrict = 0;
    fields.pressure = u"1"_s;
    return fields;
}

void runWhole(benchmark::State& state, const QString& databasePath, bool tetraPrecision)
{
    SolverLibrary solver(QStringLiteral(NORVANTA_SOLVER_PATH));
    RunHost host;
    ReactionDefinition definition;
    ResultTable results;
    for (auto _ : state) {
        ReactionFields fields = reformingFields();
        CalculationRun run({databasePath, QString(), 1000 / 1.987216}, fields, definition, results,
                           solver, host);
        run.start(tetraPrecision);
        if (run.runToEnd().outcome != TickOutcome::Finished) {
            state.SkipWithError("the run did not finish");
            return;
        }
        benchmark::DoNotOptimize(results);
    }
}

void shippedDatabase25K(benchmark::State& state)
{
    runWhole(state, QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat"), true);
}

void shippedDatabase100K(benchmark::State& state)
{
    runWhole(state, QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat"), false);
}

// 1000 records, the reaction's four at the very end, so every lookup passes all names.
void thousandRecords25K(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"Norvane.dat"_s);
    QString text = u";*生成された化合物\r\n"_s;
    for (int i = 1; i <= 996; ++i) {
        std::array<double, 8> gibbs{};
        for (int k = 0; k < 8; ++k)
            gibbs[std::size_t(k)] = -0.5 * i + 1.25 * k;
        text +=
            compoundRecordLine(u"C"_s + QString::number(i % 20 + 1) + u"H"_s + QString::number(i),
                               {double(i % 20 + 1), double(i), double(i % 3)}, gibbs);
    }
    text += compoundRecordLine(u"CO2"_s, {1, 0, 2},
                               {-94.26, -94.33, -94.39, -94.45, -94.50, -94.54, -94.58, -94.62});
    text += compoundRecordLine(u"CH4"_s, {1, 4, 0},
                               {-12.05, -10.01, -7.79, -5.44, -3.00, -0.50, 2.05, 4.63});
    text += compoundRecordLine(u"CO"_s, {1, 0, 1},
                               {-32.82, -34.97, -37.14, -39.31, -41.47, -43.61, -45.74, -47.86});
    text += compoundRecordLine(u"H2"_s, {0, 2, 0}, {});
    writeShiftJisFile(path, text);
    runWhole(state, path, true);
}

} // namespace

BENCHMARK(shippedDatabase25K)->Unit(benchmark::kMicrosecond);
BENCHMARK(shippedDatabase100K)->Unit(benchmark::kMicrosecond);
BENCHMARK(thousandRecords25K)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
