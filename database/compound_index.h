#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace norvanta {

// The calculation's view of Norvane.dat: the records of one reading of the
// file, answering lookups from memory. Each calculation and each duplicate
// test reads the file anew (CompoundIndexCache parses it again only when its
// bytes changed), so a compound registered meanwhile is found at once.
//
// The file is read line by line with readDataLine. Blank lines, comments and
// genre headers hold no record; every other line is one record: its name,
// then 11 values (C, H, O atom counts, dG at 300..1000 K in kcal/mol);
// fields beyond those are ignored. So a malformed line never shifts the
// records after it. A typed name is compared with record names only, exactly
// and case-sensitively; the first match in file order wins. There is no
// limit on the number of records.
class CompoundIndex {
public:
    static constexpr int ValueFields = 11;

    // Throws Failure{53} when the file does not exist (76/70 as for any file read).
    static CompoundIndex load(const QString& path);
    static CompoundIndex parse(const QString& text);

    // Index of the first record whose name is exactly `name`; empty when not registered.
    std::optional<int> find(const QString& name) const;

    // The duplicate test of registration: the name, as stored, of the first
    // record whose name equals `name` when both are upper-cased; empty when
    // there is none.
    std::optional<QString> duplicateOf(const QString& name) const;

    // The record's name as the field stream reads it.
    QString name(int record) const;

    // Value field k (1..11) after the record's name. Throws Failure{62} when
    // the record's line ended before that field or the field holds no number,
    // Failure{6} when its number is too large for a double, Failure{9} for a
    // record or k outside the index.
    double field(int record, int k) const;

    // Throws Failure{6} when any number among the record's value fields is too
    // large for a double; fields without a number are left to field().
    void requireFiniteValues(int record) const;

    // Atom count of element 0 (carbon), 1 (hydrogen) or 2 (oxygen).
    double atomCount(int record, int element) const { return field(record, element + 1); }

    // dG of formation in kcal/mol at a data temperature 300, 400, ..., 1000 K.
    // Throws Failure{5} for any other temperature.
    double gibbsEnergy(int record, int kelvin) const;

    // The name of the genre the record stands under; empty before the first.
    QString genre(int record) const;

    // Record lines in the file, those cut short included.
    int recordCount() const { return int(names_.size()); }

private:
    std::vector<QString> names_;
    // ValueFields value texts per record, read as numbers when asked for:
    // a run reads a few dozen of the file's thousands.
    std::vector<QString> values_;
    // Value fields each record's line actually holds, at most ValueFields.
    std::vector<qint8> valueCounts_;
    // Per record, its genre's index in genres_ (-1 before the first genre).
    std::vector<int> genreOf_;
    QStringList genres_;
};

} // namespace norvanta
