#pragma once

#include <array>
#include <cstdint>
#include <exception>

namespace norvanta {

// Thrown by the library binding when Norvane.dll cannot be used: it cannot be
// loaded, or CalCv or Interp cannot be bound. The calculation tells a missing
// file from a damaged one by looking for the file itself.
class SolverUnavailable : public std::exception {
public:
    const char* what() const noexcept override { return "Norvane.dll cannot be used"; }
};

// The two solver functions the calculation calls: CalCv and Interp of
// Norvane.dll. The program reaches them through the library binding; tests
// may substitute a counting or scripted implementation.
class SolverFunctions {
public:
    virtual ~SolverFunctions() = default;

    virtual double calCv(double kp, double totalPressure, std::int32_t reactantCount,
                         std::int32_t productCount, const std::array<double, 4>& reactantCoef,
                         const std::array<double, 4>& reactantAmount,
                         const std::array<double, 4>& productCoef, double tolerance) = 0;

    virtual double interp(float t1, double g1, float t2, double g2, float t) = 0;
};

} // namespace norvanta
