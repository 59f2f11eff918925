#include "norvane_exports.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace norvanta::test {

namespace {

template <typename Function> Function bind(void* handle, const char* name)
{
    void* symbol = dlsym(handle, name);
    if (!symbol)
        throw std::runtime_error(std::string("Norvane.dll lacks ") + name);
    return reinterpret_cast<Function>(symbol);
}

NorvaneExports loadExports()
{
    void* handle = dlopen(NORVANTA_SOLVER_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw std::runtime_error(std::string("cannot load Norvane.dll: ") + dlerror());
    NorvaneExports exports;
    exports.calCv = bind<CalCvFunction>(handle, "CalCv");
    exports.interp = bind<InterpFunction>(handle, "Interp");
    exports.wep = bind<WepFunction>(handle, "WEP");
    return exports;
}

} // namespace

const NorvaneExports& norvaneExports()
{
    static const NorvaneExports exports = loadExports();
    return exports;
}

double calCv(const SolverReaction& r, double kp, double totalPressure, double tolerance)
{
    return norvaneExports().calCv(kp, totalPressure, r.reactantCount, r.productCount,
                                  r.reactantCoef[0], r.reactantCoef[1], r.reactantCoef[2],
                                  r.reactantCoef[3], r.reactantAmount[0], r.reactantAmount[1],
                                  r.reactantAmount[2], r.reactantAmount[3], r.productCoef[0],
                                  r.productCoef[1], r.productCoef[2], r.productCoef[3],
                                  tolerance);
}

} // namespace norvanta::test
