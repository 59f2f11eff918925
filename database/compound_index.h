#pragma once

#include <QString>

#include <optional>

namespace norvanta {

// The calculation's view of Norvane.dat: the file read and parsed once at the
// start of a run, answering every lookup of that run from memory.
//
// The file is read as one field stream; fields beginning with ";" are
// skipped; every record is a name followed by 11 value fields (C, H, O atom
// counts, dG at 300..1000 K in kcal/mol). A typed name is compared with
// record names only, exactly and case-sensitively; the first match in file
// order wins.
class CompoundIndex {
public:
    // Throws Failure{53} when the file does not exist (76/70 as for any file read).
    static CompoundIndex load(const QString& path);
    static CompoundIndex parse(const QString& text);

    // Index of the first record whose name is exactly `name`; empty when not registered.
    std::optional<int> find(const QString& name) const;

    // Value field k (1..11) after the record's name. Throws Failure{62} when
    // the file ended before that field.
    double field(int record, int k) const;

    // Atom count of element 0 (carbon), 1 (hydrogen) or 2 (oxygen).
    double atomCount(int record, int element) const { return field(record, element + 1); }

    // dG of formation in kcal/mol at a data temperature 300, 400, ..., 1000 K.
    double gibbsEnergy(int record, int kelvin) const { return field(record, kelvin / 100 + 1); }

    int recordCount() const;

private:
    struct Impl;
    // Implementation defined by the database library.
};

} // namespace norvanta
