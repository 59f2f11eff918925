#include "data_file_update.h"

#include "common/failure.h"
#include "common/text_file.h"
#include "data_file_lock.h"
#include "data_line.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

// The physical lines of the bytes, split as physicalLines splits text. A
// Shift_JIS trail byte is never CR or LF, so splitting the bytes cuts no
// character.
QList<QByteArray> byteLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n;) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.append(bytes.mid(start, i - start));
        i += (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < n)
        lines.append(bytes.mid(start));
    return lines;
}

void writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write shows in write()'s count; commit()
    // syncs the new file before it renames it over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Failure(FailureCode::PermissionDenied);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        throw Failure(FailureCode::DiskFull);
    }
    if (!file.commit())
        throw Failure(FailureCode::DiskFull);
}

// A record as its readers see it: name and value fields, however it was
// spaced or quoted. The fields stay apart: joined by any character, a name
// holding that character could pass for another record.
QStringList recordKey(const DataLine& record)
{
    return QStringList{record.name} + record.values;
}

QList<DataLine> records(const QByteArray& bytes)
{
    QList<DataLine> found;
    for (const QByteArray& line : byteLines(bytes)) {
        DataLine read = readDataLine(decodeShiftJis(line));
        if (read.kind == DataLine::Kind::Record)
            found.append(std::move(read));
    }
    return found;
}

} // namespace

DataFileMerge mergeDataFiles(const QByteArray& shipped, const QByteArray& current,
                             const std::optional<QByteArray>& previouslyShipped)
{
    QSet<QString> shippedNames;
    QSet<QStringList> shippedRecords;
    for (const DataLine& record : records(shipped)) {
        shippedNames.insert(record.name.toUpper());
        shippedRecords.insert(recordKey(record));
    }
    QSet<QStringList> previousRecords;
    if (previouslyShipped) {
        for (const DataLine& record : records(*previouslyShipped))
            previousRecords.insert(recordKey(record));
    }

    DataFileMerge merge;
    merge.bytes = shipped;
    if (!shipped.isEmpty() && !shipped.endsWith('\n') && !shipped.endsWith('\r'))
        merge.bytes += "\r\n";
    QSet<QString> keptNames;
    for (const QByteArray& line : byteLines(current)) {
        const DataLine read = readDataLine(decodeShiftJis(line));
        if (read.kind != DataLine::Kind::Record)
            continue;
        // A shipped record, as this or an earlier shipped file brought it.
        const QStringList key = recordKey(read);
        if (shippedRecords.contains(key) || previousRecords.contains(key))
            continue;
        const QString name = read.name.toUpper();
        if (shippedNames.contains(name) || keptNames.contains(name)) {
            (shippedNames.contains(name) ? merge.dropped : merge.repeated).append(read.name);
            continue;
        }
        keptNames.insert(name);
        merge.bytes += line + "\r\n";
        merge.kept.append(read.name);
    }
    return merge;
}

std::optional<QString> unusableShippedMessage(const QByteArray& shipped)
{
    for (const QByteArray& line : byteLines(shipped)) {
        if (readDataLine(decodeShiftJis(line)).kind == DataLine::Kind::GenreHeader)
            return std::nullopt;
    }
    return shipped.isEmpty() ? u"出荷時の化合物データファイルが空です"_s
                             : u"出荷時の化合物データファイルに分類の見出しがありません"_s;
}

QString shippedCopyPath(const QString& resolvedDataFile)
{
    return resolvedDataFile + u".shipped"_s;
}

DataFileMerge updateDataFile(const QString& shippedPath, const QString& dataPath)
{
    const QByteArray shipped = readFileBytes(shippedPath);
    if (unusableShippedMessage(shipped))
        throw Failure(FailureCode::InvalidArgument);
    // Resolved once: the lock, the backup, the copy of the shipped file and
    // the temporary file all lie beside the real file.
    const QString target = DataFileLock::resolvedPath(dataPath);
    const DataFileLock lock(target);
    const QString shippedCopy = shippedCopyPath(target);
    if (!QFileInfo::exists(target)) {
        writeWhole(target, shipped);
        writeWhole(shippedCopy, shipped);
        return {shipped, {}, {}, {}};
    }
    const QByteArray current = readFileBytes(target);
    std::optional<QByteArray> previous;
    if (QFileInfo::exists(shippedCopy))
        previous = readFileBytes(shippedCopy);
    const DataFileMerge merge = mergeDataFiles(shipped, current, previous);
    writeWhole(target + u".bak"_s, current);
    // The copy before the file, so that the file is never replaced without
    // it: should the replacement then fail, a second run only names a
    // changed shipped record again, as an update without the copy would.
    writeWhole(shippedCopy, shipped);
    writeWhole(target, merge.bytes);
    return merge;
}

} // namespace norvanta
