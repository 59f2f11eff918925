#include "calculation_fixture.h"

#include "common/twips.h"

#include <QLabel>
#include <QMouseEvent>

using namespace norvanta;
using namespace norvanta::testing;
using namespace Qt::StringLiterals;

namespace {

// The centre placement of the results window on the fake platform's screen, in pixels.
QPoint centredOn(QSize screen, const QWidget& window)
{
    const QSize size = window.frameGeometry().size();
    return {(screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2};
}

void expectNear(QPoint actual, QPoint expected)
{
    EXPECT_LE((actual - expected).manhattanLength(), 2)
        << actual.x() << "," << actual.y() << " instead of " << expected.x() << "," << expected.y();
}

void moveMouseOver(QWidget* control, QPoint at)
{
    QMouseEvent event(QEvent::MouseMove, at, control->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(control, &event);
}

} // namespace

TEST_F(CalculationTest, UnitTogglesRedrawGraphAndTable)
{
    app.constants().calToJ = 4.0;
    typeOverviewReaction();
    calculate();
    const auto graphTexts = [this] { return test::textsAtY(results.GraphArea->picture(), 3000); };
    const QStringList celsiusGraph = graphTexts();
    const int dpi = results.NumberArea->logicalDpiX();

    QTest::mouseClick(results.NumberArea, Qt::LeftButton, {}, QPoint(twipsToPixels(500, dpi), 5));
    EXPECT_EQ(test::textAt(results.NumberArea->picture(), {100, 50}), u"Temp. / K"_s);
    EXPECT_EQ(tableColumn(250).first(), u"300"_s);
    EXPECT_EQ(tableColumn(250).last(), u"1100"_s);
    EXPECT_NE(graphTexts(), celsiusGraph);

    QTest::mouseClick(results.NumberArea, Qt::LeftButton, {}, QPoint(twipsToPixels(1500, dpi), 5));
    EXPECT_EQ(test::textAt(results.NumberArea->picture(), {1150, 50}), u"dG / kJ"_s);
    const QStringList dG = tableColumn(1250);
    ASSERT_EQ(dG.size(), 9);
    for (int row = 0; row < 9; ++row)
        EXPECT_NEAR(dG[row].toDouble(), 4.0 * app.results().kelvin[size_t(4 * row)].dG, 0.0005);
}

TEST_F(CalculationTest, FirstDisplayCentredThenRestoredAfterClose)
{
    typeOverviewReaction();
    calculate();
    const QPoint centre = centredOn(platform.screen, results);
    expectNear(resultsPosition(), centre);
    const double dpi = results.logicalDpiX();
    EXPECT_NEAR(settings.ResultsLeft, pixelsToTwips(centre.x(), dpi), 40);
    EXPECT_NEAR(settings.ResultsTop, pixelsToTwips(centre.y(), dpi), 40);

    results.move(100, 150);
    QTest::mouseClick(results.ExitButton, Qt::LeftButton);
    ASSERT_FALSE(results.isVisible());
    EXPECT_NEAR(settings.ResultsLeft, pixelsToTwips(100, dpi), 1);
    EXPECT_NEAR(settings.ResultsTop, pixelsToTwips(150, dpi), 1);

    results.move(600, 600);
    calculate();
    EXPECT_TRUE(results.isVisible());
    expectNear(resultsPosition(), {100, 150});
}

TEST_F(CalculationTest, WindowStillOpenKeepsItsPlace)
{
    typeOverviewReaction();
    calculate();
    const float rememberedLeft = settings.ResultsLeft;
    results.move(200, 120);
    calculate();
    expectNear(resultsPosition(), {200, 120});
    EXPECT_EQ(settings.ResultsLeft, rememberedLeft);
}

TEST_F(CalculationTest, FirstDisplayPlacement)
{
    struct Case {
        const char* name;
        bool centreOnFirstShow;
        QPointF remembered; // twips
        bool centreX, centreY;
        QPoint expected; // pixels, where not centred
    };
    const Case cases[] = {
        {"remembered", false, {3000, 1500}, false, false, {200, 100}},
        {"marker asks for centring", true, {3000, 1500}, true, true, {}},
        {"one negative", false, {-15, 1500}, false, false, {-1, 100}},
        {"left beyond the screen", false, {1e6, 1500}, true, false, {0, 100}},
        {"top above the screen", false, {3000, -1e5}, false, true, {200, 0}},
    };
    typeOverviewReaction();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform otherPlatform;
        NorvantaApplication other(otherPlatform, folder.path());
        other.setCentreResultsOnFirstShow(c.centreOnFirstShow);
        other.settings().ResultsLeft = float(c.remembered.x());
        other.settings().ResultsTop = float(c.remembered.y());
        other.mainForm().setFields(form.fields());
        other.mainForm().CalButton->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !other.calculation().running(); }, 10000));

        ResultsForm& window = other.resultsForm();
        const QPoint centre = centredOn(otherPlatform.screen, window);
        const QPoint at = window.frameGeometry().topLeft();
        const double dpi = window.logicalDpiX();
        expectNear(
            at, {c.centreX ? centre.x() : c.expected.x(), c.centreY ? centre.y() : c.expected.y()});
        EXPECT_NEAR(other.settings().ResultsLeft, pixelsToTwips(at.x(), dpi), 20);
        EXPECT_NEAR(other.settings().ResultsTop, pixelsToTwips(at.y(), dpi), 20);
    }
}

TEST_F(CalculationTest, PlotModeIsRememberedInTheSettings)
{
    settings.PlotMode = 1;
    typeOverviewReaction();
    calculate();
    EXPECT_TRUE(results.PlotMode[1]->isChecked());
    EXPECT_EQ(test::textAt(results.GraphArea->picture(), {650, 50}), u"log(Kp)"_s);

    QTest::mouseClick(results.PlotMode[2], Qt::LeftButton);
    EXPECT_EQ(settings.PlotMode, 2);
    calculate();
    EXPECT_TRUE(results.PlotMode[2]->isChecked());
}

TEST_F(CalculationTest, ResultsWindowHintsGoToTheMainHelpLine)
{
    typeOverviewReaction();
    calculate();
    moveMouseOver(results.ExitButton, {5, 5});
    EXPECT_TRUE(form.Message->isVisible());
    EXPECT_EQ(form.Message->text(), u"計算結果を閉じます"_s);

    form.onDispHelpMenuTriggered(false);
    moveMouseOver(results.CopyButton, {5, 5});
    EXPECT_EQ(form.Message->text(), u"計算結果を閉じます"_s);
    moveMouseOver(results.GraphArea, {5, 5});
    EXPECT_TRUE(form.Message->isVisible());
    EXPECT_TRUE(form.Message->text().isEmpty());
}
