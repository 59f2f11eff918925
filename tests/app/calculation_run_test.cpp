#include "calculation_fixture.h"

#include "support/test_files.h"

#include <QAction>
#include <QLabel>

using namespace norvanta;
using namespace norvanta::testing;
using namespace Qt::StringLiterals;

namespace {

// Reads a number table text back as a number.
double valueOf(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    EXPECT_TRUE(ok) << text.toStdString();
    return value;
}

} // namespace

TEST_F(CalculationTest, OverviewReactionRunsToTheResultsWindow)
{
    typeOverviewReaction();
    QTest::mouseClick(form.CalButton, Qt::LeftButton);
    EXPECT_TRUE(calculation.MainTimer->isActive());
    EXPECT_EQ(calculation.MainTimer->interval(), 55);
    EXPECT_EQ(calculation.MainTimer->objectName(), u"MainTimer"_s);
    EXPECT_FALSE(form.CalButton->isEnabled());
    EXPECT_FALSE(app.inputState().calculationIdle);
    progress.clear();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !calculation.running(); }, 10000));

    EXPECT_EQ(progress, (std::vector<int>{11, 22, 33, 44, 55, 66, 77, 88, 100}));
    EXPECT_FALSE(calculation.MainTimer->isActive());
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(results.isVisible());
    EXPECT_EQ(results.windowTitle(), u"計算結果 - 25Kモード"_s);
    EXPECT_TRUE(app.resultsDisplay().resultsDisplayed);
    EXPECT_TRUE(results.PlotMode[0]->isChecked());
    EXPECT_FALSE(test::operationsOf(results.GraphArea->picture(), test::Kind::LineTo).empty());

    EXPECT_FALSE(form.ProgBar->isVisible());
    EXPECT_TRUE(form.CalButton->isEnabled());
    EXPECT_TRUE(form.CalButton->isDefault());
    EXPECT_TRUE(form.SaveResultItem->isEnabled());
    for (QWidget* control : inputControls())
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(app.inputState().calculationIdle);

    // The table in Celsius and kcal, one row per 100 degrees, read back from
    // the drawing and set against the run's results.
    EXPECT_EQ(test::textAt(results.NumberArea->picture(), {100, 50}), u"Temp. / ﾟC"_s);
    EXPECT_EQ(tableColumn(250), (QStringList{u"0"_s, u"100"_s, u"200"_s, u"300"_s, u"400"_s,
                                             u"500"_s, u"600"_s, u"700"_s, u"800"_s}));
    const QStringList dG = tableColumn(1250);
    const QStringList kp = tableColumn(2350);
    const QStringList conversion = tableColumn(3550);
    ASSERT_EQ(dG.size(), 9);
    ASSERT_EQ(kp.size(), 9);
    ASSERT_EQ(conversion.size(), 9);
    const ResultTable& table = app.results();
    for (int row = 0; row < 9; ++row) {
        const ResultPoint& point = table.celsius[size_t(4 * row)];
        EXPECT_NEAR(valueOf(dG[row]), point.dG, 0.0005) << row;
        EXPECT_NEAR(valueOf(kp[row]) / point.kp, 1, 0.01) << row;
        if (row > 0) {
            EXPECT_GE(valueOf(conversion[row]), valueOf(conversion[row - 1])) << row;
        }
    }
    for (int i = 0; i < ResultTable::kPoints; ++i)
        EXPECT_TRUE(table.kelvin[size_t(i)].computed && table.celsius[size_t(i)].computed) << i;
    // Reforming methane with CO2 is uphill at room temperature and goes almost
    // to completion at 800 °C.
    EXPECT_GT(valueOf(dG[0]), 30);
    EXPECT_LT(valueOf(dG[8]), -5);
    EXPECT_EQ(conversion[0], u"0.000"_s);
    EXPECT_GT(valueOf(conversion[8]), 80);
}

