// One calculation run's worth of compound lookups on a 1000-record
// Norvane.dat: the balance check looks each of four compounds up three times
// (carbon, hydrogen, oxygen), the sweep reads its dG at 300..1000 K. Either
// the file is parsed once for the run, or it is re-read for every lookup.
#include "common/text_file.h"
#include "database/compound_index.h"
#include "database/record_writer.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>
#include <stdexcept>

using namespace norvanta;

namespace {

constexpr int kRecords = 1000;
constexpr int kGenreSize = 50;

QString compoundName(int i) { return QStringLiteral("C%1H%2").arg(i).arg(i % 41); }

// Compounds spread over the file, as a reaction's four would be.
const std::array<QString, 4> kCompounds = {compoundName(25), compoundName(310), compoundName(640),
                                           compoundName(985)};

class DataFile {
public:
    DataFile()
    {
        QString text;
        for (int i = 1; i <= kRecords; ++i) {
            if (i % kGenreSize == 1)
                text += QStringLiteral(";*分類%1\r\n").arg(i / kGenreSize + 1);
            const std::array<double, 3> atoms{double(i), double(i % 41), double(i % 3)};
            std::array<double, 8> gibbs{};
            for (std::size_t k = 0; k < gibbs.size(); ++k)
                gibbs[k] = -0.001 * i * double(k + 3) + 1.0 / (k + 7);
            text += compoundRecordLine(compoundName(i), atoms, gibbs);
        }
        QFile file(path());
        if (!file.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the data file");
        file.write(encodeShiftJis(text));
    }

    QString path() const { return dir_.filePath(QStringLiteral("Norvane.dat")); }

private:
    QTemporaryDir dir_;
};

const DataFile& dataFile()
{
    static const DataFile file;
    return file;
}

// Runs the lookups of one run; `indexFor` gives the index each lookup uses.
template <typename IndexFor>
double runLookups(IndexFor&& indexFor)
{
    double sum = 0;
    for (int element = 0; element < 3; ++element) {
        for (const QString& name : kCompounds) {
            const CompoundIndex& index = indexFor();
            sum += index.atomCount(*index.find(name), element);
        }
    }
    for (int kelvin = 300; kelvin <= 1000; kelvin += 100) {
        for (const QString& name : kCompounds) {
            const CompoundIndex& index = indexFor();
            sum += index.gibbsEnergy(*index.find(name), kelvin);
        }
    }
    return sum;
}

void parseOncePerRun(benchmark::State& state)
{
    const QString path = dataFile().path();
    for (auto _ : state) {
        const CompoundIndex index = CompoundIndex::load(path);
        benchmark::DoNotOptimize(runLookups([&]() -> const CompoundIndex& { return index; }));
    }
}

void rereadPerLookup(benchmark::State& state)
{
    const QString path = dataFile().path();
    for (auto _ : state) {
        CompoundIndex index;
        benchmark::DoNotOptimize(runLookups([&]() -> const CompoundIndex& {
            index = CompoundIndex::load(path);
            return index;
        }));
    }
}

} // namespace

BENCHMARK(parseOncePerRun)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(rereadPerLookup)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
