#pragma once

#include "nasa_thermo.h"

namespace norvanta::gen {

// Gas constant of the NASA Glenn fits, J/(mol K).
constexpr double kNasaGasConstant = 8.314510;
constexpr double kJoulesPerKilocalorie = 4184.0;
// 1 atm in bar: the ratio of the program's standard pressure to the data's.
constexpr double kAtmosphereInBar = 1.01325;

// Standard Gibbs energy of formation of a C/H/O/N/S species from graphite,
// H2, O2, N2 and sulfur in its reference state, in kcal/mol, for a standard
// state of 1 atm.
//
// The polynomials give G/(RT) at 1 bar. An ideal gas at 1 atm has
// G = G(1 bar) + RT ln(1.01325); graphite is taken as pressure independent.
// Forming one mole of the species from C + H/2 H2 + O/2 O2 changes the gas
// moles by dn = 1 - H/2 - O/2, so dGf(1 atm) = dGf(1 bar) + dn RT ln(1.01325).
//
// Sulfur's reference state at T is its form of lowest Gibbs energy among the
// condensed phases given (rhombic, monoclinic, liquid) and 1/2 S2 gas at 1 atm.
class FormationGibbs {
public:
    // Throws std::invalid_argument unless graphite is condensed and H2 and
    // O2 are gases.
    FormationGibbs(const NasaSpecies& graphite, const NasaSpecies& hydrogen,
                   const NasaSpecies& oxygen);

    // Adds the references of nitrogen (N2 gas) and sulfur. Throws
    // std::invalid_argument unless N2 and S2 are gases and the phases condensed.
    void addNitrogenAndSulfur(const NasaSpecies& nitrogen,
                              std::vector<const NasaSpecies*> sulfurPhases,
                              const NasaSpecies& disulfur);

    // Throws std::invalid_argument for a condensed species.
    double kcalPerMol(const NasaSpecies& species, double kelvin) const;

private:
    const NasaSpecies& graphite_;
    const NasaSpecies& hydrogen_;
    const NasaSpecies& oxygen_;
    const NasaSpecies* nitrogen_ = nullptr;
    std::vector<const NasaSpecies*> sulfurPhases_;
    const NasaSpecies* disulfur_ = nullptr;

    // G/(RT) of one sulfur atom in its reference state at 1 atm.
    double sulfurReducedGibbs(double kelvin) const;
};

// A value rounded to 0.001, the precision the data file carries.
double roundedToThousandths(double value);

} // namespace norvanta::gen
