#include "app/results_placement.h"

#include <gtest/gtest.h>

using namespace norvanta;

namespace {

struct PlacementCase {
    const char* name;
    QPointF remembered;
    QPointF current;
    bool centreFirstDisplay;
    bool closedSinceShown;
    bool normalState;
    QPointF position;      // expected
    QPointF newRemembered; // expected
};

constexpr QSizeF kWindow{5000, 6500};
constexpr QSizeF kScreen{19200, 15360};
constexpr QPointF kCentre{7100, 4430};

} // namespace

TEST(ResultsPlacementTest, DecidesWhereTheResultsWindowIsShown)
{
    // clang-format off
    const PlacementCase cases[] = {
        {"first display centres and remembers", {300, 200}, {0, 0}, true, true, true, kCentre, kCentre},
        {"minimised window centred, not remembered", {300, 200}, {0, 0}, true, true, false, kCentre, {300, 200}},
        {"both remembered coordinates negative", {-1, -1}, {0, 0}, false, true, true, kCentre, kCentre},
        {"only one negative is restored, wholly on the screen", {-1, 200}, {0, 0}, false, true, true, {0, 200}, {0, 200}},
        {"closed window restored", {300, 200}, {900, 900}, false, true, true, {300, 200}, {300, 200}},
        {"closed but minimised stays", {300, 200}, {900, 900}, false, true, false, {900, 900}, {300, 200}},
        {"open window keeps its place", {300, 200}, {900, 900}, false, false, true, {900, 900}, {300, 200}},
        {"open window dragged off the left edge", {300, 200}, {-6000, 900}, false, false, true, {7100, 900}, {300, 200}},
        {"remembered beyond the right edge", {19201, 200}, {0, 0}, false, true, true, {7100, 200}, {7100, 200}},
        {"remembered above the top", {300, -6501}, {0, 0}, false, true, true, {300, 4430}, {300, 4430}},
        {"at the right edge comes back whole", {19200, 200}, {0, 0}, false, true, true, {14200, 200}, {14200, 200}},
        {"a window's width off the left comes back whole", {-5000, 200}, {0, 0}, false, true, true, {0, 200}, {0, 200}},
        {"restored over the bottom right corner comes back whole", {17000, 12000}, {0, 0}, false, true, true, {14200, 8860}, {14200, 8860}},
    };
    // clang-format on
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResultsPlacementRequest request;
        request.remembered = c.remembered;
        request.current = c.current;
        request.window = kWindow;
        request.screen = kScreen;
        request.centreFirstDisplay = c.centreFirstDisplay;
        request.closedSinceShown = c.closedSinceShown;
        request.normalState = c.normalState;
        const ResultsWindowPlace place = placeResultsWindow(request);
        EXPECT_EQ(place.position, c.position);
        EXPECT_EQ(place.remembered, c.newRemembered);
    }
}
