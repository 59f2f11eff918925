#pragma once

#include <QString>
#include <QStringList>

namespace norvanta {

// The physical constants of the calculation, set once at start-up.
struct PhysicalConstants {
    double r = 1.987216;             // gas constant, cal/(mol·K)
    double calToJ = 4.184;           // kJ per kcal
    double kpFactor = 1000 / 1.987216; // K·mol/kcal, in Kp = exp(−dG × kpFactor / T)
};

struct LoadedConstants {
    PhysicalConstants constants;
    // Keys whose value in the file was 0, negative or not a number, so the
    // default stays ("R", "CALTOJ"); start-up warns once for each.
    QStringList ignoredKeys;
};

// Reads constants.txt at `path` over the defaults: items "key=value", keys R
// and CALTOJ case-insensitive, blanks around key and value ignored, the last
// occurrence of a key wins. A missing or unreadable file leaves the defaults
// (or what was read) silently. The Kp factor is derived from R afterwards.
LoadedConstants loadConstants(const QString& path);

// The start-up warning for a key whose value was ignored.
QString invalidConstantMessage(const QString& key);

} // namespace norvanta
