#include "canvas_queries.h"

#include "results/results_form.h"

#include "common/twips.h"

#include <QApplication>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::test;
using namespace Qt::StringLiterals;

namespace {

class ResultsFormTest : public ::testing::Test {
protected:
    ResultsFormTest()
    {
        for (int i = 0; i < ResultTable::kPoints; ++i) {
            table.kelvin[size_t(i)] = {-12.5, 3.25e-5, 0.456, true};
            table.celsius[size_t(i)] = {7.0, 2.0, 0.05, true};
        }
    }

    QString temperatureHeading() const { return textAt(form.NumberArea->picture(), {100, 50}); }
    QString dGHeading() const { return textAt(form.NumberArea->picture(), {1150, 50}); }
    QString graphTemperatureTitle() const
    {
        return textAt(form.GraphArea->picture(), {2050, 3000});
    }
    QString graphValueTitle() const { return textAt(form.GraphArea->picture(), {650, 50}); }

    // The mouse, moved over a control, as the window system reports it.
    static void moveMouseOver(QWidget* control, QPoint at)
    {
        QMouseEvent event(QEvent::MouseMove, at, control->mapToGlobal(at), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(control, &event);
    }

    int pixels(double twips) const { return twipsToPixels(twips, form.logicalDpiX()); }

    ResultsDisplayState state;
    ResultTable table;
    ResultsForm form{state, table};
};

} // namespace

TEST_F(ResultsFormTest, ControlsAndLayout)
{
    EXPECT_EQ(form.windowTitle(), u"計算結果"_s);
    EXPECT_EQ(form.size(), QSize(pixels(4815), pixels(6120)));
    const struct {
        const char* name;
        QString caption;
        double left, top, width, height;
    } controls[] = {
        {"GraphArea", {}, 180, 60, 4500, 3250},
        {"NumberArea", {}, 180, 3420, 4500, 2000},
        {"PlotModeFrame", u"プロットモード"_s, 60, 5460, 1935, 555},
        {"PlotMode0", u"dG"_s, 60, 240, 615, 255},
        {"PlotMode1", u"Kp"_s, 660, 240, 615, 255},
        {"PlotMode2", u"CV"_s, 1260, 240, 615, 255},
        {"PrintButton", u"印刷(&P)"_s, 2040, 5580, 795, 435},
        {"CopyButton", u"コピー(&C)"_s, 2880, 5580, 915, 435},
        {"ExitButton", u"閉じる(&X)"_s, 3840, 5580, 915, 435},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        const QWidget* control = form.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(),
                  QRect(pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height)));
        if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
            EXPECT_EQ(button->text(), c.caption);
            EXPECT_EQ(button->font().family(), u"MS UI Gothic"_s);
            EXPECT_EQ(button->font().pointSizeF(), 9.75);
        }
        if (const auto* frame = qobject_cast<const QGroupBox*>(control)) {
            EXPECT_EQ(frame->title(), c.caption);
        }
    }
    const QTimer* timer = form.findChild<QTimer*>(u"PrintTimer"_s);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 2000);
    EXPECT_FALSE(timer->isActive());
}

TEST_F(ResultsFormTest, ClickPositionDecidesWhichUnitToggles)
{
    const struct {
        double x;
        TemperatureUnit temperature;
        EnergyUnit energy;
    } cases[] = {
        {0, TemperatureUnit::Celsius, EnergyUnit::Kcal},
        {1, TemperatureUnit::Kelvin, EnergyUnit::Kcal},
        {999.9, TemperatureUnit::Kelvin, EnergyUnit::Kcal},
        {1000, TemperatureUnit::Celsius, EnergyUnit::KJ},
        {2199.9, TemperatureUnit::Celsius, EnergyUnit::KJ},
        {2200, TemperatureUnit::Celsius, EnergyUnit::Kcal},
        {4000, TemperatureUnit::Celsius, EnergyUnit::Kcal},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        state = {};
        form.GraphArea->picture().reset();
        form.NumberArea->picture().reset();
        form.onNumberAreaMousePressed({c.x, 500});
        EXPECT_EQ(state.temperatureUnit, c.temperature);
        EXPECT_EQ(state.energyUnit, c.energy);

        const bool toggled =
            c.temperature != TemperatureUnit::Celsius || c.energy != EnergyUnit::Kcal;
        if (!toggled) {
            EXPECT_TRUE(form.NumberArea->picture().operations().empty());
            EXPECT_TRUE(form.GraphArea->picture().operations().empty());
            continue;
        }
        // Both drawings follow the new units.
        const bool kelvin = c.temperature == TemperatureUnit::Kelvin;
        const bool kj = c.energy == EnergyUnit::KJ;
        EXPECT_EQ(temperatureHeading(), kelvin ? u"Temp. / K"_s : u"Temp. / ﾟC"_s);
        EXPECT_EQ(dGHeading(), kj ? u"dG / kJ"_s : u"dG / kcal"_s);
        EXPECT_EQ(graphTemperatureTitle(), kelvin ? u"Temp./ K"_s : u"Temp./ ﾟC"_s);
        EXPECT_EQ(graphValueTitle(),
                  kj ? u"dG / kJ (制限化合物1mol当たり)"_s : u"dG / kcal (制限化合物1mol当たり)"_s);
    }
}

