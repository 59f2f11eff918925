#include "data_file_lock.h"

#include "common/failure.h"
#include "common/termination_request.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace norvanta {

QString DataFileLock::resolvedPath(const QString& dataFilePath)
{
    // Followed link by link to the end of the chain, so that the end of a
    // dangling chain is found too (writing there creates that file). The
    // system gives up after 40 links; so does this, and the path that is
    // left then fails to open like the loop itself.
    QString path = QFileInfo(dataFilePath).absoluteFilePath();
    for (int links = 0; links < 40; ++links) {
        const QFileInfo info(path);
        const QString target = info.isSymLink() ? info.symLinkTarget() : QString();
        if (target.isEmpty())
            break;
        path = target;
    }
    return path;
}

DataFileLock::DataFileLock(const QString& resolvedDataFile)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(resolvedDataFile).absolutePath());
    do {
        descriptor_ = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (descriptor_ < 0 && errno == EINTR);
    if (descriptor_ < 0)
        throw Failure(errno == ENOENT || errno == ENOTDIR ? FailureCode::PathNotFound
                                                          : FailureCode::PermissionDenied);
    // Waits in short steps rather than in one blocking call, so that a
    // termination signal that comes meanwhile ends the wait, and the program
    // can exit at once instead of when the other holder lets go.
    while (::flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK || errno == EINTR;
        if (!busy || terminationRequested()) {
            ::close(descriptor_);
            if (!busy)
                throw Failure(FailureCode::PermissionDenied);
            throw LockWaitAbandoned();
        }
        const timespec step{0, 10'000'000};
        ::nanosleep(&step, nullptr);
    }
}

DataFileLock::~DataFileLock()
{
    // Closing the only descriptor of the open folder releases the lock.
    ::close(descriptor_);
}

} // namespace norvanta
