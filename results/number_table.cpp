#include "number_table.h"

#include "fonts.h"

#include "common/number_format.h"

namespace norvanta {

namespace {

constexpr double kTableFontPoints = 10;
constexpr int kRows = 9;
constexpr int kRowStride = 4; // one row every 100 degrees

void drawText(Canvas& canvas, double x, double y, const QString& text)
{
    canvas.moveTo({x, y});
    canvas.text(text);
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
        drawText(canvas, 100, 50,
                 kelvin ? QStringLiteral("Temp. / K") : QStringLiteral("Temp. / ﾟC"));
        drawText(canvas, 1150, 50, kj ? QStringLiteral("dG / kJ") : QStringLiteral("dG / kcal"));
        drawText(canvas, 2550, 50, QStringLiteral("Kp"));
        drawText(canvas, 3350, 50, QStringLiteral("転化率 / %"));
        canvas.line({60, 240}, {4380, 240}, kWindowText);
    }

    const double y = 50 + 185 * (r + 1);
    drawText(canvas, 250, y,
             kelvin ? formatFixed(300 + 100 * r, u"#000") : formatFixed(100 * r, u"###0"));
    const ResultPoint& point = kelvin ? kelvinPoint : celsiusPoint;
    if (!point.computed)
        return;
    drawText(canvas, 1250, y, formatFixed(kj ? point.dG * units.caltoj : point.dG, u"###0.000"));
    drawText(canvas, 2350, y, formatFixed(point.kp, u"0.00E+00"));
    drawText(canvas, 3550, y, ConversionText(100 * point.conversion));
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
