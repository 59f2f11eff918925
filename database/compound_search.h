#pragma once

#include "compound_database.h"

#include <QString>

#include <optional>

namespace norvanta {

// Where a compound name search stopped: the genre row of the table and the
// entry index (from 0) in that genre's compound list.
struct CompoundSearchHit {
    int genre = 0;
    int entry = 0;

    bool operator==(const CompoundSearchHit&) const = default;
};

enum class SearchDirection { TowardBottom, TowardTop };

// Searches the compound names for the text, ignoring case, from the entry
// after (or before) the selected one of the shown genre on: first through the
// shown genre's list, then through the table cells of the genres below (or
// above) it, never wrapping around. shownGenre is CurrentGenreNumber, selected
// the selected entry or -1. Genre rows that repeat an earlier genre's name are
// passed over: the list can only ever show the first of them. Nothing is found
// for an empty text.
std::optional<CompoundSearchHit> findCompound(const CompoundDatabase& database, int shownGenre,
                                              int selected, const QString& text,
                                              SearchDirection direction);

} // namespace norvanta