TEST_F(ResultsFormTest, MouseOnTheTableTogglesThroughTheWidget)
{
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.NumberArea, Qt::LeftButton, {}, QPoint(pixels(1500), pixels(500)));
    EXPECT_EQ(state.energyUnit, EnergyUnit::KJ);
    QTest::mouseClick(form.NumberArea, Qt::RightButton, {}, QPoint(pixels(500), pixels(500)));
    EXPECT_EQ(state.temperatureUnit, TemperatureUnit::Kelvin);
    EXPECT_EQ(textAt(form.NumberArea->picture(), {1250, 235}), u"-52.300"_s);
}

TEST_F(ResultsFormTest, TwoClicksRestoreTheDisplay)
{
    form.showResults();
    form.DrawNumberTable();
    const auto graph = visibleOperations(form.GraphArea->picture());
    const auto numbers = visibleOperations(form.NumberArea->picture());
    for (const double x : {500.0, 1500.0}) {
        form.onNumberAreaMousePressed({x, 100});
        EXPECT_NE(visibleOperations(form.NumberArea->picture()), numbers);
        form.onNumberAreaMousePressed({x, 100});
        EXPECT_EQ(visibleOperations(form.GraphArea->picture()), graph);
        EXPECT_EQ(visibleOperations(form.NumberArea->picture()), numbers);
    }
}

TEST_F(ResultsFormTest, PlotModeIsStoredAndDrawnOnlyWhileDisplayed)
{
    form.PlotMode[1]->click();
    EXPECT_EQ(state.plotMode, 1);
    EXPECT_TRUE(form.GraphArea->picture().operations().empty());

    form.showResults();
    EXPECT_TRUE(state.resultsDisplayed);
    EXPECT_TRUE(form.PlotMode[1]->isChecked());
    EXPECT_EQ(graphValueTitle(), u"log(Kp)"_s);

    form.PlotMode[2]->click();
    EXPECT_EQ(state.plotMode, 2);
    EXPECT_EQ(graphValueTitle(), u"制限化合物の転化率(%)"_s);
}

TEST_F(ResultsFormTest, ShowResultsSelectsTheRememberedMode)
{
    state.plotMode = 2;
    form.showResults();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.PlotMode[2]->isChecked());
    EXPECT_EQ(graphValueTitle(), u"制限化合物の転化率(%)"_s);

    // A mode no option stands for selects none and draws only the temperature title.
    state.plotMode = 7;
    form.showResults();
    for (const QRadioButton* option : form.PlotMode)
        EXPECT_FALSE(option->isChecked());
    EXPECT_EQ(graphTemperatureTitle(), u"Temp./ ﾟC"_s);
    EXPECT_TRUE(graphValueTitle().isEmpty());
}

TEST_F(ResultsFormTest, ClosingRemembersThePositionAndReleasesTheResults)
{
    const auto closeByButton = [this] { QTest::mouseClick(form.ExitButton, Qt::LeftButton); };
    const auto closeByFrame = [this] { form.close(); };
    for (const auto& closeIt :
         {std::function<void()>(closeByButton), std::function<void()>(closeByFrame)}) {
        state.placement = ResultsPlacement::Keep;
        form.moveToTwips({4500, 3000});
        form.showResults();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        const QPointF position = form.positionTwips();

        closeIt();
        EXPECT_FALSE(form.isVisible());
        EXPECT_FALSE(state.resultsDisplayed);
        EXPECT_EQ(state.placement, ResultsPlacement::Restore);
        EXPECT_EQ(state.resultsLeft, float(position.x()));
        EXPECT_EQ(state.resultsTop, float(position.y()));
        EXPECT_NEAR(state.resultsLeft, 4500, 30);
    }
}

