// The generator ships exactly the neutral C/H/O/N/S gases of the data: a data
// update that adds, drops or shortens one must be met by a catalogue change.
#include "shipped_files.h"

#include "tools/gen_database/database_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

namespace norvanta::testing {
namespace {

using gen::CatalogueError;
using gen::NasaDatabase;
using gen::NasaSpecies;

const NasaDatabase& shippedThermo() {
    static const NasaDatabase data = [] {
        std::ifstream in(shippedThermoPath().toStdString());
        return gen::readNasaThermo(in);
    }();
    return data;
}

NasaSpecies& species(NasaDatabase& data, const std::string& name) {
    const auto found = std::find_if(data.species.begin(), data.species.end(),
                                    [&](const NasaSpecies& s) { return s.name == name; });
    if (found == data.species.end())
        throw std::logic_error(name + " not in thermo.inp");
    return *found;
}

void erase(NasaDatabase& data, const std::string& name) {
    std::erase_if(data.species, [&](const NasaSpecies& s) { return s.name == name; });
}

// A copy of CH4 under another name and formula, as the data would hold it.
void addLike(NasaDatabase& data, const std::string& name,
             std::vector<std::pair<std::string, double>> formula, int phase, bool reactantOnly) {
    NasaSpecies added = species(data, "CH4");
    added.name = name;
    added.formula = std::move(formula);
    added.phase = phase;
    added.reactantOnly = reactantOnly;
    data.species.push_back(added);
}

TEST(CatalogueScope, DataThatNoLongerFitTheCatalogueAreRefused) {
    const struct {
        const char* what;
        std::function<void(NasaDatabase&)> change;
        const char* message;
    } cases[] = {
        {"a catalogued gas dropped", [](NasaDatabase& d) { erase(d, "C2H5OH"); },
         "catalogue entry C2H5OH is no"},
        {"a new C/H/O gas",
         [](NasaDatabase& d) {
             addLike(d, "C9H20,n-nonane", {{"C", 9}, {"H", 20}}, 0, false);
         },
         "thermo.inp species C9H20,n-nonane has no place"},
        {"polynomials ending at 1000 K",
         [](NasaDatabase& d) { species(d, "C2H4").intervals.resize(1); },
         "catalogue entry C2H4 is no"},
        {"a gas entered twice", [](NasaDatabase& d) { d.species.push_back(species(d, "CO")); },
         "thermo.inp holds CO twice"},
        {"no graphite", [](NasaDatabase& d) { erase(d, "C(gr)"); },
         "element reference C(gr) missing"},
        {"an inert gas dropped", [](NasaDatabase& d) { erase(d, "Ar"); },
         "catalogue entry Ar is no gas of one element"},
        {"an inert gas made a compound",
         [](NasaDatabase& d) {
             species(d, "N2").formula = {{"N", 1}, {"O", 1}};
         },
         "catalogue entry N2 is no gas of one element"},
    };
    for (const auto& c : cases) {
        NasaDatabase data = shippedThermo();
        c.change(data);
        try {
            gen::compoundDatabaseText(data);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const CatalogueError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
                << c.what << ": " << error.what();
        }
    }
}

TEST(CatalogueScope, IonsCondensedPhasesAndFuelsStayOut) {
    const QString shipped = gen::compoundDatabaseText(shippedThermo());
    NasaDatabase data = shippedThermo();
    addLike(data, "CH4+", {{"C", 1}, {"H", 4}, {"E", -1}}, 0, false);
    addLike(data, "CH4(L)", {{"C", 1}, {"H", 4}}, 1, false);
    addLike(data, "Fuel(g)", {{"C", 12}, {"H", 23}}, 0, true);
    addLike(data, "CH3CL", {{"C", 1}, {"H", 3}, {"CL", 1}}, 0, false);
    EXPECT_EQ(gen::compoundDatabaseText(data), shipped);
}

} // namespace
} // namespace norvanta::testing
