#include "number_table.h"

#include "fonts.h"

#include "common/number_format.h"

namespace norvanta {

namespace {

constexpr double kTableFontPoints = 10;
constexpr int kRows = 9;
constexpr int kRowStride = 4; // one row every 100 degrees

// The columns' places: headings, then values; the right edge of the area
// bounds the last column.
constexpr double kHeadingX[] = {100, 1150, 2550, 3350, 4500};
constexpr double kValueX[] = {250, 1250, 2350, 3550, 4500};

// Column `column` of a row, kept clear of the next column.
void drawCell(Canvas& canvas, const double (&places)[5], int column, double y, const QString& text)
{
    drawFittingText(canvas, kGothicFont, kTableFontPoints, false, {places[column], y}, text,
                    places[column + 1]);
}

} // namespace

QString ConversionText(double percent)
{
    if (percent < 10)
        return formatFixed(percent, u"0.000");
    if (percent < 100)
        return formatFixed(percent, u"00.00");
    return QStringLiteral("100.0");
}

void DrawNumberRow(Canvas& canvas, const NumberTableUnits& units, int r,
                   const ResultPoint& kelvinPoint, const ResultPoint& celsiusPoint)
{
    const bool kelvin = units.temperatureUnit == TemperatureUnit::Kelvin;
    const bool kj = units.energyUnit == EnergyUnit::KJ;

    canvas.setFont(kGothicFont, kTableFontPoints);
    if (r == 0) {
        drawCell(canvas, kHeadingX, 0, 50,
                 kelvin ? QStringLiteral("Temp. / K") : QStringLiteral("Temp. / ﾟC"));
        drawCell(canvas, kHeadingX, 1, 50,
                 kj ? QStringLiteral("dG / kJ") : QStringLiteral("dG / kcal"));
        drawCell(canvas, kHeadingX, 2, 50, QStringLiteral("Kp"));
        drawCell(canvas, kHeadingX, 3, 50, QStringLiteral("転化率 / %"));
        canvas.line({60, 240}, {4380, 240}, kWindowText);
    }

    const double y = 50 + 185 * (r + 1);
    drawCell(canvas, kValueX, 0, y,
             kelvin ? formatFixed(300 + 100 * r, u"#000") : formatFixed(100 * r, u"###0"));
    const ResultPoint& point = kelvin ? kelvinPoint : celsiusPoint;
    if (!point.computed)
        return;
    drawCell(canvas, kValueX, 1, y,
             formatFixed(kj ? point.dG * units.caltoj : point.dG, u"###0.000"));
    drawCell(canvas, kValueX, 2, y, formatFixed(point.kp, u"0.00E+00"));
    drawCell(canvas, kValueX, 3, y, ConversionText(100 * point.conversion));
}

void DrawNumberTable(Canvas& canvas, const NumberTableUnits& units, const ResultTable& table)
{
    canvas.setFont(kGothicFont, kTableFontPoints);
    canvas.clear();
    for (int r = 0; r < kRows; ++r) {
        const size_t i = size_t(kRowStride * r);
        DrawNumberRow(canvas, units, r, table.kelvin[i], table.celsius[i]);
    }
}

} // namespace norvanta
