#pragma once

#include <QString>

#include <array>

namespace norvanta {

// One record line of Norvane.dat: the quoted name, the C, H and O atom counts
// and dG of formation at 300..1000 K in kcal/mol, each number as its
// blank-signed number text, fields joined by commas, ended by CR LF.
QString compoundRecordLine(const QString& name, const std::array<double, 3>& atoms,
                           const std::array<double, 8>& gibbs);

} // namespace norvanta
