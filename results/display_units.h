#pragma once

namespace norvanta {

// The units the results are shown in. They change only by clicks on the
// number table and last while the program runs; they are not saved.
enum class TemperatureUnit { Kelvin, Celsius };
enum class EnergyUnit { Kcal, KJ };

// Both series hold 33 points, 25 degrees apart; the 100 K mode computes and
// shows every fourth one.
constexpr int sampleStride(bool tetraPrecision)
{
    return tetraPrecision ? 1 : 4;
}

} // namespace norvanta
