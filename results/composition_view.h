#pragma once

#include "display_units.h"

#include "composition/gibbs_equilibrium.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace norvanta {

// One series of the shown composition: its points at one total pressure.
struct ShownSeries {
    double pressure = 1; // atm
    std::vector<CompositionPoint> points;
};

// What the composition window, its saved picture and its printed page show:
// the species computed and, per total pressure, the points of the series in
// the temperature unit shown.
struct CompositionView {
    QStringList species;
    QStringList condensed; // in moles per mole of feed, each point's condensedMoles

    TemperatureUnit unit = TemperatureUnit::Celsius;
    std::vector<ShownSeries> series;
};

// The temperature of a point as the unit shows it: K, or °C from t + 273.15 K.
double shownTemperature(const CompositionPoint& point, TemperatureUnit unit);

// "300 K" or "25 ﾟC": a point's temperature rounded to whole degrees.
QString temperatureText(const CompositionPoint& point, TemperatureUnit unit);

// "1 atm", "1, 10, 30 atm".
QString pressuresText(const std::vector<double>& pressures);

// The species a table lists, most abundant first: ordered by their largest
// mole fraction at any point of any series (equal ones keep the computed
// order); those whose largest fraction stays below the cut-off are left out
// and counted.
struct ListedSpecies {
    std::vector<int> shown; // indexes into the view's species
    int hidden = 0;
};
ListedSpecies listedSpecies(const CompositionView& view, double cutoff);

// The line naming what was computed: the feed with its ratios, the pressure
// or pressures, and in adiabatic mode the feed's temperature.
QString compositionHeading(const QStringList& feedNames, const std::vector<double>& feedMoles,
                           const std::vector<double>& pressures,
                           std::optional<double> adiabaticFeedKelvin = std::nullopt);

// The pressures typed in the pressures box, separated by commas, ideographic
// commas or blanks ("1, 10, 30"): empty for a box without any; nothing when
// one of them is not a positive finite number.
std::optional<std::vector<double>> readPressures(const QString& text);

// The same table as comma-separated values: a field holding a comma, a
// double quote or a line break is quoted, its quotes doubled.
QString csvFromTabText(const QString& text, const QString& lineEnd);

} // namespace norvanta
