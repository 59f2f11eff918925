#pragma once

#include "printing/result_page.h"
#include "support/example_reactions.h"

#include <QDateTime>

namespace norvanta::testing {

// A table whose first Celsius rows carry the printed value cases: dG -12.5,
// Kp 3.25E-05 and the conversions 0.456, 0.05 and 1; dG crosses zero. The
// Kelvin series differs so that the unit decides which one is printed.
inline ResultTable printedTable()
{
    ResultTable table;
    for (int i = 0; i < ResultTable::kPoints; ++i) {
        const double conversion = i == 4 ? 0.05 : i == 8 ? 1.0 : 0.456;
        table.celsius[size_t(i)] = {i == 0 ? -12.5 : 10.0 - i, i == 0 ? 3.25e-5 : 2.0, conversion,
                                    true};
        table.kelvin[size_t(i)] = {10.0 + i, 2.0, 0.3, true};
    }
    return table;
}

// The reforming reaction in Celsius and kcal, 100 K steps, printed in colour
// in the given family at 10 points, stamped 6 December 2026, 20:45:36.
inline ResultPageInput printedPage(const QString& fontFamily = QStringLiteral("Page Font"))
{
    ResultPageInput input;
    input.report.fields = reforming();
    input.report.limitPos = 0;
    input.report.table = printedTable();
    input.report.timestamp = QDateTime(QDate(2026, 12, 6), QTime(20, 45, 36));
    input.fontFamily = fontFamily;
    input.fontPoints = 10;
    return input;
}

} // namespace norvanta::testing
