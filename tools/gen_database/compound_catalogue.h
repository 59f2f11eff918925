#pragma once

#include <QString>

#include <vector>

namespace norvanta::gen {

// One shipped compound: the thermo.inp entry it comes from, the name users
// type, and what it is in plain English for the comment above its record.
struct CatalogueEntry {
    const char* source;
    const char* name;
    const char* description;
};

struct CatalogueGenre {
    QString name;
    std::vector<CatalogueEntry> entries;
};

// The genres of Norvane.dat in file order, each with its compounds in order:
// the common inorganic gases first, then the organic families by growing
// carbon number, radicals, atoms and carbon clusters last.
//
// Naming: the formula where no other shipped species shares the molecular
// formula (condensed as chemists write it for oxygen compounds: CH3OH,
// HCOOH); a short English common name where several do (the C4H8 butenes,
// ethanol and dimethyl ether).
const std::vector<CatalogueGenre>& compoundCatalogue();

} // namespace norvanta::gen
