#include "database/compound_search.h"

#include "sample_database.h"

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::testing;

namespace {

// The sample's genres: 1 無機ガス = CO, CO2, H2O; 2 = C2H4, "C2H5OH,エタノール",
// C3H8, " C4H10 "; 3 含酸素化合物 = CH3OH, then behind an empty name hcooh
// and CO; 4 無機ガス again = O2.
TEST(CompoundSearch, BothDirectionsOverTheSampleTable)
{
    const CompoundDatabase database =
        CompoundDatabase::parse(sampleDatabaseLines().join(u'\n')).database;
    constexpr auto down = SearchDirection::TowardBottom;
    constexpr auto up = SearchDirection::TowardTop;
    const struct {
        const char* what;
        int genre;
        int selected;
        const char16_t* text;
        SearchDirection direction;
        std::optional<CompoundSearchHit> found;
    } cases[] = {
        {"nothing selected: down starts at the first entry", 1, -1, u"co", down,
         CompoundSearchHit{1, 0}},
        {"nothing selected: up starts at the last entry", 1, -1, u"co", up,
         CompoundSearchHit{1, 1}},
        {"lower-case text finds the next upper-case name", 1, 0, u"co", down,
         CompoundSearchHit{1, 1}},
        {"full-width text finds the ASCII name", 1, 0, u"ｃｏ₂", down, CompoundSearchHit{1, 1}},
        {"a match above the selection is not found going down, nor after the last genre", 1, 2,
         u"CO2", down, std::nullopt},
        {"a match below the selection is not found going up", 1, 0, u"H2O", up, std::nullopt},
        {"a later genre's cell behind an empty name", 1, 2, u"cooh", down, CompoundSearchHit{3, 2}},
        {"an earlier genre searched from its last cell", 3, 0, u"c", up, CompoundSearchHit{2, 3}},
        {"a quoted comma belongs to the name", 3, -1, u"h5oh,エタ", up, CompoundSearchHit{2, 1}},
        {"a genre repeating an earlier name is passed over", 3, 0, u"O2", down, std::nullopt},
        {"no genre shown: down starts at genre 1, never in row 0", 0, -1, u"h2", down,
         CompoundSearchHit{1, 2}},
        {"empty text finds nothing", 1, -1, u"", down, std::nullopt},
        {"no match anywhere", 2, -1, u"N2", down, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto found =
            findCompound(database, c.genre, c.selected, QString::fromUtf16(c.text), c.direction);
        ASSERT_EQ(found.has_value(), c.found.has_value());
        if (found) {
            EXPECT_EQ(found->genre, c.found->genre);
            EXPECT_EQ(found->entry, c.found->entry);
        }
    }
}

} // namespace
