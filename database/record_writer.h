#pragma once

#include <QString>

#include <array>

namespace norvanta {

// One record line of Norvane.dat: the quoted name, the C, H and O atom counts
// and dG of formation at 300..1000 K in kcal/mol, each number as its
// blank-signed number text, fields joined by commas, ended by CR LF.
QString compoundRecordLine(const QString& name, const std::array<double, 3>& atoms,
                           const std::array<double, 8>& gibbs);

// Appends a record line to the end of the compound data file in Shift_JIS.
// Nothing before the end is changed. A last line without a line end is ended
// first, so the new record stays a line of its own. The file must exist:
// Failure{53} when it does not (76 when its folder does not), {70} when it
// cannot be opened for writing, {61} when the write fails. A failed write
// leaves the file byte for byte as it was; should even cutting it back to its
// previous length fail, the failure is {70}. The caller holds DataFileLock.
void appendCompoundRecord(const QString& path, const QString& line);

} // namespace norvanta
