#include "data_file_update.h"

#include "common/failure.h"
#include "common/text_file.h"
#include "data_file_lock.h"
#include "data_line.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

namespace norvanta {

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
// spaced or quoted.
QString recordKey(const DataLine& record)
{
    return (QStringList{record.name} + record.values).join(QChar(0));
}

} // namespace

DataFileMerge mergeDataFiles(const QByteArray& shipped, const QByteArray& current)
{
    QSet<QString> shippedNames;
    QSet<QString> shippedRecords;
    for (const QByteArray& line : byteLines(shipped)) {
        const DataLine read = readDataLine(decodeShiftJis(line));
        if (read.kind != DataLine::Kind::Record)
            continue;
        shippedNames.insert(read.name.toUpper());
        shippedRecords.insert(recordKey(read));
    }

    DataFileMerge merge;
    merge.bytes = shipped;
    if (!shipped.isEmpty() && !shipped.endsWith('\n') && !shipped.endsWith('\r'))
        merge.bytes += "\r\n";
    for (const QByteArray& line : byteLines(current)) {
        const DataLine read = readDataLine(decodeShiftJis(line));
        if (read.kind != DataLine::Kind::Record)
            continue;
        if (shippedNames.contains(read.name.toUpper())) {
            // The shipped file's own record, as an earlier update or the
            // first start brought it, goes without a word.
            if (!shippedRecords.contains(recordKey(read)))
                merge.dropped.append(read.name);
            continue;
        }
        merge.bytes += line + "\r\n";
        merge.kept.append(read.name);
    }
    return merge;
}

DataFileMerge updateDataFile(const QString& shippedPath, const QString& dataPath)
{
    const QByteArray shipped = readFileBytes(shippedPath);
    const DataFileLock lock(dataPath);
    const QString target = DataFileLock::resolvedPath(dataPath);
    if (!QFileInfo::exists(target)) {
        writeWhole(target, shipped);
        return {shipped, {}, {}};
    }
    const QByteArray current = readFileBytes(target);
    const DataFileMerge merge = mergeDataFiles(shipped, current);
    writeWhole(target + QStringLiteral(".bak"), current);
    writeWhole(target, merge.bytes);
    return merge;
}

} // namespace norvanta
