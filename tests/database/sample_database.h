#pragma once

#include "data_file.h"

namespace norvanta::testing {

// A small hand-written compound data file with the forms the readers must
// agree on. Browser rows: 0 = H2 (before the first genre); 1 "無機ガス" = CO,
// CO2, H2O; 2 ";*  炭化水素" (indented header) = C2H4, C2H5OH,エタノール, C3H8,
// " C4H10 "; 3 "含酸素化合物" = CH3OH, then an empty name hiding hcooh and a
// second CO; 4 "無機ガス" again = O2.
inline QStringList sampleDatabaseLines()
{
    return {
        recordLine(QStringLiteral("\"H2\""), 0, 2, 0, 0),
        QStringLiteral(";水素と基本物質"),
        QStringLiteral(";*無機ガス"),
        recordLine(QStringLiteral("\"CO\""), 1, 0, 1, -30),
        recordLine(QStringLiteral("\"CO2\""), 1, 0, 2, -90),
        recordLine(QStringLiteral("H2O"), 0, 2, 1, -50),
        QStringLiteral("  ;*  炭化水素  "),
        QStringLiteral("C2H4, 2, 4, 0, \"17\", 16, 15, 14, 13, 12, 11, 10"),
        recordLine(QStringLiteral("\"C2H5OH,エタノール\""), 2, 6, 1, -40),
        QStringLiteral("  ;注"),
        recordLine(QStringLiteral("   C3H8"), 3, 8, 0, -5),
        recordLine(QStringLiteral("\" C4H10 \""), 4, 10, 0, -4),
        QStringLiteral(";*含酸素化合物"),
        recordLine(QStringLiteral("\"CH3OH\""), 1, 4, 1, -38),
        recordLine(QStringLiteral("\"\""), 0, 0, 0, 0),
        recordLine(QStringLiteral("\"hcooh\""), 1, 2, 2, -85),
        recordLine(QStringLiteral("\"CO\""), 9, 9, 9, 99),
        QStringLiteral(";*無機ガス"),
        recordLine(QStringLiteral("\"O2\""), 0, 0, 2, 0),
    };
}

// The file is tested with both line ends it may come with.
class SampleDatabase : public ::testing::TestWithParam<const char16_t*> {
protected:
    QString writeSample() const
    {
        return folder_.write(sampleDatabaseLines(), QString::fromUtf16(GetParam()));
    }

    DataFileFolder folder_;
};

} // namespace norvanta::testing
