#include "common/platform.h"

#include <gtest/gtest.h>

using namespace norvanta;
using namespace Qt::StringLiterals;

TEST(FileChoice, ANameWithoutExtensionTakesTheSelectedFilters)
{
    const QString results =
        u"標準テキスト型Excelファイル(*.XLS)|*.xls|標準テキスト(*.TXT)|*.txt|全てのファイル(*.*)|*.*"_s;
    const QString pdf = u"PDFファイル(*.PDF)|*.pdf|全てのファイル(*.*)|*.*"_s;
    const struct {
        QString filter;
        QString typed;
        int filterIndex;
        QString chosen;
    } cases[] = {
        {results, u"smr-results"_s, 0, u"smr-results.xls"_s},
        {results, u"smr-results"_s, 1, u"smr-results.txt"_s},
        {results, u"smr-results"_s, 2, u"smr-results"_s},
        {results, u"smr-results"_s, -1, u"smr-results"_s},
        {results, u"smr-results"_s, 3, u"smr-results"_s},
        {results, u"v1.5"_s, 0, u"v1.5"_s},
        {pdf, u"page"_s, 0, u"page.pdf"_s},
        {u"複数|*.txt;*.dat"_s, u"page"_s, 0, u"page"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString() + " " + std::to_string(c.filterIndex));
        const FileChoice choice =
            withFilterExtension({u"/d.x/"_s + c.typed, c.typed, c.filterIndex}, c.filter);
        EXPECT_EQ(choice.fileName, c.chosen);
        EXPECT_EQ(choice.fullPath, u"/d.x/"_s + c.chosen);
    }
}
