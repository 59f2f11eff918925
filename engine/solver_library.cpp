#include "solver_library.h"

#include "common/text_file.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <sys/stat.h>

#include <utility>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

// Whether the loaded code at `address` lies in the file `expected` (by device
// and inode, so that another name for the same file counts as the same).
bool comesFrom(const void* address, const struct stat& expected)
{
    Dl_info info{};
    struct stat mapped {};
    return dladdr(address, &info) != 0 && info.dli_fname != nullptr &&
           stat(info.dli_fname, &mapped) == 0 && mapped.st_dev == expected.st_dev &&
           mapped.st_ino == expected.st_ino;
}

QString loaderError()
{
    const char* text = dlerror();
    return text ? QString::fromLocal8Bit(text) : QString();
}

} // namespace

SolverLibrary::SolverLibrary(QString path) : path_(std::move(path)) {}

SolverLibrary::~SolverLibrary()
{
    if (handle_)
        dlclose(handle_);
}

void SolverLibrary::bind()
{
    if (calCv_ && interp_)
        return;

    // The one file named, resolved once: a path with a slash is loaded as it
    // is, with no search of library folders, subfolders or other names.
    const QString canonical = QFileInfo(path_).canonicalFilePath();
    const QByteArray file = QFile::encodeName(canonical);
    struct stat named {};
    if (canonical.isEmpty() || stat(file.constData(), &named) != 0 || !S_ISREG(named.st_mode)) {
        errorString_ = path_ + u": no such file"_s;
        throw SolverUnavailable();
    }
    void* handle = dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        errorString_ = loaderError();
        throw SolverUnavailable();
    }
    const auto calCv = reinterpret_cast<CalCvFunction>(dlsym(handle, "CalCv"));
    const auto interp = reinterpret_cast<InterpFunction>(dlsym(handle, "Interp"));
    // The functions must be the named file's own, not a dependency's, and the
    // file must not have been swapped between the check above and the load.
    if (!calCv || !interp || !comesFrom(reinterpret_cast<const void*>(calCv), named) ||
        !comesFrom(reinterpret_cast<const void*>(interp), named)) {
        errorString_ = (calCv && interp) ? canonical + u": the functions come from another file"_s
                                         : loaderError();
        dlclose(handle);
        throw SolverUnavailable();
    }
    handle_ = handle;
    calCv_ = calCv;
    interp_ = interp;
    errorString_.clear();
}
double SolverLibrary::calCv(double kp, double totalPressure, std::int32_t reactantCount,
                            std::int32_t productCount, const std::array<double, 4>& reactantCoef,
                            const std::array<double, 4>& reactantAmount,
                            const std::array<double, 4>& productCoef, double tolerance)
{
    bind();
    return calCv_(kp, totalPressure, reactantCount, productCount, reactantCoef[0],
                  reactantCoef[1], reactantCoef[2], reactantCoef[3], reactantAmount[0],
                  reactantAmount[1], reactantAmount[2], reactantAmount[3], productCoef[0],
                  productCoef[1], productCoef[2], productCoef[3], tolerance);
}

double SolverLibrary::interp(float t1, double g1, float t2, double g2, float t)
{
    bind();
    return interp_(t1, g1, t2, g2, t);
}

SolverProblem SolverLibrary::problem() const
{
    return FileExists(path_) ? SolverProblem::FileUnusable : SolverProblem::FileMissing;
}

} // namespace norvanta
