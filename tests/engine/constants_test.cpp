#include "common/text_file.h"
#include "engine/constants.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using namespace norvanta;
using namespace Qt::StringLiterals;

namespace {

constexpr double kDefaultR = 1.987216;
constexpr double kDefaultCalToJ = 4.184;

struct ConstantsCase {
    const char* name;
    std::optional<QByteArray> file; // Shift_JIS bytes of constants.txt; none: no file
    double r;
    double calToJ;
    QStringList ignored;
};

} // namespace

TEST(LoadConstants, ReadsConstantsTxtOverTheDefaults)
{
    const ConstantsCase cases[] = {
        {"absent file", std::nullopt, kDefaultR, kDefaultCalToJ, {}},
        {"empty file", QByteArray(), kDefaultR, kDefaultCalToJ, {}},
        {"both keys", "R=1.987216\r\nCALTOJ=4.184\r\n", kDefaultR, kDefaultCalToJ, {}},
        {"R in joules", "R=8.314\r\n", 8.314, kDefaultCalToJ, {}},
        {"lower-case key with blanks", "  r = 8.314  \r\n caltoj =4.2\r\n", 8.314, 4.2, {}},
        {"line feeds only", "R=8.314\nCALTOJ=4.2\n", 8.314, 4.2, {}},
        {"line without =", "R 8.314\r\nCALTOJ=4.2\r\n", kDefaultR, 4.2, {}},
        {"unknown key", "GAS=8.314\r\nRR=2\r\nR=2.5\r\n", 2.5, kDefaultCalToJ, {}},
        {"two R lines, the second wins", "R=8.314\r\nR=2\r\n", 2.0, kDefaultCalToJ, {}},
        {"commas separate items", "R=2,CALTOJ=4.5\r\n", 2.0, 4.5, {}},
        {"quoted items", "\"R=8.314\"\r\n\"CALTOJ=4.2\"\r\n", 8.314, 4.2, {}},
        {"quoted item keeps its comma", "\"R=1,5\"\r\n", 1.0, kDefaultCalToJ, {}},
        {"leading number of the value", "R=8.314 cal/(mol K)\r\n", 8.314, kDefaultCalToJ, {}},
        {"exponent form", "CALTOJ=4.184E+00\r\n", kDefaultR, 4.184, {}},
        {"only the first = splits", "R==2\r\nCALTOJ=4=5\r\n", kDefaultR, 4.0, {u"R"_s}},
        {"R=0", "R=0\r\n", kDefaultR, kDefaultCalToJ, {u"R"_s}},
        {"R=abc", "R=abc\r\n", kDefaultR, kDefaultCalToJ, {u"R"_s}},
        {"R empty", "R=\r\n", kDefaultR, kDefaultCalToJ, {u"R"_s}},
        {"R too large", "R=1e999\r\n", kDefaultR, kDefaultCalToJ, {u"R"_s}},
        {"R so small that 1000 / R overflows", "R=1e-310\r\n", kDefaultR, kDefaultCalToJ,
         {u"R"_s}},
        {"CALTOJ=-1", "CALTOJ=-1\r\n", kDefaultR, kDefaultCalToJ, {u"CALTOJ"_s}},
        {"both wrong", "caltoj=x\r\nr=-2\r\n", kDefaultR, kDefaultCalToJ,
         {u"R"_s, u"CALTOJ"_s}},
        {"a wrong value later wins over a good one", "R=8.314\r\nR=0\r\n", kDefaultR,
         kDefaultCalToJ, {u"R"_s}},
        {"a good value later wins over a wrong one", "R=0\r\nR=8.314\r\n", 8.314, kDefaultCalToJ,
         {}},
        {"reported once however often it is wrong", "R=0\r\nR=-1\r\nR=x\r\n", kDefaultR,
         kDefaultCalToJ, {u"R"_s}},
        {"Japanese comment line", encodeShiftJis(u"; 物理定数ﾟ\r\nR=8.314\r\n"_s), 8.314, kDefaultCalToJ, {}},
    };
    for (const auto& c : cases) {
        QTemporaryDir folder;
        const QString path = folder.filePath(u"constants.txt"_s);
        if (c.file) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(*c.file);
        }
        const LoadedConstants loaded = loadConstants(path);
        EXPECT_EQ(loaded.constants.r, c.r) << c.name;
        EXPECT_EQ(loaded.constants.calToJ, c.calToJ) << c.name;
        EXPECT_EQ(loaded.constants.kpFactor, 1000 / c.r) << c.name;
        EXPECT_EQ(loaded.ignoredKeys, c.ignored) << c.name;
    }
}

TEST(LoadConstants, DefaultsMatchTheConstantsOfAFreshStart)
{
    const PhysicalConstants defaults;
    EXPECT_EQ(defaults.r, 1.987216);
    EXPECT_EQ(defaults.calToJ, 4.184);
    EXPECT_EQ(defaults.kpFactor, 1000 / 1.987216);
}

TEST(LoadConstants, UnreadableConstantsFileKeepsTheDefaults)
{
    QTemporaryDir folder;
    // A folder named constants.txt cannot be read as a file.
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"constants.txt"_s));
    const LoadedConstants loaded = loadConstants(folder.filePath(u"constants.txt"_s));
    EXPECT_EQ(loaded.constants.r, kDefaultR);
    EXPECT_EQ(loaded.constants.calToJ, kDefaultCalToJ);
    EXPECT_TRUE(loaded.ignoredKeys.isEmpty());
}

TEST(InvalidConstantMessage, NamesTheFileAndTheKey)
{
    EXPECT_EQ(invalidConstantMessage(u"R"_s),
              u"constants.txtのRの値が正しくありません。既定値を使用します。"_s);
    EXPECT_EQ(invalidConstantMessage(u"CALTOJ"_s),
              u"constants.txtのCALTOJの値が正しくありません。既定値を使用します。"_s);
}
