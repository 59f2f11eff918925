// The update's merge of a shipped Norvane.dat, the copy shipped before and
// the working folder's file, each a part of the input (split at form feeds):
// the shipped file comes first byte for byte, no record the user registered
// is lost without being named, and no name appears twice in any case among
// the records carried over and the shipped ones.
#include "fuzz_input.h"

#include "common/text_file.h"
#include "database/data_file_update.h"
#include "database/data_line.h"

#include <QSet>

#include <algorithm>

using namespace norvanta;

namespace {

// The records of a file as its readers see them, each with its line as stored.
struct StoredRecord {
    DataLine read;
    QByteArray line;
};

QList<StoredRecord> recordsOf(const QByteArray& bytes)
{
    QList<StoredRecord> records;
    QByteArray normalised = bytes;
    normalised.replace("\r\n", "\n");
    normalised.replace('\r', '\n');
    for (const QByteArray& line : normalised.split('\n')) {
        DataLine read = readDataLine(decodeShiftJis(line));
        if (read.kind == DataLine::Kind::Record)
            records.append({std::move(read), line});
    }
    return records;
}

bool sameRecord(const DataLine& a, const DataLine& b)
{
    return a.name == b.name && a.values == b.values;
}

bool holds(const QList<StoredRecord>& records, const DataLine& record)
{
    for (const StoredRecord& r : records) {
        if (sameRecord(r.read, record))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray> parts = fuzz::bytesOf(data, size).split('\f');
    const QByteArray shipped = parts.value(0);
    const QByteArray previous = parts.value(1);
    const QByteArray current = parts.value(2);
    const DataFileMerge merge =
        mergeDataFiles(shipped, current, parts.size() > 1 ? std::optional(previous) : std::nullopt);

    fuzz::require(merge.bytes.startsWith(shipped));
    QByteArray appended = merge.bytes.mid(shipped.size());
    if (appended.startsWith("\r\n") && !shipped.isEmpty() && !shipped.endsWith('\n') &&
        !shipped.endsWith('\r'))
        appended = appended.mid(2);
    const QList<StoredRecord> shippedRecords = recordsOf(shipped);
    const QList<StoredRecord> previousRecords =
        parts.size() > 1 ? recordsOf(previous) : QList<StoredRecord>{};
    const QList<StoredRecord> carried = recordsOf(appended);

    // No name twice in any case: neither among those carried over nor
    // beside a shipped one.
    QSet<QString> names;
    for (const StoredRecord& r : shippedRecords)
        names.insert(r.read.name.toUpper());
    QStringList carriedNames;
    for (const StoredRecord& r : carried) {
        fuzz::require(!names.contains(r.read.name.toUpper()));
        names.insert(r.read.name.toUpper());
        carriedNames.append(r.read.name);
    }
    fuzz::require(carriedNames == merge.kept);

    // Every registered record (not one of either shipped file) is carried
    // over as stored, or named as left out for a name already there.
    QStringList named = merge.dropped + merge.repeated;
    QList<StoredRecord> unmatched = carried;
    for (const StoredRecord& r : recordsOf(current)) {
        if (holds(shippedRecords, r.read) || holds(previousRecords, r.read))
            continue;
        const auto stored = std::find_if(unmatched.begin(), unmatched.end(), [&](const auto& c) {
            return sameRecord(c.read, r.read) && c.line == r.line;
        });
        if (stored != unmatched.end()) {
            unmatched.erase(stored);
            continue;
        }
        fuzz::require(named.removeOne(r.read.name));
        fuzz::require(names.contains(r.read.name.toUpper()));
    }
    fuzz::require(named.isEmpty() && unmatched.isEmpty());
    return 0;
}
