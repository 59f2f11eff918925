#include "files/user_store.h"

#include "support/fake_platform.h"

#include <gtest/gtest.h>

using namespace norvanta;
using namespace Qt::StringLiterals;

using norvanta::testing::FakePlatform;

TEST(UserStore, EmptyStoreGivesTheDefaults)
{
    FakePlatform platform;
    const StoredPlacement placement = readStoredPlacement(platform);
    EXPECT_EQ(placement.mainLeft, 100.0f);
    EXPECT_EQ(placement.mainTop, 100.0f);
    EXPECT_EQ(placement.resultsLeft, 100.0f);
    EXPECT_EQ(placement.resultsTop, 100.0f);
    EXPECT_EQ(placement.findText, QString());
    EXPECT_TRUE(platform.userStore.isEmpty()) << "reading writes nothing";
}

TEST(UserStore, ValuesLiveUnderTheirNames)
{
    FakePlatform platform;
    platform.userStore = {
        {u"Norvanta/COMMON/MainLeft"_s, u"1440.5"_s},
        {u"Norvanta/COMMON/MainTop"_s, u"abc"_s},
        {u"Norvanta/COMMON/ResultsMainLeft"_s, u"300"_s},
        {u"Norvanta/COMMON/ResultsLeft"_s, u"-45"_s},
        {u"Norvanta/COMMON/FindText"_s, u"メタン"_s},
        {u"Other/COMMON/MainLeft"_s, u"9"_s},
    };
    const StoredPlacement placement = readStoredPlacement(platform);
    EXPECT_EQ(placement.mainLeft, 1440.5f);
    EXPECT_EQ(placement.mainTop, std::nullopt) << "the window stays where it is";
    EXPECT_EQ(placement.resultsLeft, 300.0f);
    EXPECT_EQ(placement.resultsTop, -45.0f);
    EXPECT_EQ(placement.findText, u"メタン"_s);
}

TEST(UserStore, ExitStoresEdgesAndSearchText)
{
    FakePlatform platform;
    storeMainWindowEdges(platform, 1440.5f, 0.1f);
    storeFindText(platform, u" CO2 "_s);
    const QMap<QString, QString> expected{
        {u"Norvanta/COMMON/MainLeft"_s, u"1440.5"_s},
        {u"Norvanta/COMMON/MainTop"_s, u"0.1"_s},
        {u"Norvanta/COMMON/FindText"_s, u" CO2 "_s},
    };
    EXPECT_EQ(platform.userStore, expected);

    const StoredPlacement placement = readStoredPlacement(platform);
    EXPECT_EQ(placement.mainLeft, 1440.5f);
    EXPECT_EQ(placement.mainTop, 0.1f);
}

TEST(UserStore, EdgeTexts)
{
    const struct {
        const char16_t* text;
        std::optional<float> edge;
    } cases[] = {
        {u"100", 100.0f}, {u" 250 ", 250.0f}, {u"-12.5", -12.5f}, {u"1e3", 1000.0f},
        {u"", std::nullopt}, {u"abc", std::nullopt}, {u"12abc", std::nullopt},
        {u"1,5", std::nullopt}, {u"inf", std::nullopt}, {u"1e99", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(edgeFromStoreText(QString::fromUtf16(c.text)), c.edge)
            << QString::fromUtf16(c.text).toStdString();
}
