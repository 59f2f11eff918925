#include "formation_gibbs.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace norvanta::gen {

FormationGibbs::FormationGibbs(const NasaSpecies& graphite, const NasaSpecies& hydrogen,
                               const NasaSpecies& oxygen)
    : graphite_(graphite), hydrogen_(hydrogen), oxygen_(oxygen) {
    if (graphite.phase == 0 || hydrogen.phase != 0 || oxygen.phase != 0)
        throw std::invalid_argument("element references must be graphite and gaseous H2 and O2");
}

void FormationGibbs::addNitrogenAndSulfur(const NasaSpecies& nitrogen,
                                          std::vector<const NasaSpecies*> sulfurPhases,
                                          const NasaSpecies& disulfur) {
    if (nitrogen.phase != 0 || disulfur.phase != 0 || sulfurPhases.empty() ||
        std::any_of(sulfurPhases.begin(), sulfurPhases.end(),
                    [](const NasaSpecies* phase) { return phase->phase == 0; }))
        throw std::invalid_argument("nitrogen and sulfur references must be N2 and S2 gases "
                                    "and condensed sulfur");
    nitrogen_ = &nitrogen;
    sulfurPhases_ = std::move(sulfurPhases);
    disulfur_ = &disulfur;
}

double FormationGibbs::sulfurReducedGibbs(double kelvin) const {
    const double lnAtm = std::log(kAtmosphereInBar);
    double lowest = (disulfur_->reducedGibbs(kelvin) + lnAtm) / 2;
    for (const NasaSpecies* phase : sulfurPhases_) {
        if (phase->covers(kelvin, kelvin))
            lowest = std::min(lowest, phase->reducedGibbs(kelvin));
    }
    return lowest;
}

double FormationGibbs::kcalPerMol(const NasaSpecies& species, double kelvin) const {
    if (species.phase != 0)
        throw std::invalid_argument(species.name + " is not a gas");
    const double n = species.atoms("N");
    const double s = species.atoms("S");
    if (n != 0 || s != 0) {
        if (!nitrogen_)
            throw std::invalid_argument("no nitrogen and sulfur references for " + species.name);
        // Every gas at 1 atm: its G/RT at 1 bar plus ln 1.01325.
        const double lnAtm = std::log(kAtmosphereInBar);
        const double reduced = species.reducedGibbs(kelvin) + lnAtm -
                               species.atoms("C") * graphite_.reducedGibbs(kelvin) -
                               species.atoms("H") / 2 * (hydrogen_.reducedGibbs(kelvin) + lnAtm) -
                               species.atoms("O") / 2 * (oxygen_.reducedGibbs(kelvin) + lnAtm) -
                               n / 2 * (nitrogen_->reducedGibbs(kelvin) + lnAtm) -
                               s * sulfurReducedGibbs(kelvin);
        return kNasaGasConstant * kelvin * reduced / kJoulesPerKilocalorie;
    }
    const double c = species.atoms("C");
    const double h = species.atoms("H");
    const double o = species.atoms("O");
    const double reduced = species.reducedGibbs(kelvin) - c * graphite_.reducedGibbs(kelvin) -
                           h / 2 * hydrogen_.reducedGibbs(kelvin) -
                           o / 2 * oxygen_.reducedGibbs(kelvin);
    const double gasMolesFormed = 1 - h / 2 - o / 2;
    const double joules =
        kNasaGasConstant * kelvin * (reduced + gasMolesFormed * std::log(kAtmosphereInBar));
    return joules / kJoulesPerKilocalorie;
}

double roundedToThousandths(double value) {
    const double rounded = std::round(value * 1000.0) / 1000.0;
    // Keep "-0" out of the file.
    return rounded == 0 ? 0.0 : rounded;
}

} // namespace norvanta::gen
