#pragma once

#include "common/platform.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace norvanta {

struct CompoundDatabaseLoad;

// The browser's name table of Norvane.dat: 51 genre rows of 1001 cells.
// Cell (g, 0) of row g = 1..50 holds the g-th genre name, cells (g, 1..1000)
// the names of that genre's records in file order. Row 0 takes the records
// standing before the first genre header; the browser never shows or
// searches it. Cells not filled hold empty text. Names are read by
// readDataLine, so the browser shows the names a calculation finds.
class CompoundDatabase {
public:
    static constexpr int MaxGenres = 50;
    static constexpr int MaxRecordsPerGenre = 1000;

    // Reads the file line by line into a new table; stops at the first
    // failure, keeping what was read up to it.
    static CompoundDatabaseLoad load(const QString& path);
    static CompoundDatabaseLoad parse(const QString& text);

    // Cell (genre 0..50, column 0..1000). Throws Failure{9} outside the table.
    QString cell(int genre, int column) const;

    // The genre names in file order: the entries of the genre list box.
    const QStringList& genreNames() const { return genreNames_; }

    // The first genre row 1..50 whose name equals the shown text exactly, 0
    // when there is none.
    int genreNumber(const QString& shownGenre) const;

    // The compound list of genre row g: its names up to the first empty cell,
    // at most 1000. Empty for row 0 and for rows without names.
    QStringList genreEntries(int genre) const;

private:
    void readLine(const QString& line);

    // rows_[g][k] is cell (g, k); cells past a row's end are empty.
    std::array<QStringList, MaxGenres + 1> rows_;
    QStringList genreNames_;
    int genre_ = 0;
    int record_ = 0;
};

// A failure of loading the browser table as its message box shows it:
// reading past the end of the file gives the exclamation message, every
// other failure the internal-error message with its number.
struct CompoundDatabaseFailure {
    int code = 0;
    QString text;
    MessageIcon icon = MessageIcon::Error;
};

CompoundDatabaseFailure compoundDatabaseFailure(int code);

struct CompoundDatabaseLoad {
    CompoundDatabase database;
    std::optional<CompoundDatabaseFailure> failure;

    bool ok() const { return !failure.has_value(); }
};

} // namespace norvanta
