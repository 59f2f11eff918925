#include "solver_library.h"

#include "common/text_file.h"

#include <QFileInfo>

#include <utility>

namespace norvanta {

SolverLibrary::SolverLibrary(QString path) : path_(std::move(path)) {}

SolverLibrary::~SolverLibrary()
{
    if (library_)
        library_->unload();
}

void SolverLibrary::bind()
{
    if (calCv_ && interp_)
        return;

    // An absolute path, so that the loader never searches the system's library folders.
    auto library = std::make_unique<QLibrary>(QFileInfo(path_).absoluteFilePath());
    library->setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!library->load()) {
        errorString_ = library->errorString();
        throw SolverUnavailable();
    }
    const auto calCv = reinterpret_cast<CalCvFunction>(library->resolve("CalCv"));
    const auto interp = reinterpret_cast<InterpFunction>(library->resolve("Interp"));
    if (!calCv || !interp) {
        errorString_ = library->errorString();
        library->unload();
        throw SolverUnavailable();
    }
    library_ = std::move(library);
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
