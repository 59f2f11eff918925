#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace norvanta {

// Bringing a new shipped Norvane.dat into a working folder without losing
// the compounds registered there.
struct DataFileMerge {
    // The shipped file byte for byte, then the kept record lines as they
    // were stored, each ended by CR LF.
    QByteArray bytes;
    // Names, as stored, of the records carried over, and of those left out
    // because the shipped file holds the name but not the same record (the
    // shipped file's own records are replaced without a word).
    QStringList kept;
    QStringList dropped;
};

// Keeps every record of the current file whose name the shipped file lacks,
// names compared when both are upper-cased (the duplicate test of
// registration), so no name ends up twice in any case. Comments, genre
// headers and blank lines of the current file are not carried over: they
// belong to the shipped file it came from.
DataFileMerge mergeDataFiles(const QByteArray& shipped, const QByteArray& current);

// Replaces the Norvane.dat at dataPath (through a symbolic link, its target)
// by the merge of the shipped file and the current one, under DataFileLock.
// The current file is kept beside it as Norvane.dat.bak; a missing one is
// just the shipped file. The new file is written beside the old, synced and
// renamed over it, so any failure leaves the old file byte for byte. Throws
// the failures of reading the files and of DataFileLock, {70} when the
// folder may not be written, {61} for any other write failure.
DataFileMerge updateDataFile(const QString& shippedPath, const QString& dataPath);

} // namespace norvanta
