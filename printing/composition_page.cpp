#include "composition_page.h"

#include "results/composition_graph.h"

#include "common/number_format.h"
#include "common/number_text.h"

#include <algorithm>
#include <cmath>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

constexpr double kTextLeft = 600;
constexpr double kTitleScale = 1.2;
constexpr double kGraphTop = 2700;
constexpr double kGraphHeight = 5000;
constexpr double kTableTop = 8700;
// Table columns: temperature, pressure, then the species.
constexpr double kTemperatureX = 600;
constexpr double kPressureX = 1700;
constexpr double kFirstSpeciesX = 2700;
constexpr double kSpeciesStep = 1150;

} // namespace

GraphPlacement compositionPagePlacement()
{
    GraphPlacement placement;
    placement.x0 = 1400;
    placement.y0 = kGraphTop;
    placement.width = 7900;
    placement.height = kGraphHeight;
    placement.temperatureTitle = {5000, kGraphTop + kGraphHeight + 300};
    placement.kelvinTitle = u"Temp. / K"_s;
    placement.celsiusTitle = u"Temp. / ﾟC"_s;
    placement.valueTitle = {1400, kGraphTop - 300};
    placement.temperatureLabelY = kGraphTop + kGraphHeight + 60;
    placement.valueLabelX = 700;
    placement.setsLineWidths = false;
    placement.clearsArea = false;
    return placement;
}

void DrawCompositionPage(Canvas& canvas, const CompositionPageInput& input)
{
    canvas.setFont(input.fontFamily, input.fontPoints * kTitleScale, true);
    canvas.moveTo({kTextLeft, 500});
    canvas.text(u"平衡組成の計算結果"_s);
    canvas.setFont(input.fontFamily, input.fontPoints, false);
    const double line = canvas.lineHeight();
    canvas.moveTo({kTextLeft, 500 + 2 * line});
    canvas.text(u"日時 "_s + input.timestamp.toString(u"MM-dd-yyyy HH:mm:ss"_s));
    canvas.moveTo({kTextLeft, 500 + 3 * line});
    canvas.text(input.heading);

    const CompositionView& view = input.view;
    DrawCompositionGraph(canvas, {view, input.logarithmic}, compositionPagePlacement());

    // The table's columns: the most abundant listed species, then the
    // condensed phases (moles per mole of feed), as many as there is room for.
    struct Column {
        QString name;
        bool condensed = false;
        size_t index = 0;
    };
    std::vector<Column> columns;
    for (const int s : input.listed.shown)
        columns.push_back({view.species[s], false, size_t(s)});
    columns.resize(std::min<size_t>(columns.size(), kPrintedSpecies));
    for (qsizetype c = 0; c < view.condensed.size() && columns.size() < kPrintedSpecies; ++c)
        columns.push_back({view.condensed[c], true, size_t(c)});
    const bool severalPressures = view.series.size() > 1;
    canvas.setFont(input.fontFamily, input.fontPoints, true);
    double y = kTableTop;
    const auto at = [&canvas, &y](double x, const QString& text) {
        canvas.moveTo({x, y});
        canvas.text(text);
    };
    at(kTemperatureX, view.unit == TemperatureUnit::Kelvin ? u"Temp./K"_s : u"Temp./ﾟC"_s);
    if (severalPressures)
        at(kPressureX, u"全圧/atm"_s);
    for (size_t c = 0; c < columns.size(); ++c)
        at(kFirstSpeciesX + double(c) * kSpeciesStep, columns[c].name);
    canvas.setFont(input.fontFamily, input.fontPoints, false);

    size_t points = 0;
    for (const ShownSeries& series : view.series)
        points += series.points.size();
    const size_t stride = std::max<size_t>(1, (points + kPrintedRows - 1) / kPrintedRows);
    for (const ShownSeries& series : view.series) {
        for (size_t i = 0; i < series.points.size(); i += stride) {
            const CompositionPoint& point = series.points[i];
            y += line;
            at(kTemperatureX,
               formatFixed(std::lround(shownTemperature(point, view.unit)), u"####0"));
            if (severalPressures)
                at(kPressureX, generalNumberText(series.pressure));
            if (point.failed())
                at(kFirstSpeciesX, point.failure);
            for (size_t c = 0; c < columns.size(); ++c) {
                const std::vector<double>& values =
                    columns[c].condensed ? point.condensedMoles : point.moleFractions;
                if (columns[c].index < values.size())
                    at(kFirstSpeciesX + double(c) * kSpeciesStep,
                       formatFixed(values[columns[c].index], u"0.00E+00"));
            }
        }
    }
}

} // namespace norvanta
