#include "compound_search.h"

#include "common/input_text.h"

#include <algorithm>

namespace norvanta {

namespace {

bool matches(const QString& name, const QString& upperText)
{
    return name.toUpper().contains(upperText);
}

// Whether the genre list shows row g when its name is chosen: ShowTables
// takes the first row carrying the name.
bool showable(const CompoundDatabase& database, int genre)
{
    return database.genreNumber(database.cell(genre, 0)) == genre;
}

std::optional<CompoundSearchHit> findTowardBottom(const CompoundDatabase& database, int shownGenre,
                                                  int selected, const QString& upperText)
{
    const QStringList entries = database.genreEntries(shownGenre);
    for (int i = selected + 1; i < entries.size(); ++i) {
        if (matches(entries[i], upperText))
            return CompoundSearchHit{shownGenre, i};
    }
    for (int r = shownGenre + 1; r <= CompoundDatabase::MaxGenres; ++r) {
        if (!showable(database, r))
            continue;
        // Every cell, also those behind an empty name that the list stops at.
        for (int k = 1; k <= CompoundDatabase::MaxRecordsPerGenre; ++k) {
            if (matches(database.cell(r, k), upperText))
                return CompoundSearchHit{r, k - 1};
        }
    }
    return std::nullopt;
}

std::optional<CompoundSearchHit> findTowardTop(const CompoundDatabase& database, int shownGenre,
                                               int selected, const QString& upperText)
{
    const QStringList entries = database.genreEntries(shownGenre);
    const int start = selected < 0 ? int(entries.size()) : selected;
    for (int i = std::min(start, int(entries.size())) - 1; i >= 0; --i) {
        if (matches(entries[i], upperText))
            return CompoundSearchHit{shownGenre, i};
    }
    for (int r = std::min(shownGenre, CompoundDatabase::MaxGenres + 1) - 1; r >= 1; --r) {
        if (!showable(database, r))
            continue;
        for (int k = CompoundDatabase::MaxRecordsPerGenre; k >= 1; --k) {
            if (matches(database.cell(r, k), upperText))
                return CompoundSearchHit{r, k - 1};
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<CompoundSearchHit> findCompound(const CompoundDatabase& database, int shownGenre,
                                              int selected, const QString& text,
                                              SearchDirection direction)
{
    if (text.isEmpty())
        return std::nullopt;
    // The names are searched as the calculation would look them up.
    const QString upperText = inputText(text).toUpper();
    return direction == SearchDirection::TowardBottom
               ? findTowardBottom(database, shownGenre, selected, upperText)
               : findTowardTop(database, shownGenre, selected, upperText);
}

} // namespace norvanta
