#include "result_page.h"

#include "results/fonts.h"
#include "results/number_table.h"

#include "common/number_format.h"

#include <iterator>

namespace norvanta {

namespace {

constexpr double kTextLeft = 600;
constexpr QPointF kTitleAt{600, 500};
constexpr double kTitleScale = 1.2;

constexpr double kGraphX0 = 6000;
// Where the graphs' value labels stand, the right neighbour of the table.
constexpr double kGraphLabelX = kGraphX0 - 500;

// Header and value columns of the table, each followed by the place that
// bounds it on the right.
constexpr double kHeaderX[] = {600, 1500, 2700, 3400, kGraphLabelX};
constexpr double kValueX[] = {800, 1550, 2400, 3600, kGraphLabelX};

constexpr double kGraphWidth = 3500;
constexpr double kGraphHeight = 2500;
constexpr double kGraphTops[] = {3000, 6200, 9400}; // dG, log Kp, conversion

// Text the way the printer prints a line: at the current position, after
// which the position goes to the start of the next line of the current font.
class LinePrinter {
public:
    explicit LinePrinter(Canvas& canvas) : canvas_(canvas) {}

    void at(double x, double y, const QString& text)
    {
        canvas_.moveTo({x, y});
        print(text);
    }
    // At x on the current line.
    void atX(double x, const QString& text) { at(x, canvas_.currentPosition().y(), text); }
    void emptyLine() { print(QString()); }
    double y() const { return canvas_.currentPosition().y(); }

private:
    void print(const QString& text)
    {
        const QPointF position = canvas_.currentPosition();
        if (!text.isEmpty())
            canvas_.text(text);
        canvas_.moveTo({0, position.y() + canvas_.lineHeight()});
    }

    Canvas& canvas_;
};

void heading(Canvas& canvas, LinePrinter& lines, const ResultPageInput& input, const QString& text)
{
    canvas.setFont(input.fontFamily, input.fontPoints, true);
    lines.atX(kTextLeft, text);
    canvas.setFont(input.fontFamily, input.fontPoints, false);
}

// Column `column` of the table's row at y, printed smaller where it would
// come nearer than kTextGap to the next column; the next row still starts
// one line of the body font lower.
void printCell(Canvas& canvas, LinePrinter& lines, const ResultPageInput& input,
               const double (&places)[5], int column, double y, const QString& text)
{
    const double x = places[column];
    const double points = shrinkFontToFit(canvas, input.fontFamily, input.fontPoints, false, {text},
                                          places[column + 1] - x - kTextGap);
    lines.at(x, y, text);
    if (points != input.fontPoints) {
        canvas.setFont(input.fontFamily, input.fontPoints, false);
        canvas.moveTo({0, y + canvas.lineHeight()});
    }
}

void drawTable(Canvas& canvas, LinePrinter& lines, const ResultPageInput& input)
{
    const ResultReportInput& report = input.report;
    const bool kelvin = report.temperatureUnit == TemperatureUnit::Kelvin;
    const bool kj = report.energyUnit == EnergyUnit::KJ;
    const auto& series = kelvin ? report.table.kelvin : report.table.celsius;
    for (int i = 0; i < ResultTable::kPoints; i += sampleStride(report.tetraPrecision)) {
        const double y = lines.y();
        const int temperature =
            kelvin ? ResultTable::kelvinTemperature(i) : ResultTable::celsiusTemperatureC(i);
        printCell(canvas, lines, input, kValueX, 0, y, formatFixed(temperature, u"####0"));
        const ResultPoint& point = series[size_t(i)];
        if (!point.computed)
            continue;
        printCell(canvas, lines, input, kValueX, 1, y,
                  formatFixed(kj ? point.dG * report.caltoj : point.dG, u"###0.000"));
        printCell(canvas, lines, input, kValueX, 2, y, formatFixed(point.kp, u"0.00E+00"));
        printCell(canvas, lines, input, kValueX, 3, y, ConversionText(100 * point.conversion));
    }
}

} // namespace

GraphPlacement printedGraphPlacement(double y0, bool colour)
{
    GraphPlacement placement;
    placement.x0 = kGraphX0;
    placement.y0 = y0;
    placement.width = kGraphWidth;
    placement.height = kGraphHeight;
    placement.temperatureTitle = {7450, y0 + 2740};
    placement.kelvinTitle = QStringLiteral("Temp. / K");
    placement.celsiusTitle = QStringLiteral("Temp. / ﾟC");
    placement.valueTitle = {kGraphX0, y0 - 200};
    placement.temperatureLabelY = y0 + 2550;
    placement.valueLabelX = kGraphX0 - 500;
    placement.curveColour = colour ? kBlue : kWindowText;
    placement.zeroLineColour = colour ? kRed : kWindowText;
    placement.setsLineWidths = false;
    placement.clearsArea = false;
    return placement;
}

void DrawResultPage(Canvas& canvas, const ResultPageInput& input,
                    const std::function<void(int)>& progress)
{
    const ResultReportInput& report = input.report;
    LinePrinter lines(canvas);

    canvas.setFont(input.fontFamily, input.fontPoints * kTitleScale, true);
    lines.at(kTitleAt.x(), kTitleAt.y(), QStringLiteral("化学平衡計算の結果"));
    canvas.setFont(input.fontFamily, input.fontPoints, false);
    lines.emptyLine();
    lines.atX(kTextLeft, QStringLiteral("日時 ") +
                             report.timestamp.toString(QStringLiteral("MM-dd-yyyy HH:mm:ss")));
    lines.emptyLine();

    heading(canvas, lines, input, QStringLiteral("*** 反 応 系 ***"));
    progress(20);
    const QString reaction = reactionLine(report.fields, report.limitPos);
    progress(30);
    lines.atX(kTextLeft, reaction);
    lines.atX(kTextLeft, QStringLiteral("    (ﾟ:制限化合物)"));
    lines.emptyLine();

    heading(canvas, lines, input, QStringLiteral("*** 反応分圧比 ***"));
    progress(40);
    lines.atX(kTextLeft, ratioLine(report.fields));
    progress(50);
    lines.emptyLine();

    heading(canvas, lines, input, QStringLiteral("*** 反応全圧 ***"));
    lines.atX(kTextLeft, pressureLine(report.fields));
    lines.emptyLine();

    heading(canvas, lines, input, QStringLiteral("*** 平衡計算の結果 ***"));
    progress(60);
    const double headerY = lines.y();
    const bool kelvin = report.temperatureUnit == TemperatureUnit::Kelvin;
    const QString headers[] = {
        kelvin ? QStringLiteral("Temp./K") : QStringLiteral("Temp./ﾟC"),
        report.energyUnit == EnergyUnit::KJ ? QStringLiteral("dG/kJ") : QStringLiteral("dG/kcal"),
        QStringLiteral("Kp"),
        QStringLiteral("転化率./%"),
    };
    // A header or number wider than its column would run into the next one:
    // that text alone is printed smaller.
    for (int column = 0; column < int(std::size(headers)); ++column)
        printCell(canvas, lines, input, kHeaderX, column, headerY, headers[column]);
    progress(70);
    drawTable(canvas, lines, input);
    progress(80);

    for (int mode = 0; mode < 3; ++mode) {
        const GraphInputs graph{report.table,           mode,
                                report.temperatureUnit, report.energyUnit,
                                report.tetraPrecision,  report.caltoj};
        DrawResultGraph(canvas, graph, printedGraphPlacement(kGraphTops[mode], input.colour));
    }
    progress(90);
}

} // namespace norvanta
