#pragma once

#include <cstdint>

namespace norvanta::test {

// CalCv transcribed step by step from its documented algorithm, with no
// shortcut: 99 halvings unless the residual reaches the tolerance or is NaN,
// and pow for every slot in use. The shipped CalCv must return exactly what
// this returns wherever no midpoint overflows or underflows on both sides,
// which outOfRange, when given, is set to tell; the benchmarks time the two
// side by side.
//
// A translation unit of its own, so that a caller's constant arguments are
// not folded into it and the timing compares like with like.
double literalCalCv(double kp, double totalPressure, std::int32_t reactantCount,
                    std::int32_t productCount, double reactantCoef1, double reactantCoef2,
                    double reactantCoef3, double reactantCoef4, double reactantAmount1,
                    double reactantAmount2, double reactantAmount3, double reactantAmount4,
                    double productCoef1, double productCoef2, double productCoef3,
                    double productCoef4, double tolerance, bool* outOfRange = nullptr);

} // namespace norvanta::test
