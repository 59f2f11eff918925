#pragma once

#include "common/reaction_fields.h"

#include <vector>

namespace norvanta::testing {

// A row of reactant fields: name, coefficient, ratio.
struct ReactantRow {
    QString name, coefficient, ratio;
};
struct ProductRow {
    QString name, coefficient;
};

inline ReactionFields reactionFields(const std::vector<ReactantRow>& reactants,
                                     const std::vector<ProductRow>& products, int restrict,
                                     const QString& pressure = QStringLiteral("1"))
{
    ReactionFields fields;
    for (std::size_t row = 0; row < reactants.size(); ++row) {
        fields.react[row] = reactants[row].name;
        fields.reactNum[row] = reactants[row].coefficient;
        fields.molar[row] = reactants[row].ratio;
    }
    for (std::size_t row = 0; row < products.size(); ++row) {
        fields.product[row] = products[row].name;
        fields.productNum[row] = products[row].coefficient;
    }
    fields.restrict = restrict;
    fields.pressure = pressure;
    return fields;
}

// CO2 + CH4 = 2 CO + 2 H2, 1:1, CO2 limiting, 1 atm.
inline ReactionFields reformingFields()
{
    return reactionFields({{QStringLiteral("CO2"), QStringLiteral("1"), QStringLiteral("1")},
                           {QStringLiteral("CH4"), QStringLiteral("1"), QStringLiteral("1")}},
                          {{QStringLiteral("CO"), QStringLiteral("2")},
                           {QStringLiteral("H2"), QStringLiteral("2")}},
                          0);
}

} // namespace norvanta::testing
