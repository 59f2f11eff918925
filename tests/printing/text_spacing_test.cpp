// The number table and the printed page on a 96-dpi image at 1x and 2x:
// every heading and number, measured with the image's own font metrics,
// ends before its right neighbour on the same line begins.
#include "page_fixture.h"

#include "results/fonts.h"
#include "results/number_table.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <map>

namespace norvanta::testing {
namespace {

// Keeps, per line, the left and right ends of every text in twips.
class MeasuringCanvas : public PainterCanvas {
public:
    using PainterCanvas::PainterCanvas;
    void text(const QString& text) override
    {
        lines[currentPosition().y()].insert(
            {currentPosition().x(), currentPosition().x() + textWidth(text)});
        PainterCanvas::text(text);
    }
    std::map<double, std::map<double, double>> lines; // y -> left -> right
};

TEST(TextSpacing, NoTextOfTheTableOrThePageRunsIntoItsNeighbour)
{
    // Four-digit dG and the widest Kp and conversion texts.
    ResultTable table;
    table.kelvin.fill({-1414.607, 2.21e-25, 1.0, true});
    table.celsius.fill({1141.607, 9.99e+99, 0.0999, true});
    for (const double ratio : {1.0, 2.0}) {
        for (const bool kelvinKj : {false, true}) {
            for (const bool page : {false, true}) {
                SCOPED_TRACE(::testing::Message() << ratio << "x, kelvin/kJ " << kelvinKj
                                                  << (page ? ", page" : ", table"));
                QImage image(int(794 * ratio), int(1123 * ratio), QImage::Format_RGB32);
                image.setDevicePixelRatio(ratio);
                image.setDotsPerMeterX(3780); // 96 dpi
                image.setDotsPerMeterY(3780);
                QPainter painter(&image);
                MeasuringCanvas canvas(painter);
                const auto temperature =
                    kelvinKj ? TemperatureUnit::Kelvin : TemperatureUnit::Celsius;
                const auto energy = kelvinKj ? EnergyUnit::KJ : EnergyUnit::Kcal;
                if (page) {
                    ResultPageInput input = printedPage(kGothicFont);
                    input.report.table = table;
                    input.report.temperatureUnit = temperature;
                    input.report.energyUnit = energy;
                    DrawResultPage(canvas, input, [](int) {});
                } else { // recorded, then painted, as the results window does
                    RecordingCanvas picture;
                    DrawNumberTable(picture, {temperature, energy, 4.184}, table);
                    picture.replay(canvas);
                }
                int neighbours = 0;
                for (const auto& [y, spans] : canvas.lines) {
                    // The page's graphs, from x = 5500 on, are measured by their own tests.
                    for (auto it = spans.begin(); it != spans.end() && it->first < 5500; ++it) {
                        if (const auto next = std::next(it); next != spans.end()) {
                            ++neighbours;
                            EXPECT_LT(it->second, next->first)
                                << "at x " << it->first << ", y " << y;
                        }
                    }
                }
                EXPECT_GE(neighbours, 30); // three on the heading line and on each of nine rows
            }
        }
    }
}

} // namespace
} // namespace norvanta::testing
