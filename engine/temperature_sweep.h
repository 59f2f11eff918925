#pragma once

#include "engine/reaction_definition.h"
#include "engine/result_table.h"

#include <array>
#include <functional>

namespace norvanta {

class CompoundIndex;
class SolverFunctions;

// Draws row r (0..8) of the number table from kelvin point 4r and Celsius point 4r.
// May be empty when nothing is drawn.
using NumberRowDrawer =
    std::function<void(int row, const ResultPoint& kelvin, const ResultPoint& celsius)>;

// A point whose conversion the sweep cannot compute to within 1e-12 at the
// run's total pressure: exp underflowed Kp, and the pressure lifts the
// equilibrium so far that the lost digits of Kp matter. The run refuses the
// pressure; no step skips this.
struct PressureRefused {};

// The computation of one run over both temperature series, in the order of
// the run's steps 5 to 8. dG comes from the database at 300..1000 K and from
// Interp on a 100 K segment everywhere else; Kp = exp(-dG * kpFactor / T);
// the conversion from CalCv. In 100 K mode only every fourth point is computed.
//
// Steps 6 and 7 carry on past a failed point: it stays not computed, and so
// does every point whose interpolation needs a kelvin dG that failed. Steps 5
// and 8 throw their failures (Failure, SolverUnavailable) to the caller.
class TemperatureSweep {
public:
    // CalCv's absolute tolerance. At low pressure or tiny Kp both sides of the
    // equilibrium relation fall below any fixed tolerance long before the root,
    // so the bisection always runs its full 99 halvings (or stops at a NaN).
    static constexpr double kTolerance = 0;

    // The definition is validated and normalised; every name is in the database,
    // which must outlive the sweep. Throws Failure{6} when a number of the
    // definition, or any number in the reaction's records, is not finite.
    TemperatureSweep(const ReactionDefinition& definition, const CompoundIndex& database,
                     SolverFunctions& solver, double kpFactor, bool tetraPrecision,
                     NumberRowDrawer drawRow);

    // Step 5: 300 and 400 K, 0 and 100 °C, rows 0 and 1, and the points between.
    void computeFirstRows();
    // Step 6: 500, 600, 700 K (rows 2 to 4). Step 7: 800, 900, 1000 K (rows 5 to 7).
    void computeMiddleRows(int firstKelvin, int lastKelvin);
    // Step 8: 1100 K and 800 °C from the 900-1000 K segment, row 8, and the points between.
    void computeLastRow();

    // Points this sweep has not computed (yet) are marked so.
    const ResultTable& table() const { return table_; }

    // A kelvin point at any temperature from 300 to 1100 K by the rule of the
    // points above: dG from the database at 300..1000 K, the 900-1000 K
    // segment at 1100 K, Interp on the 100 K segment around it elsewhere;
    // then Kp and the conversion as at every point. Throws as steps 5 and 8 do.
    ResultPoint kelvinPointAt(double kelvin);

private:
    enum class Series { Kelvin, Celsius };

    // The 100 K row procedure for a data temperature 500..1000 K.
    void calcData(int kelvin);
    void dataPoint(int kelvin);
    void interpolatedPoint(Series series, int i, int from, int to);
    void complete(ResultPoint& point, double dG, double kelvin);
    void drawRow(int row) const;
    double reactionGibbsEnergy(int kelvin) const;
    double kpAt(double dG, double kelvin) const;
    double conversionAt(double kp) const;

    const ReactionDefinition definition_;
    const CompoundIndex& database_;
    SolverFunctions& solver_;
    const double kpFactor_;
    const bool tetraPrecision_;
    NumberRowDrawer drawRow_;
    std::array<int, 4> reactantRecords_{};
    std::array<int, 4> productRecords_{};
    std::array<double, 4> reactantCoef_{};
    std::array<double, 4> reactantAmount_{};
    std::array<double, 4> productCoef_{};
    ResultTable table_;
    // Kelvin dG values that are known, whether or not Kp and conversion followed.
    std::array<bool, ResultTable::kPoints> kelvinDgKnown_{};
};

} // namespace norvanta
