// Norvane.dat: the browser's line reader, the record count of registration,
// and the calculation's index with its lookups.
#include "fuzz_input.h"

#include "database/compound_database.h"
#include "database/compound_index.h"
#include "database/record_count.h"

#include "common/failure.h"
#include "common/text_file.h"

#include <cmath>

using namespace norvanta;

namespace {

// A value the calculation reads: a number, or the failure its run reports.
void readValue(const auto& read)
{
    try {
        fuzz::require(std::isfinite(read()));
    } catch (const Failure& failure) {
        fuzz::require(failure.code() == FailureCode::ReadPastEnd ||
                      failure.code() == FailureCode::Overflow);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = decodeShiftJis(fuzz::bytesOf(data, size));

    const CompoundDatabaseLoad load = CompoundDatabase::parse(text);
    const CompoundDatabase& table = load.database;
    for (int genre = 0; genre <= CompoundDatabase::MaxGenres; ++genre) {
        const QStringList entries = table.genreEntries(genre);
        fuzz::require(entries.size() <= CompoundDatabase::MaxRecordsPerGenre);
    }
    for (const QString& genre : table.genreNames())
        fuzz::require(table.genreNumber(genre) >= 0);
    fuzz::require(countRecordLines(text) >= 0);

    const CompoundIndex index = CompoundIndex::parse(text);
    for (int record = 0; record < index.recordCount(); ++record) {
        const QString name = index.name(record);
        // The first record of a name answers every lookup of it.
        const std::optional<int> found = index.find(name);
        fuzz::require(found && *found <= record && index.name(*found) == name);
        fuzz::require(index.duplicateOf(name).has_value());
        for (int element = 0; element < 3; ++element)
            readValue([&] { return index.atomCount(record, element); });
        for (int kelvin = 300; kelvin <= 1000; kelvin += 100)
            readValue([&] { return index.gibbsEnergy(record, kelvin); });
        try {
            index.requireFiniteValues(record);
        } catch (const Failure& failure) {
            fuzz::require(failure.code() == FailureCode::Overflow);
        }
    }
    return 0;
}
