#include "printing/print_font.h"

#include "results/fonts.h"

#include <gtest/gtest.h>

namespace norvanta {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(PrintFont, InstalledOrMappedNamesAreTakenOthersFallBack)
{
    struct Case {
        QString name;
        QString printed;
    };
    const Case cases[] = {
        {kGothicFont, kGothicFont},            // mapped onto an installed family
        {u"IPAPGothic"_s, u"IPAPGothic"_s},    // installed
        {u"ipapgothic"_s, u"ipapgothic"_s},    // family names ignore case
        {u"Kein Solcher Font"_s, kGothicFont}, // would print in an unrelated fallback
        {u"sans-serif"_s, kGothicFont},        // a generic alias, not a printer font
        {QString(), kGothicFont},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(printerAcceptsFont(c.name), c.printed == c.name);
        EXPECT_EQ(printFontFamily(c.name), c.printed);
    }
}

} // namespace
} // namespace norvanta
