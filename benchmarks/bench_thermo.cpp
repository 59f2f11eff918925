// The shipped polynomial file: reading it whole (what a calculation without a
// cache pays in its balance check), the cached reading of an unchanged file,
// and a reaction's dG from the polynomials at one temperature.
#include "database/polynomial_file.h"
#include "thermo/thermo_data.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

using namespace norvanta;

namespace {

const QString kPolynomials = QStringLiteral(NORVANTA_SOURCE_DIR "/data/NorvaneThermo.dat");
const QString kDatabase = QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat");

void readWhole(benchmark::State& state)
{
    for (auto _ : state) {
        const PolynomialFileReading reading = PolynomialFile::load(kPolynomials);
        if (!reading.file)
            throw std::runtime_error("polynomial file unusable");
        benchmark::DoNotOptimize(reading.file->species().size());
    }
}
BENCHMARK(readWhole)->Unit(benchmark::kMillisecond);

void readCached(benchmark::State& state)
{
    PolynomialFileCache cache;
    cache.load(kPolynomials);
    for (auto _ : state)
        benchmark::DoNotOptimize(cache.load(kPolynomials).file.get());
}
BENCHMARK(readCached)->Unit(benchmark::kMillisecond);

void steamReformingGibbs(benchmark::State& state)
{
    const ThermoData data = ThermoData::load(kPolynomials, kDatabase);
    const auto ch4 = data.find(QStringLiteral("CH4"));
    const auto h2o = data.find(QStringLiteral("H2O"));
    const auto co = data.find(QStringLiteral("CO"));
    const auto h2 = data.find(QStringLiteral("H2"));
    if (!ch4 || !h2o || !co || !h2)
        throw std::runtime_error("compound missing");
    double kelvin = 300;
    for (auto _ : state) {
        benchmark::DoNotOptimize(co->formationGibbs(kelvin) + 3 * h2->formationGibbs(kelvin) -
                                 ch4->formationGibbs(kelvin) - h2o->formationGibbs(kelvin));
        kelvin = kelvin >= 3000 ? 300 : kelvin + 1;
    }
}
BENCHMARK(steamReformingGibbs);

} // namespace

BENCHMARK_MAIN();
