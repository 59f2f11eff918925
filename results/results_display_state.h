#pragma once

#include "display_units.h"

namespace norvanta {

// Where the results window goes the next time a run shows it.
enum class ResultsPlacement {
    Centre,  // centre on the screen (the first display after a marker said so)
    Restore, // the remembered ResultsLeft, ResultsTop
    Keep,    // where it is now
};

// The results window's display state. Lives as long as the program; only
// the plot mode and the remembered position are saved (by the settings).
struct ResultsDisplayState {
    TemperatureUnit temperatureUnit = TemperatureUnit::Celsius;
    EnergyUnit energyUnit = EnergyUnit::Kcal;
    int plotMode = 0; // 0 dG, 1 Kp, 2 CV
    bool resultsDisplayed = false;
    float resultsLeft = 0; // twips, the window's outer left edge
    float resultsTop = 0;  // twips, the window's outer top edge
    ResultsPlacement placement = ResultsPlacement::Restore;
};

} // namespace norvanta
