#pragma once

#include <QString>

#include <exception>

namespace norvanta {

// The wait for the lock ended because the program is to end: nothing was
// locked, and the caller leaves its change undone without a word.
class LockWaitAbandoned : public std::exception {
public:
    const char* what() const noexcept override
    {
        return "the wait for the data file's lock was given up";
    }
};

// The advisory lock that every change of Norvane.dat holds: registration for
// its duplicate test and append, norvanta-update-data for its replacement.
// Two running copies therefore never write the file at once, nor register one
// name twice. It is taken on the folder that holds the file (the file's
// target, when the path is a symbolic link): the update replaces the file by
// renaming, so a lock on the file itself would not carry over to its
// successor. Taking it waits until the other holder lets go, or until a
// termination signal asks the program to end (LockWaitAbandoned).
class DataFileLock {
public:
    // Locks the folder of the file as resolvedPath() gives it: the caller
    // resolves the path once and uses that one path for the lock, the
    // reading and the writing. Throws Failure{76} when the folder does not
    // exist, {70} when it cannot be opened or locked; LockWaitAbandoned.
    explicit DataFileLock(const QString& resolvedDataFile);
    ~DataFileLock();

    DataFileLock(const DataFileLock&) = delete;
    DataFileLock& operator=(const DataFileLock&) = delete;

    // The file the path names, through every symbolic link of a chain: the
    // one to write, beside which its temporary file and backup lie. The
    // links themselves stay links.
    static QString resolvedPath(const QString& dataFilePath);

private:
    int descriptor_ = -1;
};

} // namespace norvanta
