#pragma once

#include <vector>

namespace norvanta {

// Which species the feed's stoichiometry lets form at all: species j is
// formable when some amounts n >= 0 of all the species meet the element
// balances sum_j n_j atoms[j] = feed with n_j > 0 (a small linear program per
// species, decided once per system with a tolerance, so that a coordinate of
// rounding noise never rules a species out). `atoms[j]` holds species j's
// counts of each element, `feed` the element amounts. Empty (all false) when
// the species cannot meet the balances at all.
std::vector<bool> formableSpecies(const std::vector<std::vector<double>>& atoms,
                                  const std::vector<double>& feed);

} // namespace norvanta