TEST_F(CalculationTest, StepOnePreparesTheWindowsAndRowsAppearAsComputed)
{
    typeOverviewReaction();
    calculate();
    form.ShowHelpLine(u"ヒント"_s);
    results.PrintTimer->start(); // a page printed just before

    startAndStep(1);
    EXPECT_FALSE(results.PrintTimer->isActive());
    EXPECT_FALSE(results.isVisible());
    EXPECT_TRUE(test::visibleOperations(results.GraphArea->picture()).empty());
    EXPECT_TRUE(test::visibleOperations(results.NumberArea->picture()).empty());
    EXPECT_FALSE(form.CalButton->isEnabled());
    for (QWidget* control : inputControls())
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_FALSE(form.Message->isVisible());
    EXPECT_TRUE(form.Message->text().isEmpty());
    EXPECT_TRUE(form.ProgBar->isVisible());
    EXPECT_EQ(form.ProgBar->value(), 11);

    // No hint reaches the help line while the run goes on.
    form.ShowHelpLine(u"ヒント"_s);
    EXPECT_FALSE(form.Message->isVisible());

    // Step 5 draws the rows of 0 and 100 °C into the hidden window.
    for (int step = 2; step <= 5; ++step)
        calculation.onMainTimerTick();
    EXPECT_FALSE(results.isVisible());
    EXPECT_EQ(tableColumn(250), (QStringList{u"0"_s, u"100"_s}));
    calculation.onMainTimerTick();
    EXPECT_EQ(tableColumn(250).size(), 5);
    for (int step = 7; step <= 9; ++step)
        calculation.onMainTimerTick();
    EXPECT_TRUE(results.isVisible());
    EXPECT_FALSE(calculation.running());
}

TEST_F(CalculationTest, HundredKelvinModeCaption)
{
    typeOverviewReaction();
    QTest::mouseClick(form.TetraPrec, Qt::LeftButton);
    ASSERT_FALSE(form.TetraPrec->isChecked());
    calculate();
    EXPECT_EQ(results.windowTitle(), u"計算結果 - 100Kモード"_s);
    EXPECT_EQ(tableColumn(250).size(), 9);
    EXPECT_FALSE(app.results().kelvin[1].computed);
    EXPECT_TRUE(app.results().kelvin[4].computed);
}

TEST_F(CalculationTest, FieldsShowWhatTheRunWroteIntoThem)
{
    // The reaction in reactant rows 1 and 3, a blank-padded name, an empty
    // coefficient and the limiting compound on row 3.
    typeOverviewReaction();
    form.React[1]->clear();
    form.Molar[1]->clear();
    form.ReactNum[1]->clear();
    typeOver(form.React[2], u" CH4 "_s);
    typeOver(form.Molar[2], u"1"_s);
    QTest::mouseClick(form.Restrict[2], Qt::LeftButton);

    startAndStep(1);
    EXPECT_EQ(form.React[2]->text(), u"CH4"_s);
    EXPECT_FALSE(form.CalButton->isEnabled()) << "a trimmed name enabled CalButton mid-run";
    calculation.onMainTimerTick();
    EXPECT_EQ(form.React[1]->text(), u"CH4"_s);
    EXPECT_EQ(form.ReactNum[1]->text(), u"1"_s);
    EXPECT_TRUE(form.React[2]->text().isEmpty());
    EXPECT_TRUE(form.Restrict[1]->isChecked());
    EXPECT_FALSE(form.CalButton->isEnabled());
}

// A failed check: its warning, the common stop, and the focus on the field.
struct ValidationCase {
    const char* name;
    void (*edit)(MainForm&);
    QString message;
    QString focus; // object name of the field that gets the focus; empty: not moved
};

