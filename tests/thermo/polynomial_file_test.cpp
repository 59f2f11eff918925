// The polynomial file's reader: what it refuses, line by line.
#include "database/polynomial_file.h"

#include <gtest/gtest.h>

namespace norvanta::testing {
namespace {

using namespace Qt::StringLiterals;

// A small file in the shipped form: two elements' references and three species.
const QString kHeader = u"; comment\r\nstandard\t1 atm\r\n"_s;
const QString kReferences = u"reference\tO\tO2\r\nreference\tCo\tCo(cr)\r\n"_s;
const QString kOxygen = u"species\tO2\tgas\tO 2\r\nnames\tO2\toxygen\r\n"
                        u"interval\t200\t1000\t0\t0\t3.5\t0\t0\t0\t0\t-1000\t5\r\n"
                        u"interval\t1000\t6000\t0\t0\t4\t0\t0\t0\t0\t-1500\t2\r\n"_s;
const QString kCobalt = u"species\tCo(cr)\tcr\tCo 1\r\nnames\tCo(cr)\r\n"
                        u"interval\t200\t1700\t0\t0\t3\t0\t0\t0\t0\t-900\t-2\r\n"_s;
const QString kMonoxide = u"species\tCO\tgas\tCo 1\tO 1\r\nnames\tCoO\r\n"
                          u"interval\t200\t3000\t0\t0\t4\t0\t0\t0\t0\t-900\t3\r\n"_s;

TEST(PolynomialFile, ReadsTheFileAndRefusesEveryMalformedLine)
{
    const QString good = kHeader + kReferences + kOxygen + kCobalt + kMonoxide;
    const PolynomialFileReading reading = PolynomialFile::parse(good);
    ASSERT_TRUE(reading.file);
    const PolynomialFile& file = *reading.file;
    ASSERT_EQ(file.species().size(), 3u);
    EXPECT_EQ(file.find(u"oxygen"_s), 0);
    EXPECT_EQ(file.find(u"Co(cr)"_s), 1);
    EXPECT_FALSE(file.find(u"OXYGEN"_s));
    EXPECT_EQ(file.species()[0].maxKelvin(), 6000);
    EXPECT_EQ(file.species()[0].intervalAt(1000), &file.species()[0].intervals[0]);
    EXPECT_TRUE(file.species()[1].condensed());
    EXPECT_EQ(file.species()[2].elements, (std::vector<ElementCount>{{u"Co"_s, 1}, {u"O"_s, 1}}));

    const struct {
        const char* what;
        QString text;
        int line;
    } refused[] = {
        {"another standard state", u"standard\t1 bar\r\n"_s + kReferences + kOxygen, 1},
        {"no standard state", kReferences + kOxygen, 1},
        {"unknown line", kHeader + u"speciez\tX\r\n"_s, 3},
        {"reference to a missing species", kHeader + u"reference\tO\tO3\r\n"_s + kOxygen, 3},
        {"reference of another element", kHeader + u"reference\tCo\tO2\r\n"_s + kOxygen, 3},
        {"element without a reference", kHeader + kOxygen + kMonoxide, 0},
        {"name used twice",
         kHeader + kReferences + kOxygen + kCobalt +
             u"species\tO3\tgas\tO 3\r\nnames\toxygen\r\n"_s,
         13},
        {"species without interval",
         kHeader + kReferences + kOxygen + u"species\tX\tgas\tO 1\r\nnames\tX\r\n"_s, 0},
        {"intervals with a gap",
         kHeader + kReferences + kCobalt.chopped(2) +
             u"\r\ninterval\t1800\t2000\t0\t0\t3\t0\t0\t0\t0\t0\t0\r\n"_s,
         8},
        {"a coefficient missing",
         kHeader + kReferences + QString(kCobalt).replace(u"\t-2\r\n"_s, u"\r\n"_s), 7},
        {"a number with a comma",
         kHeader + kReferences + QString(kCobalt).replace(u"-900"_s, u"-9,00"_s), 7},
        {"an infinite number",
         kHeader + kReferences + QString(kCobalt).replace(u"-900"_s, u"1e999"_s), 7},
        {"a zero atom count",
         kHeader + kReferences + QString(kCobalt).replace(u"Co 1"_s, u"Co 0"_s), 5},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.what);
        const PolynomialFileReading r = PolynomialFile::parse(c.text);
        EXPECT_FALSE(r.file);
        EXPECT_EQ(r.errorLine, c.line);
    }
}

} // namespace
} // namespace norvanta::testing
