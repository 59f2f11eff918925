#pragma once

#include "nasa_thermo.h"

#include <QString>

namespace norvanta::gen {

// The whole text of NorvaneThermo.dat (CR LF line ends): every neutral
// species of the products section of thermo.inp, gas or condensed, with the
// names it answers to, its elements, its phase and its polynomials, and for
// every element the species its reference state is taken from.
//
// Gas entropies are moved from the data's 1 bar to the calculation's 1 atm
// here, once (b2 - ln 1.01325): readers use the coefficients as they stand.
// Throws CatalogueError when a name would stand for two species.
QString polynomialFileText(const NasaDatabase& data);

} // namespace norvanta::gen
