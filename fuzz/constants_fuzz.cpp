// The reader of constants.txt: whatever lines come first, R and CALTOJ
// written last, as numbers to 17 digits, are read back exactly, and the Kp
// factor follows from R.
#include "fuzz_input.h"

#include "engine/constants.h"

#include <bit>
#include <cmath>
#include <cstring>

using namespace norvanta;

namespace {

// A positive double from eight bytes, kept where 1000 / value stays finite
// (the reader's range for both constants): 10^-300 .. 10^300.
double positiveValue(const QByteArray& bytes, qsizetype at)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, bytes.mid(at, 8).leftJustified(8, '\0').constData(), sizeof bits);
    const double raw = std::fabs(std::bit_cast<double>(bits & ~(std::uint64_t(1) << 63)));
    if (!std::isfinite(raw) || raw < 1e-300 || raw > 1e300)
        return 1 + double(bits % 1000) / 7;
    return raw;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const double r = positiveValue(bytes, 0);
    const double calToJ = positiveValue(bytes, 8);
    // The fuzzer's lines first, without double quotes: a quoted item would
    // run on over the lines after it. Two line ends, so that a lead byte
    // left at the end cannot take the first.
    QByteArray file = bytes.mid(16);
    file.replace('"', '\'');
    file += "\r\n\r\n" + QByteArray(bytes.size() % 2 ? "r" : "R") + " = " +
            QByteArray::number(r, 'g', 17) + "\r\ncaltoj=" + QByteArray::number(calToJ, 'g', 17) +
            "\r\n";
    const PhysicalConstants constants =
        loadConstants(fuzz::scratchFile(QStringLiteral("constants.txt"), file)).constants;
    fuzz::require(constants.r == r);
    fuzz::require(constants.calToJ == calToJ);
    fuzz::require(constants.kpFactor == 1000 / r);
    return 0;
}