TEST_F(CalculationTest, FailedChecksWarnStopAndFocus)
{
    const ValidationCase cases[] = {
        {"empty ratio", [](MainForm& f) { f.Molar[1]->clear(); }, u"分圧(比)を入力してください"_s,
         u"Molar1"_s},
        {"unknown reactant", [](MainForm& f) { typeOver(f.React[1], u"co2"_s); },
         u"反応系(No.2)はファイルに登録されていません"_s, u"React1"_s},
        {"unknown product", [](MainForm& f) { typeOver(f.Product[1], u"H3"_s); },
         u"生成系(No.2)はファイルに登録されていません"_s, u"Product1"_s},
        {"unbalanced", [](MainForm& f) { typeOver(f.ProductNum[1], u"3"_s); },
         u"炭素,水素,酸素の化学量論が合っていません"_s, QString()},
        {"pressure", [](MainForm& f) { typeOver(f.Pressure, u"0"_s); },
         u"全圧を正しく入力してください"_s, u"Pressure"_s},
    };
    for (const ValidationCase& c : cases) {
        SCOPED_TRACE(c.name);
        typeOverviewReaction();
        c.edit(form);
        // As the button's Alt+S does: the focus stays in the field just typed in.
        form.CalButton->click();
        platform.messages.clear();
        platform.answerNext(MessageAnswer::Ok);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !calculation.running(); }, 10000));

        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0], exclamation(u"Norvanta"_s, c.message));
        if (!c.focus.isEmpty()) {
            QWidget* focused = QApplication::focusWidget();
            EXPECT_EQ(focused->objectName(), c.focus);
            // The next keystroke replaces what the field holds.
            if (const auto* box = qobject_cast<QLineEdit*>(focused)) {
                EXPECT_EQ(box->selectedText(), box->text());
            }
        }
        EXPECT_FALSE(calculation.MainTimer->isActive());
        EXPECT_FALSE(results.isVisible());
        EXPECT_FALSE(form.ProgBar->isVisible());
        EXPECT_EQ(form.ProgBar->value(), 0);
        EXPECT_TRUE(form.CalButton->isEnabled());
        for (QWidget* control : inputControls())
            EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
        EXPECT_TRUE(app.inputState().calculationIdle);
    }
}

// A broken library stops each run with its message; once the library is put
// in place, the next run uses it.
TEST_F(CalculationTest, BrokenLibraryStopsTheRunUntilItIsReplaced)
{
    struct Case {
        const char* name;
        QByteArray library; // empty: no library at all
        QString message;
    };
    const Case cases[] = {
        {"no library", {}, u"Norvane.dllファイルがないため計算できません"_s},
        {"text file as library", "not a library\r\n",
         u"Norvane.dllファイルが異常なため計算できません"_s},
    };
    typeOverviewReaction();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path("Norvane.dll"));
        if (!c.library.isEmpty())
            writeBytes(path("Norvane.dll"), c.library);
        platform.messages.clear();
        platform.answerNext(MessageAnswer::Ok);
        calculate();

        EXPECT_EQ(platform.messages, std::vector{exclamation(u"Norvanta"_s, c.message)});
        EXPECT_FALSE(results.isVisible());
        EXPECT_TRUE(form.CalButton->isEnabled());
        EXPECT_TRUE(form.ProgBar->isHidden());
    }

    QFile::remove(path("Norvane.dll"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(NORVANTA_SOLVER_PATH), path("Norvane.dll")));
    platform.messages.clear();
    calculate();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(results.isVisible());
}

TEST_F(CalculationTest, FailedRunLeavesThePreviousResultsSavable)
{
    typeOverviewReaction();
    calculate();
    ASSERT_TRUE(form.SaveResultItem->isEnabled());
    const double dG = app.results().kelvin[0].dG;

    QFile::remove(path("Norvane.dat"));
    platform.answerNext(MessageAnswer::Ok);
    calculate();
    EXPECT_EQ(platform.messages,
              (std::vector<RecordedMessage>{{u"Norvanta"_s, u"内部エラー(No: 53)が発生しました"_s,
                                             MessageIcon::Error}}));
    EXPECT_FALSE(results.isVisible());
    EXPECT_TRUE(form.SaveResultItem->isEnabled());
    EXPECT_EQ(app.results().kelvin[0].dG, dG);
}
