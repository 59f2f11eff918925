#pragma once

#include <QString>

#include <optional>

namespace norvanta {

class Platform;

// The per-user store's values, all text, under application "Norvanta" and
// section "COMMON". Window edges are twips in decimal text.
namespace UserStore {
QString application();  // "Norvanta"
QString section();      // "COMMON"
QString mainLeftKey();  // "MainLeft", written at exit unless minimised
QString mainTopKey();   // "MainTop", likewise
QString resultsLeftKey();  // "ResultsMainLeft": results window left edge, read only
QString resultsTopKey();   // "ResultsLeft": results window top edge, read only
QString findTextKey();  // "FindText", written at every exit
QString compositionLeftKey(); // "CompositionLeft": where the composition window was closed
QString compositionTopKey();  // "CompositionTop", likewise
QString edgeDefault();  // "100"
} // namespace UserStore

// A stored edge as a 32-bit float; nothing when the text is not a number,
// which leaves that edge of the window where it is.
std::optional<float> edgeFromStoreText(const QString& text);

// An edge as the store keeps it.
QString storeTextOfEdge(float edge);

// What start-up restores from the store, each value read with its default.
struct StoredPlacement {
    std::optional<float> mainLeft;
    std::optional<float> mainTop;
    std::optional<float> resultsLeft;
    std::optional<float> resultsTop;
    QString findText;
};

StoredPlacement readStoredPlacement(Platform& platform);

// At exit: the main window's edges (skipped while it is minimised) and the
// search text (always).
void storeMainWindowEdges(Platform& platform, float left, float top);
void storeFindText(Platform& platform, const QString& text);

// The composition window's edges as it was last closed; nothing for an edge
// not stored yet (the window then opens centred on the main window).
struct StoredEdges {
    std::optional<float> left;
    std::optional<float> top;
};
StoredEdges readCompositionEdges(Platform& platform);
void storeCompositionEdges(Platform& platform, float left, float top);

} // namespace norvanta
