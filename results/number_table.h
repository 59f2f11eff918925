#pragma once

#include "canvas.h"
#include "display_units.h"

#include "engine/result_table.h"

#include <QString>

namespace norvanta {

// The units the number table is drawn in.
struct NumberTableUnits {
    TemperatureUnit temperatureUnit = TemperatureUnit::Celsius;
    EnergyUnit energyUnit = EnergyUnit::Kcal;
    double caltoj = 4.184; // kJ per kcal
};

// A conversion percentage as the table and the printed page show it: three
// decimals below 10, two below 100, "100.0" from 100 on.
QString ConversionText(double percent);

// Row r (0..8, 100 degrees apart) of the number table from the points of
// index 4·r of both series; row 0 draws the headings and their rule first.
// The values of a point that was not computed are left blank. A heading or
// number that would come nearer than kTextGap to the next column is drawn
// smaller, as the printed page's are.
void DrawNumberRow(Canvas& canvas, const NumberTableUnits& units, int r,
                   const ResultPoint& kelvinPoint, const ResultPoint& celsiusPoint);

// Clears the area and draws all nine rows.
void DrawNumberTable(Canvas& canvas, const NumberTableUnits& units, const ResultTable& table);

} // namespace norvanta