TEST_F(ResultsFormTest, ClosingWhileMinimisedKeepsTheRememberedPosition)
{
    state.resultsLeft = 1234;
    state.resultsTop = 567;
    form.showResults();
    form.showMinimized();
    ASSERT_TRUE(form.isMinimized());
    EXPECT_FALSE(form.isNormalState());
    form.close();
    EXPECT_EQ(state.resultsLeft, 1234);
    EXPECT_EQ(state.resultsTop, 567);
    EXPECT_EQ(state.placement, ResultsPlacement::Restore);
    EXPECT_FALSE(state.resultsDisplayed);
}

TEST_F(ResultsFormTest, HelpLines)
{
    QString shownText = u"unchanged"_s;
    HelpLineRule shownRule = HelpLineRule::WhenHelpOn;
    int calls = 0;
    form.setHelpLineHandler([&](const QString& text, HelpLineRule rule) {
        shownText = text;
        shownRule = rule;
        ++calls;
    });

    const struct {
        QWidget* control;
        QPoint at;
        QString text;
        HelpLineRule rule;
    } cases[] = {
        {form.CopyButton,
         {5, 5},
         u"クリップボードにデータをコピーします"_s,
         HelpLineRule::WhenHelpOn},
        {form.ExitButton, {5, 5}, u"計算結果を閉じます"_s, HelpLineRule::WhenHelpOn},
        {form.PrintButton, {5, 5}, u"結果を印刷します"_s, HelpLineRule::WhenHelpOn},
        {form.PlotMode[0], {5, 5}, u"プロットモードを決めます"_s, HelpLineRule::WhenHelpOn},
        {form.PlotMode[2], {5, 5}, u"プロットモードを決めます"_s, HelpLineRule::WhenHelpOn},
        {form.NumberArea, {pixels(500), 5}, u"温度の単位を変更します"_s, HelpLineRule::WhenHelpOn},
        {form.NumberArea, {pixels(1500), 5}, u"dGの単位を変更します"_s, HelpLineRule::WhenHelpOn},
        {form.NumberArea, {pixels(3000), 5}, QString(), HelpLineRule::Always},
        {form.GraphArea, {pixels(2000), 5}, QString(), HelpLineRule::Always},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control->objectName().toStdString() + " " + std::to_string(c.at.x()));
        shownText = u"unchanged"_s;
        moveMouseOver(c.control, c.at);
        EXPECT_EQ(shownText, c.text);
        EXPECT_EQ(shownRule, c.rule);
    }

    // The window's background changes nothing.
    const int before = calls;
    moveMouseOver(&form, {1, 1});
    EXPECT_EQ(calls, before);
}

TEST_F(ResultsFormTest, RowsDrawnDuringTheRunAndCleared)
{
    form.DrawNumberRow(0, table.kelvin[0], table.celsius[0]);
    form.DrawNumberRow(1, table.kelvin[4], table.celsius[4]);
    EXPECT_EQ(textsAtY(form.NumberArea->picture(), 235),
              (QStringList{u"0"_s, u"7.000"_s, u"2.00E+00"_s, u"5.000"_s}));
    EXPECT_EQ(textAt(form.NumberArea->picture(), {250, 420}), u"100"_s);

    form.clearAreas();
    EXPECT_TRUE(operationsOf(form.NumberArea->picture(), Kind::Text).empty());
    EXPECT_TRUE(operationsOf(form.GraphArea->picture(), Kind::Text).empty());
}

TEST_F(ResultsFormTest, DrawingsSurviveCoveringAndUncovering)
{
    form.showResults();
    form.DrawNumberTable();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    const auto countPixels = [](const QImage& image, QRgb colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == colour;
        }
        return n;
    };
    const QImage graph = form.GraphArea->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage numbers = form.NumberArea->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(countPixels(graph, qRgb(0, 0, 255)), 100); // the curve
    EXPECT_GT(countPixels(graph, qRgb(255, 0, 0)), 100); // the zero line
    const QRgb text = form.NumberArea->palette().color(QPalette::WindowText).rgb();
    EXPECT_GT(countPixels(numbers, text), 100);

    form.hide();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.GraphArea->grab().toImage().convertToFormat(QImage::Format_RGB32), graph);
    EXPECT_EQ(form.NumberArea->grab().toImage().convertToFormat(QImage::Format_RGB32), numbers);
}
