#pragma once

#include "solver_functions.h"

#include "solver/norvane.h"

#include <QString>

namespace norvanta {

// Why Norvane.dll cannot be used, as the calculation tells it to the user.
enum class SolverProblem {
    FileMissing, // FileExists does not find the file
    FileUnusable // the file is there but is not a library, or lacks CalCv or Interp
};

// The binding to Norvane.dll: loads the one file the path names, by its
// canonical absolute path, on the first call and binds CalCv and Interp by
// name. No other file stands in for it: no hardware-capability subfolder
// (haswell/), no other file name (libNorvane.dll, Norvane.dll.so), and the
// functions must come from that very file. While that fails every call throws
// SolverUnavailable, and the next call tries again, so a library put in place
// after a failed run is used by the next one. Once bound it stays bound.
class SolverLibrary : public SolverFunctions {
public:
    explicit SolverLibrary(QString path);
    ~SolverLibrary() override;
    SolverLibrary(const SolverLibrary&) = delete;
    SolverLibrary& operator=(const SolverLibrary&) = delete;

    double calCv(double kp, double totalPressure, std::int32_t reactantCount,
                 std::int32_t productCount, const std::array<double, 4>& reactantCoef,
                 const std::array<double, 4>& reactantAmount,
                 const std::array<double, 4>& productCoef, double tolerance) override;

    double interp(float t1, double g1, float t2, double g2, float t) override;

    const QString& path() const { return path_; }

    // Which of the two library messages applies after SolverUnavailable:
    // decided by looking for the file now, as the calculation does.
    SolverProblem problem() const;

    // The loader's own explanation of the last failure, for diagnostics.
    const QString& errorString() const { return errorString_; }

private:
    void bind();

    QString path_;
    void* handle_ = nullptr; // the loader's handle while bound
    CalCvFunction calCv_ = nullptr;
    InterpFunction interp_ = nullptr;
    QString errorString_;
};

} // namespace norvanta
