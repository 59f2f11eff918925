/* Norvane.dll: the equilibrium solver. Plain C interface; all arguments by value. */
#ifndef NORVANE_H
#define NORVANE_H

#include <stdint.h>

#if defined(_WIN32)
#define NORVANE_EXPORT __declspec(dllexport)
#else
#define NORVANE_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Equilibrium conversion of the limiting compound (reactant slot 1) by bisection. */
NORVANE_EXPORT double CalCv(double kp, double totalPressure, int32_t reactantCount,
                            int32_t productCount, double reactantCoef1, double reactantCoef2,
                            double reactantCoef3, double reactantCoef4, double reactantAmount1,
                            double reactantAmount2, double reactantAmount3,
                            double reactantAmount4, double productCoef1, double productCoef2,
                            double productCoef3, double productCoef4, double tolerance);

/* Value at t of the straight line through (t1, g1) and (t2, g2). */
NORVANE_EXPORT double Interp(float t1, double g1, float t2, double g2, float t);

/* Library exit procedure; returns 1. */
NORVANE_EXPORT int16_t WEP(int32_t reserved);

typedef double (*CalCvFunction)(double, double, int32_t, int32_t, double, double, double, double,
                                double, double, double, double, double, double, double, double,
                                double);
typedef double (*InterpFunction)(float, double, float, double, float);
typedef int16_t (*WepFunction)(int32_t);

#ifdef __cplusplus
}
#endif

#endif
