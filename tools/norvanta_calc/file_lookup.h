#pragma once

#include "calc_options.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace norvanta::calc {

// The folders norvanta-calc looks in for Norvane.dat and Norvane.dll that no
// option names, in this order.
struct LookupPlaces {
    QString currentFolder;
    QString userFolder; // the per-user working folder the launcher keeps, ~/Norvanta
    QString installedDataFolder;
    QString installedLibraryFolder;
};

// The places for a program in the given current folder: ~/Norvanta, then the
// copies that come with norvanta-calc (share/norvanta and lib/norvanta beside
// its bin folder when installed, its own folder in the build tree).
LookupPlaces lookupPlaces(const QString& currentFolder);

// The first folder in the list that holds the file; every path tried, in order.
struct LookupResult {
    std::optional<QString> path;
    QStringList tried;
};
LookupResult findFile(const QString& fileName, const QStringList& folders);

// Sets the data and library paths that no option named to the first copy
// found. Returns the message for a file found nowhere, which names every place
// looked in.
std::optional<QString> applyLookup(CalcOptions& options, const LookupPlaces& places);

} // namespace norvanta::calc
