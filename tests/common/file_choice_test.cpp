#include "common/platform.h"

#include <gtest/gtest.h>

using namespace norvanta;
using namespace Qt::StringLiterals;

TEST(FileChoice, ANameWithoutExtensionTakesTheSelectedFilters)
{
    const QString filter = u"Excel(*.XLS)|*.xls|テキスト(*.TXT)|*.txt|全て(*.*)|*.*|複数|*.a;*.b"_s;
    const struct {
        QString typed;
        int filterIndex;
        QString chosen;
    } cases[] = {{u"smr"_s, 0, u"smr.xls"_s}, {u"smr"_s, 1, u"smr.txt"_s}, {u"smr"_s, 2, u"smr"_s},
                 {u"smr"_s, 3, u"smr"_s},     {u"smr"_s, -1, u"smr"_s},    {u"smr"_s, 4, u"smr"_s},
                 {u"v1.5"_s, 0, u"v1.5"_s}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString() + " " + std::to_string(c.filterIndex));
        const FileChoice choice =
            withFilterExtension({u"/d.x/"_s + c.typed, c.typed, c.filterIndex}, filter);
        EXPECT_EQ(choice.fileName, c.chosen);
        EXPECT_EQ(choice.fullPath, u"/d.x/"_s + c.chosen);
    }
}
