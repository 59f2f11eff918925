#pragma once

#include <QString>

#include <array>

namespace norvanta {

// The texts of the main window's reaction input fields, exactly as typed:
// what reaction files and the settings file store, what validation reads and
// writes back, and what the report shows.
struct ReactionFields {
    std::array<QString, 4> reactNum;   // ReactNum 0..3: reactant coefficients
    std::array<QString, 4> react;      // React 0..3: reactant names
    std::array<QString, 4> molar;      // Molar 0..3: partial-pressure ratios
    std::array<QString, 4> productNum; // ProductNum 0..3: product coefficients
    std::array<QString, 4> product;    // Product 0..3: product names
    int restrict = -1;                 // selected Restrict option 0..3, -1 none
    QString pressure = QStringLiteral("1");

    bool operator==(const ReactionFields&) const = default;
};

} // namespace norvanta
