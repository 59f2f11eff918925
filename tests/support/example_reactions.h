#pragma once

#include "common/reaction_fields.h"

#include <QString>

#include <array>
#include <vector>

namespace norvanta::testing {

// The fields of a reaction with up to four reactants (name, coefficient,
// ratio) and products (name, coefficient), row by row from the first.
inline ReactionFields reaction(const std::vector<std::array<QString, 3>>& reactants,
                               const std::vector<std::array<QString, 2>>& products, int restrict,
                               const QString& pressure = QStringLiteral("1"))
{
    ReactionFields fields;
    for (std::size_t row = 0; row < reactants.size(); ++row) {
        fields.react[row] = reactants[row][0];
        fields.reactNum[row] = reactants[row][1];
        fields.molar[row] = reactants[row][2];
    }
    for (std::size_t row = 0; row < products.size(); ++row) {
        fields.product[row] = products[row][0];
        fields.productNum[row] = products[row][1];
    }
    fields.restrict = restrict;
    fields.pressure = pressure;
    return fields;
}

// CO2 + CH4 = 2 CO + 2 H2, 1:1, CO2 limiting, 1 atm.
inline ReactionFields reforming()
{
    using namespace Qt::StringLiterals;
    return reaction({{u"CO2"_s, u"1"_s, u"1"_s}, {u"CH4"_s, u"1"_s, u"1"_s}},
                    {{u"CO"_s, u"2"_s}, {u"H2"_s, u"2"_s}}, 0);
}

// CO + H2O = CO2 + H2 with steam in excess at 5 atm, CO limiting.
inline ReactionFields waterGasShift()
{
    using namespace Qt::StringLiterals;
    return reaction({{u"CO"_s, u"1"_s, u"1"_s}, {u"H2O"_s, u"1"_s, u"3"_s}},
                    {{u"CO2"_s, u"1"_s}, {u"H2"_s, u"1"_s}}, 0, u"5"_s);
}

} // namespace norvanta::testing
