#include "tools/norvanta_calc/file_lookup.h"

#include "support/test_files.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace norvanta::calc;
using namespace Qt::StringLiterals;

namespace {

// Four folders standing for the current folder, ~/Norvanta and the installed
// data and library folders.
class FileLookupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"current", "user", "share", "lib"})
            ASSERT_TRUE(QDir(root_.path()).mkdir(QString::fromLatin1(name)));
    }

    QString folder(const QString& name) const { return root_.filePath(name); }

    void put(const QString& folderName, const QString& fileName) const
    {
        norvanta::testing::writeBytes(QDir(folder(folderName)).filePath(fileName), "x");
    }

    LookupPlaces places() const
    {
        return {folder(u"current"_s), folder(u"user"_s), folder(u"share"_s), folder(u"lib"_s)};
    }

    QTemporaryDir root_;
};

} // namespace

TEST_F(FileLookupTest, FirstPlaceHoldingTheFileWins)
{
    const struct {
        const char* name;
        QStringList dataFolders;
        QStringList libraryFolders;
        QString data;
        QString library;
    } cases[] = {
        // Data from the current folder first; a library planted there or in
        // ~/Norvanta is passed over for the installed one.
        {"current folder first for data only",
         {u"current"_s, u"user"_s, u"share"_s},
         {u"current"_s, u"user"_s, u"lib"_s},
         u"current"_s,
         u"lib"_s},
        {"registered compounds before the installed copy",
         {u"user"_s, u"share"_s},
         {u"user"_s, u"lib"_s},
         u"user"_s,
         u"lib"_s},
        {"installed copies last", {u"share"_s}, {u"lib"_s}, u"share"_s, u"lib"_s},
        {"each file on its own", {u"current"_s}, {u"lib"_s}, u"current"_s, u"lib"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir fresh;
        root_.swap(fresh);
        SetUp();
        for (const QString& f : c.dataFolders)
            put(f, u"Norvane.dat"_s);
        for (const QString& f : c.libraryFolders)
            put(f, u"Norvane.dll"_s);
        CalcOptions options;
        ASSERT_EQ(applyLookup(options, places()), std::nullopt);
        EXPECT_EQ(options.databasePath, QDir(folder(c.data)).filePath(u"Norvane.dat"_s));
        EXPECT_EQ(options.libraryPath, QDir(folder(c.library)).filePath(u"Norvane.dll"_s));
    }
}

TEST_F(FileLookupTest, MissingDataFileNamesEveryPlace)
{
    put(u"lib"_s, u"Norvane.dll"_s);
    CalcOptions options;
    const auto message = applyLookup(options, places());
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(*message, u"Norvane.datが見つかりません。探した場所:\n  "_s + folder(u"current"_s) +
                            u"/Norvane.dat\n  "_s + folder(u"user"_s) + u"/Norvane.dat\n  "_s +
                            folder(u"share"_s) + u"/Norvane.dat"_s);
}

// A file named by an option is taken as named, even when it is missing; a
// library only in the current folder and ~/Norvanta counts as missing.
TEST_F(FileLookupTest, OptionsAreTakenAsGiven)
{
    put(u"current"_s, u"Norvane.dll"_s);
    put(u"user"_s, u"Norvane.dll"_s);
    CalcOptions options;
    options.databasePath = u"elsewhere/Norvane.dat"_s;
    options.databaseGiven = true;
    const auto message = applyLookup(options, places());
    EXPECT_EQ(options.databasePath, u"elsewhere/Norvane.dat"_s);
    EXPECT_EQ(message, u"Norvane.dllが見つかりません。探した場所:\n  "_s + folder(u"lib"_s) +
                           u"/Norvane.dll"_s);

    // A place listed twice is looked in once.
    CalcOptions unnamed;
    const LookupPlaces same{folder(u"user"_s), folder(u"user"_s), folder(u"user"_s),
                            folder(u"lib"_s)};
    EXPECT_EQ(applyLookup(unnamed, same), u"Norvane.datが見つかりません。探した場所:\n  "_s +
                                              folder(u"user"_s) + u"/Norvane.dat"_s);
}
