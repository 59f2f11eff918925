#include "support/test_files.h"

#include "files/placement_marker.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::testing;
using namespace Qt::StringLiterals;

TEST(PlacementMarker, CentreUnlessTheMarkerHoldsB)
{
    const struct {
        const char* content;  // nullptr: no marker file
        bool centre;
        const char* after;
    } cases[] = {
        {nullptr, true, "B\r\n"},  {"B\r\n", false, "B\r\n"}, {"b", false, "b"},
        {"  B  \r\n", false, "  B  \r\n"}, {"\"B\"\r\n", false, "\"B\"\r\n"},
        {"B,A\r\n", false, "B,A\r\n"}, {"A\r\n", true, "B\r\n"}, {"", true, "B\r\n"},
        {"BB\r\n", true, "B\r\n"},    {"\r\nB\r\n", true, "B\r\n"},
    };
    for (const auto& c : cases) {
        QTemporaryDir folder;
        const QString path = folder.filePath(placementMarkerFileName());
        if (c.content) {
            writeBytes(path, c.content);
        }
        EXPECT_EQ(CheckPlacementMarker(path), c.centre) << (c.content ? c.content : "none");
        EXPECT_EQ(readBytes(path), QByteArray(c.after)) << (c.content ? c.content : "none");
    }
}

TEST(PlacementMarker, FailureMeansCentre)
{
    QTemporaryDir folder;
    EXPECT_TRUE(CheckPlacementMarker(folder.filePath(u"missing/Norvane.env"_s)));

    const QString folderAsMarker = folder.filePath(placementMarkerFileName());
    ASSERT_TRUE(QDir(folder.path()).mkdir(placementMarkerFileName()));
    EXPECT_TRUE(CheckPlacementMarker(folderAsMarker));
    EXPECT_TRUE(QFileInfo(folderAsMarker).isDir());
}

TEST(PlacementMarker, MinimisedExitLeavesA)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(placementMarkerFileName());
    ASSERT_TRUE(CheckPlacementMarker(path));
    ASSERT_TRUE(writePlacementMarker(path, u"A"_s));
    EXPECT_EQ(readBytes(path), QByteArray("A\r\n"));
    EXPECT_TRUE(CheckPlacementMarker(path)) << "the next start centres";
    EXPECT_FALSE(CheckPlacementMarker(path)) << "and the one after does not";
    EXPECT_FALSE(writePlacementMarker(folder.filePath(u"missing/Norvane.env"_s), u"A"_s));
}
