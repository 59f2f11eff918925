// CalCv against the literal bisection, bit for bit, on reactions built from
// the fuzzer's bytes: exponents drawn mostly from the shared thirds and
// halves where CalCv decides signs from logs, amounts, pressures and Kp over
// the whole double range, and tolerances that stop the loop early, never or
// at once. Now and then Kp is the reaction quotient at a chosen conversion,
// so that the root lies there to the last bits and the edges CalCv certifies
// either side of it lie within a few hundred ulp of it: there a sign taken
// without the full error margin comes out wrong. Any difference in the
// result is a finding, wherever the literal bisection's values stay in the
// range of doubles.
#include "solver/norvane.h"
#include "tests/solver/literal/literal_calcv.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }

    // 10^e for e spread over [from, to] by two bytes; now and then the raw
    // bits of a double instead, NaN and infinities included.
    double scaled(double from, double to)
    {
        const int selector = byte();
        if (selector >= 248) {
            std::uint64_t bits = 0;
            for (int k = 0; k < 8; ++k)
                bits = bits << 8 | byte();
            return std::bit_cast<double>(bits);
        }
        const double fraction = (selector * 256 + byte()) / 63487.0;
        return std::pow(10.0, from + (to - from) * fraction);
    }

    double exponent()
    {
        static constexpr double kExponents[] = {1.0 / 3, 2.0 / 3, 0.5, 1, 1.5, 2, 3, 4, 0, 4.0 / 3};
        const int selector = byte();
        if (selector < 240)
            return kExponents[selector % std::size(kExponents)];
        return scaled(-3, 3) * (selector % 2 ? -1 : 1);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Kp that makes the residual vanish at x: the quotient of the products'
// partial pressures over the reactants' there, as the literal bisection
// computes its sides.
double kpWithRootAt(double x, double pressure, int reactants, int products, const double coef[8],
                    const double amount[4])
{
    double s = 0;
    for (int i = 0; i < reactants; ++i)
        s += amount[i] - coef[i] * x;
    for (int j = 0; j < products; ++j)
        s += coef[4 + j] * x;
    const double f = pressure / s;
    double qp = 1;
    double qr = 1;
    for (int j = 0; j < products; ++j)
        qp *= std::pow(coef[4 + j] * x * f, coef[4 + j]);
    for (int i = 0; i < reactants; ++i)
        qr *= std::pow((amount[i] - coef[i] * x) * f, coef[i]);
    return qp / qr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ByteReader in(data, size);
    const int counts = in.byte();
    const std::int32_t reactants = 1 + counts % 4;
    const std::int32_t products = 1 + counts / 4 % 4;
    double coef[8];
    double amount[4];
    for (double& c : coef)
        c = in.exponent();
    for (int k = 0; k < 4; ++k)
        amount[k] = coef[k] * (in.byte() < 64 ? 1.0 : in.scaled(0, 2));
    // As the program passes it: the limiting compound first with 1 and 1.
    if (counts < 192) {
        coef[0] = 1;
        amount[0] = 1;
    }
    const int kpPick = in.byte();
    double kp = kpPick < 8 ? 0.0 : in.scaled(-300, 300);
    const double pressure = in.scaled(-6, 6);
    if (kpPick >= 160) {
        // A root at a conversion spread on a log scale towards 0 or towards 1
        // (10^-12 from either end at most), moved by an ulp either way.
        const double fraction = in.scaled(-12, 0) * (kpPick % 2 ? 1 : -1);
        const double x = fraction > 0 ? fraction * (1 - 1e-12) : 1 + fraction;
        kp = kpWithRootAt(std::nextafter(x, double(in.byte() % 2)), pressure, reactants, products,
                          coef, amount);
    }
    static constexpr double kTolerances[] = {1e-30, 0, -1, 1e-12, 1e-3, 1, INFINITY, NAN};
    const int tolerancePick = in.byte();
    const double tolerance = tolerancePick < 240 ? kTolerances[tolerancePick % 8]
                                                 : in.scaled(-300, 300);

    const double shipped = CalCv(kp, pressure, reactants, products, coef[0], coef[1], coef[2],
                                 coef[3], amount[0], amount[1], amount[2], amount[3], coef[4],
                                 coef[5], coef[6], coef[7], tolerance);
    bool outOfRange = false;
    const double literal = norvanta::test::literalCalCv(
        kp, pressure, reactants, products, coef[0], coef[1], coef[2], coef[3], amount[0], amount[1],
        amount[2], amount[3], coef[4], coef[5], coef[6], coef[7], tolerance, &outOfRange);
    // Where the literal bisection overflows, or underflows on both sides,
    // CalCv decides those midpoints from logarithms instead; its result is
    // still one of the midpoints, inside (0, 1].
    if (outOfRange) {
        if (!(shipped > 0 && shipped <= 1))
            std::abort();
        return 0;
    }
    if (std::bit_cast<std::uint64_t>(shipped) != std::bit_cast<std::uint64_t>(literal))
        std::abort();
    return 0;
}
