// Norvane.dat: the browser's table, the record count of registration, the
// calculation's index with its lookups, and a record registered into the
// file and read back.
#include "fuzz_input.h"

#include "database/compound_database.h"
#include "database/compound_index.h"
#include "database/compound_registration.h"
#include "database/record_count.h"
#include "database/record_writer.h"

#include "common/failure.h"
#include "common/number_text.h"
#include "common/text_file.h"

#include <array>
#include <cmath>
#include <cstring>

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

// The names the browser table holds, row by row in file order, which is the
// order of the records in the file. Empty names are left out on both sides:
// the table cannot tell them from unfilled cells.
QStringList browserNames(const CompoundDatabase& table)
{
    QStringList names;
    for (int genre = 0; genre <= CompoundDatabase::MaxGenres; ++genre) {
        for (int column = 1; column <= CompoundDatabase::MaxRecordsPerGenre; ++column) {
            const QString name = table.cell(genre, column);
            if (!name.isEmpty())
                names.append(name);
        }
    }
    return names;
}

// The eleven values of a registered record, taken from the input's bytes.
// Beyond 1e300 registration's check of the typed text is not exercised here:
// it is the registration's own to test.
std::array<double, 11> valuesOf(const QByteArray& bytes)
{
    std::array<double, 11> values{};
    for (std::size_t k = 0; k < values.size(); ++k) {
        const QByteArray piece = bytes.mid(qsizetype(k * 8), 8).leftJustified(8, '\0');
        double value = 0;
        std::memcpy(&value, piece.constData(), sizeof value);
        values[k] = std::isfinite(value) && std::fabs(value) < 1e300 ? value : 0;
    }
    return values;
}

// A name registration accepts, registered into the file by the append
// routine itself: the index finds it as the last record, with the values
// registration wrote. The name is the
// input's first line without a leading genre mark, so that a file opening
// with a genre header registers its genre name.
void registerAndFind(const QByteArray& bytes, const QString& text, const CompoundIndex& index)
{
    qsizetype start = 0;
    while (start < text.size() && (text[start] == u';' || text[start] == u'*'))
        ++start;
    qsizetype end = start;
    while (end < text.size() && end - start < 40 && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    const QString name = text.mid(start, end - start);
    if (name.isEmpty() || unstorableNameMessage(name) || index.duplicateOf(name))
        return;
    const std::array<double, 11> values = valuesOf(bytes);
    const QString line = compoundRecordLine(name, {values[0], values[1], values[2]},
                                            {values[3], values[4], values[5], values[6],
                                             values[7], values[8], values[9], values[10]});
    // Registered as the program registers: the real append into a file
    // holding the input, which must keep every byte before the record.
    const QString path = fuzz::scratchFile(QStringLiteral("Norvane.dat"), bytes);
    appendCompoundRecord(path, line);
    const QByteArray file = readFileBytes(path);
    fuzz::require(file.startsWith(bytes));

    const CompoundIndex registered = CompoundIndex::parse(decodeShiftJis(file));
    const std::optional<int> found = registered.find(name);
    fuzz::require(found && *found == registered.recordCount() - 1);
    for (int k = 1; k <= CompoundIndex::ValueFields; ++k) {
        fuzz::require(blankSignedNumberText(registered.field(*found, k)) ==
                      blankSignedNumberText(values[std::size_t(k - 1)]));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString text = decodeShiftJis(bytes);

    const CompoundDatabaseLoad load = CompoundDatabase::parse(text);
    const CompoundDatabase& table = load.database;
    // A genre name shows the first genre of that name.
    for (qsizetype g = 0; g < table.genreNames().size(); ++g) {
        const QString& genre = table.genreNames()[g];
        const int shown = table.genreNumber(genre);
        fuzz::require(shown >= 1 && shown <= g + 1 && table.cell(shown, 0) == genre);
    }

    const CompoundIndex index = CompoundIndex::parse(text);
    // Every record line is counted by registration's record count.
    fuzz::require(countRecordLines(text) >= index.recordCount());

    // The browser and the calculation read the same names; a browser that
    // stopped at a failure holds the names before it.
    QStringList indexNames;
    for (int record = 0; record < index.recordCount(); ++record) {
        if (!index.name(record).isEmpty())
            indexNames.append(index.name(record));
    }
    const QStringList shownNames = browserNames(table);
    if (load.ok())
        fuzz::require(shownNames == indexNames);
    else
        fuzz::require(shownNames == indexNames.mid(0, shownNames.size()));

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

    registerAndFind(bytes, text, index);
    return 0;
}
