#include "formation_gibbs.h"

#include <cmath>
#include <stdexcept>

namespace norvanta::gen {

FormationGibbs::FormationGibbs(const NasaSpecies& graphite, const NasaSpecies& hydrogen,
                               const NasaSpecies& oxygen)
    : graphite_(graphite), hydrogen_(hydrogen), oxygen_(oxygen) {
    if (graphite.phase == 0 || hydrogen.phase != 0 || oxygen.phase != 0)
        throw std::invalid_argument("element references must be graphite and gaseous H2 and O2");
}

double FormationGibbs::kcalPerMol(const NasaSpecies& species, double kelvin) const {
    if (species.phase != 0)
        throw std::invalid_argument(species.name + " is not a gas");
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
