#pragma once

#include <QString>

#include <vector>

namespace norvanta::gen {

// One shipped compound: the thermo.inp entry it comes from, the name users
// type, what it is in plain English for the comment above its record, the
// formula it also answers to when its own name is not that formula, its
// English common name when its own name is a formula, and its Japanese name
// (UTF-8). Each further name is a record of its own with the same numbers,
// following the first in that order. Radicals and fragments without a common
// name have none.
struct CatalogueEntry {
    const char* source;
    const char* name;
    const char* description;
    const char* alias = nullptr;
    const char* english = nullptr;
    const char* japanese = nullptr;
    // A second Japanese name in common use (亜酸化窒素 beside 一酸化二窒素).
    const char* japaneseAlias = nullptr;
};

struct CatalogueGenre {
    QString name;
    std::vector<CatalogueEntry> entries;
    // Elements in their standard state kept as the inert gases of a feed
    // (N2, Ar, He): atom counts 0 0 0 and dG of formation 0 by definition.
    bool inertElements = false;
};

// The genres of Norvane.dat in file order, each with its compounds in order:
// the common inorganic gases first, then the organic families by growing
// carbon number, radicals, atoms and carbon clusters, the nitrogen and the
// sulfur compounds, then the inert gases.
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
