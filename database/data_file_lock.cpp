#include "data_file_lock.h"

#include "common/failure.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace norvanta {

QString DataFileLock::resolvedPath(const QString& dataFilePath)
{
    const QFileInfo info(dataFilePath);
    // A dangling link resolves to its target too: writing creates that file.
    const QString target = info.isSymLink() ? info.symLinkTarget() : QString();
    return target.isEmpty() ? info.absoluteFilePath() : target;
}

DataFileLock::DataFileLock(const QString& dataFilePath)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(resolvedPath(dataFilePath)).absolutePath());
    do {
        descriptor_ = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (descriptor_ < 0 && errno == EINTR);
    if (descriptor_ < 0)
        throw Failure(errno == ENOENT || errno == ENOTDIR ? FailureCode::PathNotFound
                                                          : FailureCode::PermissionDenied);
    int locked = 0;
    do {
        locked = ::flock(descriptor_, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        ::close(descriptor_);
        throw Failure(FailureCode::PermissionDenied);
    }
}

DataFileLock::~DataFileLock()
{
    // Closing the only descriptor of the open folder releases the lock.
    ::close(descriptor_);
}

} // namespace norvanta
