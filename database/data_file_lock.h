#pragma once

#include <QString>

namespace norvanta {

// The advisory lock that every change of Norvane.dat holds: registration for
// its duplicate test and append, norvanta-update-data for its replacement.
// Two running copies therefore never write the file at once, nor register one
// name twice. It is taken on the folder that holds the file (the file's
// target, when the path is a symbolic link): the update replaces the file by
// renaming, so a lock on the file itself would not carry over to its
// successor. Taking it waits until the other holder lets go.
class DataFileLock {
public:
    // Throws Failure{76} when the folder does not exist, {70} when it cannot
    // be opened or locked.
    explicit DataFileLock(const QString& dataFilePath);
    ~DataFileLock();

    DataFileLock(const DataFileLock&) = delete;
    DataFileLock& operator=(const DataFileLock&) = delete;

    // The file the path names, through a symbolic link: the one to write.
    static QString resolvedPath(const QString& dataFilePath);

private:
    int descriptor_ = -1;
};

} // namespace norvanta
