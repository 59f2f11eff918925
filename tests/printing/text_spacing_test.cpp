// The number table and the printed page as they come out on a 96-dpi screen
// at 1x and 2x: every heading and number, measured where it is drawn, ends
// before its right neighbour on the same line begins.
#include "page_fixture.h"

#include "results/fonts.h"
#include "results/number_table.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace norvanta::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

// Draws on a painter canvas and keeps, per line, where each text begins and
// ends in twips by the device's own font metrics.
class MeasuringCanvas : public PainterCanvas {
public:
    using PainterCanvas::PainterCanvas;

    void text(const QString& text) override
    {
        const QPointF at = currentPosition();
        spans_[at.y()].push_back({at.x(), at.x() + textWidth(text), text});
        PainterCanvas::text(text);
    }

    struct Span {
        double left, right;
        QString text;
    };
    std::map<double, std::vector<Span>> spans_;
};

// An image of an A4 page at 96 dpi and the given device pixel ratio.
QImage screenImage(double ratio)
{
    QImage image(int(794 * ratio), int(1123 * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.setDotsPerMeterX(3780); // 96 dpi
    image.setDotsPerMeterY(3780);
    return image;
}

// A table whose numbers are as wide as they come: four-digit dG, Kp with a
// three-digit exponent's worth of digits, and 100 %.
ResultTable wideTable()
{
    ResultTable table;
    for (int i = 0; i < ResultTable::kPoints; ++i) {
        table.kelvin[size_t(i)] = {-1414.607, 2.21e-25, 1.0, true};
        table.celsius[size_t(i)] = {1141.607, 9.99e+99, 0.0999, true};
    }
    return table;
}

TEST(TextSpacing, NoTextOfTheTableOrThePageRunsIntoItsNeighbour)
{
    const struct {
        const char* what;
        TemperatureUnit temperature;
        EnergyUnit energy;
    } units[] = {
        {"Celsius, kcal", TemperatureUnit::Celsius, EnergyUnit::Kcal},
        {"Kelvin, kJ", TemperatureUnit::Kelvin, EnergyUnit::KJ},
    };
    for (const double ratio : {1.0, 2.0}) {
        for (const auto& u : units) {
            for (const bool page : {false, true}) {
                SCOPED_TRACE(std::string(u.what) + (page ? ", page" : ", table") + " at " +
                             std::to_string(ratio) + "x");
                QImage image = screenImage(ratio);
                QPainter painter(&image);
                MeasuringCanvas canvas(painter);
                if (page) {
                    ResultPageInput input = printedPage(kGothicFont);
                    input.report.table = wideTable();
                    input.report.temperatureUnit = u.temperature;
                    input.report.energyUnit = u.energy;
                    DrawResultPage(canvas, input, [](int) {});
                } else {
                    // As the results window draws it: recorded, then painted.
                    RecordingCanvas picture;
                    DrawNumberTable(picture, {u.temperature, u.energy, 4.184}, wideTable());
                    picture.replay(canvas);
                }
                int measured = 0;
                for (auto& [y, spans] : canvas.spans_) {
                    std::sort(spans.begin(), spans.end(),
                              [](const auto& a, const auto& b) { return a.left < b.left; });
                    for (size_t k = 0; k + 1 < spans.size(); ++k) {
                        // Texts of the page's graphs are the graphs' own.
                        if (spans[k].left >= 5500)
                            continue;
                        ++measured;
                        EXPECT_LT(spans[k].right, spans[k + 1].left)
                            << spans[k].text.toStdString() << " | "
                            << spans[k + 1].text.toStdString() << " at y " << y;
                    }
                }
                // Three neighbours on the heading line and on each of nine rows.
                EXPECT_GE(measured, 30);
            }
        }
    }
}

} // namespace
} // namespace norvanta::testing
