// The reader of constants.txt.
#include "fuzz_input.h"

#include "engine/constants.h"

#include <cmath>

using namespace norvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = fuzz::scratchFile(QStringLiteral("constants.txt"), fuzz::bytesOf(data, size));
    const PhysicalConstants constants = loadConstants(path).constants;
    // Whatever the file says, the calculation gets usable constants.
    fuzz::require(constants.r > 0 && std::isfinite(constants.r));
    fuzz::require(constants.calToJ > 0 && std::isfinite(constants.calToJ));
    fuzz::require(constants.kpFactor > 0 && std::isfinite(constants.kpFactor));
    return 0;
}
