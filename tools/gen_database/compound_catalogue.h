#pragma once

#include <QString>

#include <vector>

namespace norvanta::gen {

// One shipped compound: the thermo.inp entry it comes from, the name users
// type, what it is in plain English for the comment above its record, and the
// formula it also answers to when its own name is not that formula (a second
// record with the same numbers, directly after the first).
struct CatalogueEntry {
    const char* source;
    const char* name;
    const char* description;
    const char* alias = nullptr;
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
// ethanol and dimethyl ether). Of the compounds under a common name, the one
// a formula stands for answers to that formula too: a hydrocarbon's molecular
// formula names the member of the series of its general formula (CnH2n+2 the
// n-alkane, CnH2n the 1-alkene, CnH2n-2 the 1-alkyne), and an oxygen compound
// answers to the condensed formula that shows its group (C2H5OH, CH3CHO,
// CH3COCH3, CH3OCH3, CH3O for methoxy, CH2OH for hydroxymethyl).
const std::vector<CatalogueGenre>& compoundCatalogue();

} // namespace norvanta::gen
