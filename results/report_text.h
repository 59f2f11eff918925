#pragma once

#include "display_units.h"

#include "common/reaction_fields.h"
#include "engine/result_table.h"

#include <QDateTime>
#include <QString>

namespace norvanta {

// Everything the result report is made of: the reaction input fields as
// they stand at the moment of the copy or save, the display units of the
// results window and the last run's table.
struct ResultReportInput {
    ReactionFields fields;
    int limitPos = 0; // reactant slot 0..3 of the limiting compound
    TemperatureUnit temperatureUnit = TemperatureUnit::Celsius;
    EnergyUnit energyUnit = EnergyUnit::Kcal;
    bool tetraPrecision = false; // 25 K steps: 33 rows; otherwise 9
    ResultTable table;
    double caltoj = 4.184; // kJ per kcal
    QDateTime timestamp;   // the local time printed on the date line
};

// The reaction as an equation, with the limiting mark "ﾟ": ﾟCO2+CH4=2CO+2H2.
QString reactionLine(const ReactionFields& fields, int limitPos);

// The reactants and their partial-pressure ratios: CO2:CH4=1:1.
QString ratioLine(const ReactionFields& fields);

// "全圧:" + the pressure text as typed + " atm".
QString pressureLine(const ReactionFields& fields);

// The plain-text report of the copy and the result file: header, reaction,
// ratio, pressure and the tab-separated table in the current units, every
// line ending in CR LF.
QString MakeResultText(const ResultReportInput& input);

} // namespace norvanta
