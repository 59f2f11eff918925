#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace norvanta {

// Bringing a new shipped Norvane.dat into a working folder without losing
// the compounds registered there.
struct DataFileMerge {
    // The shipped file byte for byte, then the kept record lines as they
    // were stored, each ended by CR LF.
    QByteArray bytes;
    // Names, as stored, of the registered records carried over, of those
    // left out because the shipped file holds the name, and of those left
    // out because a record kept before them has the name in another case
    // (the shipped records are replaced without a word).
    QStringList kept;
    QStringList dropped;
    QStringList repeated;
};

// Keeps the records the user registered in the current file: those that
// are neither a record of the shipped file nor, when it is known, a record
// of the file shipped before (the one the current file was made from), so
// that a shipped record an upgrade changed or removed goes without a word.
// A registered record whose name the shipped file holds, or whose name an
// earlier kept record has, is left out and listed: names are compared when
// both are upper-cased (the duplicate test of registration), so no name ends
// up twice in any case. Comments, genre headers and blank lines of the
// current file are not carried over: they belong to the shipped file it
// came from.
DataFileMerge mergeDataFiles(const QByteArray& shipped, const QByteArray& current,
                             const std::optional<QByteArray>& previouslyShipped = std::nullopt);

// Why a shipped file cannot be brought in, or nothing when it can: it is
// empty or has no genre header, so it is no compound data file.
std::optional<QString> unusableShippedMessage(const QByteArray& shipped);

// The copy of the shipped file kept beside the data file, so that the next
// update knows which records came with it: <data file>.shipped.
QString shippedCopyPath(const QString& resolvedDataFile);

// Replaces the Norvane.dat at dataPath (through a chain of symbolic links,
// its target; the links stay links) by the merge of the shipped file and the
// current one, under DataFileLock, with the copy of the file shipped before
// when it lies beside it. The current file is kept beside it as
// Norvane.dat.bak and the shipped file as Norvane.dat.shipped; a missing one
// is just the shipped file. The new file is written beside the old, synced
// and renamed over it, so any failure leaves the old file byte for byte.
// Throws the failures of reading the files and of DataFileLock, {5} for a
// shipped file unusableShippedMessage refuses, {70} when the folder may not
// be written, {61} for any other write failure.
DataFileMerge updateDataFile(const QString& shippedPath, const QString& dataPath);

} // namespace norvanta
