#pragma once

#include "nasa_thermo.h"

namespace norvanta::gen {

// Gas constant of the NASA Glenn fits, J/(mol K).
constexpr double kNasaGasConstant = 8.314510;
constexpr double kJoulesPerKilocalorie = 4184.0;
// 1 atm in bar: the ratio of the program's standard pressure to the data's.
constexpr double kAtmosphereInBar = 1.01325;

// Standard Gibbs energy of formation of a C/H/O species from graphite, H2
// and O2, in kcal/mol, for a standard state of 1 atm.
//
// The polynomials give G/(RT) at 1 bar. An ideal gas at 1 atm has
// G = G(1 bar) + RT ln(1.01325); graphite is taken as pressure independent.
// Forming one mole of the species from C + H/2 H2 + O/2 O2 changes the gas
// moles by dn = 1 - H/2 - O/2, so dGf(1 atm) = dGf(1 bar) + dn RT ln(1.01325).
class FormationGibbs {
public:
    // Throws std::invalid_argument unless graphite is condensed and H2 and
    // O2 are gases.
    FormationGibbs(const NasaSpecies& graphite, const NasaSpecies& hydrogen,
                   const NasaSpecies& oxygen);

    // Throws std::invalid_argument for a condensed species.
    double kcalPerMol(const NasaSpecies& species, double kelvin) const;

private:
    const NasaSpecies& graphite_;
    const NasaSpecies& hydrogen_;
    const NasaSpecies& oxygen_;
};

// A value rounded to 0.001, the precision the data file carries.
double roundedToThousandths(double value);

} // namespace norvanta::gen
