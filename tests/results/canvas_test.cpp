#include "canvas_queries.h"

#include "results/fonts.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::test;
using namespace Qt::StringLiterals;

namespace {

// A white image at the given resolution, 3000 twips square at 96 dpi.
QImage blankImage(int dpi, int pixels = 200)
{
    QImage image(pixels, pixels, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    return image;
}

// Rows of column x whose pixel is not white.
std::vector<int> inkedRows(const QImage& image, int x)
{
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixel(x, y) != qRgb(255, 255, 255))
            rows.push_back(y);
    }
    return rows;
}

} // namespace

TEST(PainterCanvas, ScalesTwipsToTheDeviceResolution)
{
    const struct {
        int dpi;
        int y;      // pixel row of y = 720 twips
        int width1; // rows a width-1 line covers
    } cases[] = {{96, 48, 1}, {192, 96, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        QImage image = blankImage(c.dpi, c.dpi * 2);
        {
            QPainter painter(&image);
            PainterCanvas canvas(painter);
            canvas.setLineWidth(1);
            canvas.line({0, 720}, {1440, 720}, kWindowText);
        }
        const std::vector<int> rows = inkedRows(image, c.dpi / 2);
        ASSERT_EQ(int(rows.size()), c.width1);
        EXPECT_NEAR(rows.front(), c.y, 1);
        EXPECT_EQ(image.pixel(c.dpi / 2, rows.front()), qRgb(0, 0, 0)); // black on paper
        EXPECT_TRUE(inkedRows(image, c.dpi + 2).empty()) << "the line ends at 1440 twips";
    }
}

TEST(PainterCanvas, ColoursWidthsRectanglesAndClear)
{
    QImage image = blankImage(96);
    QPainter painter(&image);
    PainterCanvas canvas(painter, QColor(10, 20, 30), QColor(200, 200, 200));
    canvas.clear();
    EXPECT_EQ(image.pixel(5, 5), qRgb(200, 200, 200));

    canvas.setLineWidth(4);
    canvas.moveTo({0, 600});
    canvas.lineTo({1500, 600}, kBlue);
    EXPECT_EQ(canvas.currentPosition(), QPointF(1500, 600));
    canvas.setLineWidth(1);
    canvas.line({0, 1500}, {1500, 1500}, kWindowText);
    canvas.rectangle({1800, 1800}, {2700, 2700}, kRed);
    painter.end();

    // Column 50 crosses the blue line (4 rows) and the window-text line (1 row).
    std::vector<int> blue, dark;
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixel(50, y) == qRgb(0, 0, 255))
            blue.push_back(y);
        if (image.pixel(50, y) == qRgb(10, 20, 30))
            dark.push_back(y);
    }
    EXPECT_EQ(blue.size(), 4u);
    EXPECT_EQ(dark.size(), 1u);
    // The rectangle is an outline: red edge at x = 120, background inside.
    EXPECT_EQ(image.pixel(120, 150), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(150, 150), qRgb(200, 200, 200));
}

TEST(PainterCanvas, TextHangsBelowAndRightOfThePosition)
{
    QImage image = blankImage(96);
    {
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        canvas.setFont(kGothicFont, 20);
        canvas.moveTo({720, 720});
        canvas.text(u"転化率"_s);
        EXPECT_GT(canvas.lineHeight(), 20 * 20 * 0.9);
        EXPECT_LT(canvas.lineHeight(), 20 * 20 * 2.0);
    }
    int top = image.height(), left = image.width();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                top = std::min(top, y);
                left = std::min(left, x);
            }
        }
    }
    ASSERT_LT(top, image.height()) << "the text was drawn";
    EXPECT_GE(top, 48);
    EXPECT_LT(top, 48 + 15);
    EXPECT_GE(left, 47);
}

TEST(Canvas, TextWidthsAreTwipsWhateverTheDevice)
{
    RecordingCanvas recording;
    recording.setFont(kGothicFont, 9);
    const double width = recording.textWidth(u"1000"_s);
    EXPECT_NEAR(width, 4 * 90, 4 * 30);    // four half-width digits of 180-twip type
    for (const int dpi : {96, 192, 600}) { // the screen and the printer agree, hinting aside
        QImage image = blankImage(dpi, 10);
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        canvas.setFont(kGothicFont, 9);
        EXPECT_NEAR(canvas.textWidth(u"1000"_s), width, width * 0.1) << dpi;
    }
}

TEST(RecordingCanvas, ClearDropsTheDrawingButKeepsFontAndPen)
{
    RecordingCanvas canvas;
    canvas.setFont(kGothicFont, 9);
    canvas.setLineWidth(2);
    canvas.moveTo({10, 20});
    canvas.lineTo({30, 40}, kBlue);
    canvas.text(u"a"_s);
    EXPECT_EQ(operationsOf(canvas, Kind::LineTo)[0].from, QPointF(10, 20));
    EXPECT_EQ(textAt(canvas, {30, 40}), u"a"_s);

    canvas.clear();
    ASSERT_EQ(canvas.operations().size(), 3u);
    EXPECT_EQ(canvas.operations()[0].kind, Kind::Clear);
    EXPECT_EQ(canvas.operations()[1].kind, Kind::Font);
    EXPECT_EQ(canvas.operations()[1].text, kGothicFont);
    EXPECT_EQ(canvas.operations()[1].size, 9);
    EXPECT_EQ(canvas.operations()[2].kind, Kind::LineWidth);
    EXPECT_EQ(canvas.operations()[2].size, 2);
    EXPECT_EQ(canvas.currentPosition(), QPointF(0, 0));
}

TEST(RecordingCanvas, ReplayDrawsTheSamePicture)
{
    const auto drawing = [](Canvas& canvas) {
        canvas.clear();
        canvas.setFont(kGothicFont, 10);
        canvas.setLineWidth(2);
        canvas.rectangle({150, 150}, {2000, 1500}, kWindowText);
        canvas.moveTo({300, 300});
        canvas.lineTo({1800, 1200}, kBlue);
        canvas.lineTo({1800, 300}, kBlue);
        canvas.line({150, 1000}, {2000, 1000}, kRed);
        canvas.moveTo({300, 1600});
        canvas.text(u"dG / kcal"_s);
    };

    QImage direct = blankImage(96);
    QImage replayed = blankImage(96);
    {
        QPainter painter(&direct);
        PainterCanvas canvas(painter, Qt::black, Qt::white);
        drawing(canvas);
    }
    RecordingCanvas recording;
    drawing(recording);
    {
        QPainter painter(&replayed);
        PainterCanvas canvas(painter, Qt::black, Qt::white);
        recording.replay(canvas);
    }
    EXPECT_EQ(direct, replayed);
    EXPECT_FALSE(inkedRows(direct, 100).empty());
}
