#pragma once

#include "nasa_thermo.h"

#include <QString>

#include <stdexcept>

namespace norvanta::gen {

// The catalogue and the data do not fit together, or a line would break the
// data file's format.
class CatalogueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The kind of species the database ships: a gas of the products section,
// neutral and made of C, H and O only, with polynomials over the whole
// 300..1100 K range of the calculation.
bool isShippedKind(const NasaSpecies& species);

// The whole text of Norvane.dat (CR LF line ends): the header comments, then
// every genre of the catalogue with a comment and a record line per compound.
// Throws CatalogueError unless the catalogue names every species of the
// shipped kind exactly once and, besides them, only the inert elements of
// its inert genre, and every name and line keeps to the file format.
QString compoundDatabaseText(const NasaDatabase& data);

} // namespace norvanta::gen
