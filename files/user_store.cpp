#include "user_store.h"

#include "float_text.h"

#include "common/platform.h"

#include <cmath>

namespace norvanta {

namespace UserStore {
QString application() { return QStringLiteral("Norvanta"); }
QString section() { return QStringLiteral("COMMON"); }
QString mainLeftKey() { return QStringLiteral("MainLeft"); }
QString mainTopKey() { return QStringLiteral("MainTop"); }
QString resultsLeftKey() { return QStringLiteral("ResultsMainLeft"); }
QString resultsTopKey() { return QStringLiteral("ResultsLeft"); }
QString findTextKey() { return QStringLiteral("FindText"); }
QString compositionLeftKey() { return QStringLiteral("CompositionLeft"); }
QString compositionTopKey() { return QStringLiteral("CompositionTop"); }
QString edgeDefault() { return QStringLiteral("100"); }
} // namespace UserStore

namespace {

QString storedText(Platform& platform, const QString& key, const QString& defaultValue)
{
    return platform.userSetting(UserStore::application(), UserStore::section(), key,
                                defaultValue);
}

void store(Platform& platform, const QString& key, const QString& value)
{
    platform.setUserSetting(UserStore::application(), UserStore::section(), key, value);
}

std::optional<float> storedEdge(Platform& platform, const QString& key)
{
    return edgeFromStoreText(storedText(platform, key, UserStore::edgeDefault()));
}

} // namespace

std::optional<float> edgeFromStoreText(const QString& text)
{
    bool ok = false;
    const float edge = text.toFloat(&ok);
    if (!ok || !std::isfinite(edge))
        return std::nullopt;
    return edge;
}

QString storeTextOfEdge(float edge)
{
    return floatNumberText(edge);
}

StoredPlacement readStoredPlacement(Platform& platform)
{
    return {storedEdge(platform, UserStore::mainLeftKey()),
            storedEdge(platform, UserStore::mainTopKey()),
            storedEdge(platform, UserStore::resultsLeftKey()),
            storedEdge(platform, UserStore::resultsTopKey()),
            storedText(platform, UserStore::findTextKey(), QString())};
}

void storeMainWindowEdges(Platform& platform, float left, float top)
{
    store(platform, UserStore::mainLeftKey(), storeTextOfEdge(left));
    store(platform, UserStore::mainTopKey(), storeTextOfEdge(top));
}

void storeFindText(Platform& platform, const QString& text)
{
    store(platform, UserStore::findTextKey(), text);
}

StoredEdges readCompositionEdges(Platform& platform)
{
    return {edgeFromStoreText(storedText(platform, UserStore::compositionLeftKey(), QString())),
            edgeFromStoreText(storedText(platform, UserStore::compositionTopKey(), QString()))};
}

void storeCompositionEdges(Platform& platform, float left, float top)
{
    store(platform, UserStore::compositionLeftKey(), storeTextOfEdge(left));
    store(platform, UserStore::compositionTopKey(), storeTextOfEdge(top));
}

} // namespace norvanta
