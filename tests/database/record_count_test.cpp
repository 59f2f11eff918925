#include "database/record_count.h"

#include "common/failure.h"
#include "data_file.h"

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::testing;

TEST(RecordCount, CountsLinesNotStartingWithSemicolon)
{
    const struct {
        const char16_t* text;
        int count;
    } cases[] = {
        {u"", 0},
        {u";*無機ガス\r\n\"CO\",1\r\n\"CO2\",1\r\n", 2},
        {u";*無機ガス\n\"CO\",1\n\"CO2\",1\n", 2},
        {u"\"CO\",1\r\n\"CO2\",1", 2},             // last line without a line end
        {u"\"CO\",1\r\n\r\n\"CO2\",1\r\n", 3},     // a blank line counts
        {u"\"CO\",1\r\n\r\n", 2},                  // so does a blank last line
        {u";注\r\n  ;*炭化水素\r\n\"CH4\",1\r\n", 2}, // an indented header counts
        {u"\"CO\",1\r\"CO2\",1\r", 2},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(countRecordLines(text), c.count) << text.toStdString();
    }
}

TEST(RecordCount, FromTheFile)
{
    DataFileFolder folder;
    EXPECT_THROW(countRecordLinesInFile(folder.path()), Failure);
    folder.write(generatedGenre(QStringLiteral(";*大分類"), QStringLiteral("A"), 1200));
    EXPECT_EQ(countRecordLinesInFile(folder.path()), 1200);
}
