#pragma once

#include <array>
#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace norvanta::gen {

// A malformed thermo.inp: the message names the line.
class NasaFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One temperature interval of a species: Cp/R = a1/T^2 + a2/T + a3 + a4 T
// + a5 T^2 + a6 T^3 + a7 T^4, with the integration constants b1 (enthalpy)
// and b2 (entropy).
struct NasaInterval {
    double low = 0;
    double high = 0;
    std::array<double, 7> a{};
    std::array<double, 2> b{};
};

// One species entry of the NASA Glenn database (9-coefficient format).
struct NasaSpecies {
    std::string name;
    // Element symbols upper-cased as the file writes them ("C", "H", "AR", "E").
    std::vector<std::pair<std::string, double>> formula;
    // 0 for a gas, any other value for a condensed phase.
    int phase = 0;
    // Entries after END PRODUCTS (reactants only: fuels, mixtures, cryogenic liquids).
    bool reactantOnly = false;
    std::vector<NasaInterval> intervals;

    // Number of atoms of the element in one molecule; 0 when it does not occur.
    double atoms(std::string_view element) const;

    // True when the intervals join up without a gap over [low, high].
    bool covers(double low, double high) const;

    // G/(R T) of the pure substance at its standard pressure (1 bar), from
    // the interval holding T (the lower one on a shared boundary). Throws
    // std::out_of_range outside the intervals.
    double reducedGibbs(double kelvin) const;
};

struct NasaDatabase {
    // The date written on the line after "thermo".
    std::string date;
    std::vector<NasaSpecies> species;
};

// Reads every species entry of a thermo.inp stream: "!" lines are comments,
// the "thermo" line and the line after it open the data, "END PRODUCTS"
// separates the reactant-only entries, "END REACTANTS" ends the data.
NasaDatabase readNasaThermo(std::istream& in);

} // namespace norvanta::gen
