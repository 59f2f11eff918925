#pragma once

#include "calc_options.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace norvanta::calc {

// The folders norvanta-calc looks in for Norvane.dat and Norvane.dll that no
// option names. Data may come from any of them, in this order; the library,
// which is code we run, only from the installed library folder.
struct LookupPlaces {
    QString currentFolder;
    QString userFolder; // the per-user working folder the launcher keeps, ~/Norvanta
    QString installedDataFolder;
    QString installedLibraryFolder;
};

ProgramFolders programFolders(const QString& programFolder, ProgramLayout layout);

// The places for a program in the given current folder: ~/Norvanta, then the
// copies that come with norvanta-calc.
LookupPlaces lookupPlaces(const QString& currentFolder, const ProgramFolders& own);

// The first folder in the list that holds the file; every path tried, in order.
struct LookupResult {
    std::optional<QString> path;
    QStringList tried;
};
LookupResult findFile(const QString& fileName, const QStringList& folders);

// Sets the data path that no option named to the first copy found in the
// current folder, ~/Norvanta or the installed data folder, and the library
// path to the installed library. A Norvane.dll in the current folder or in
// ~/Norvanta is never taken: anyone who can write there could have put it
// there. Returns the message for a file found nowhere, which names every
// place looked in.
std::optional<QString> applyLookup(CalcOptions& options, const LookupPlaces& places);

} // namespace norvanta::calc
