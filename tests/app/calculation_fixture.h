#pragma once

#include "app/application.h"
#include "app/calculation_controller.h"
#include "app/main_form.h"
#include "results/canvas_queries.h"
#include "results/results_form.h"
#include "support/fake_platform.h"
#include "support/gui_helpers.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace norvanta::testing {

// The program started in a fresh working folder that holds the shipped
// Norvane.dat and the built Norvane.dll, with its main window shown.
class CalculationTest : public ::testing::Test {
protected:
    CalculationTest()
    {
        QFile::copy(QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat"), path("Norvane.dat"));
        QFile::copy(QStringLiteral(NORVANTA_SOLVER_PATH), path("Norvane.dll"));
        QObject::connect(form.ProgBar, &QProgressBar::valueChanged,
                         [this](int value) { progress.push_back(value); });
    }

    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(path("Norvane.dat")));
        ASSERT_TRUE(QFile::exists(path("Norvane.dll")));
        app.showMainWindow();
        showActive(form);
    }

    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }

    // CO2 + CH4 = 2 CO + 2 H2, ratios 1:1, CO2 limiting, 1 atm, typed as a user would.
    void typeOverviewReaction()
    {
        typeOver(form.ReactNum[0], QStringLiteral("1"));
        typeOver(form.React[0], QStringLiteral("CO2"));
        typeOver(form.Molar[0], QStringLiteral("1"));
        typeOver(form.ReactNum[1], QStringLiteral("1"));
        typeOver(form.React[1], QStringLiteral("CH4"));
        typeOver(form.Molar[1], QStringLiteral("1"));
        typeOver(form.ProductNum[0], QStringLiteral("2"));
        typeOver(form.Product[0], QStringLiteral("CO"));
        typeOver(form.ProductNum[1], QStringLiteral("2"));
        typeOver(form.Product[1], QStringLiteral("H2"));
        typeOver(form.Pressure, QStringLiteral("1"));
        QTest::mouseClick(form.Restrict[0], Qt::LeftButton);
    }

    // Presses CalButton and lets MainTimer run the calculation to its end.
    void calculate()
    {
        progress.clear();
        ASSERT_TRUE(form.CalButton->isEnabled());
        QTest::mouseClick(form.CalButton, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !calculation.running(); }, 10000))
            << "the run did not end";
    }

    // Presses CalButton and runs `steps` ticks by hand, MainTimer held still.
    void startAndStep(int steps)
    {
        QTest::mouseClick(form.CalButton, Qt::LeftButton);
        calculation.MainTimer->stop();
        for (int step = 0; step < steps; ++step)
            calculation.onMainTimerTick();
    }

    // The number table's texts drawn at x, top to bottom, heading first.
    QStringList tableColumn(double x) const
    {
        return test::textsAtX(results.NumberArea->picture(), x);
    }

    // The controls a run disables until it ends.
    std::vector<QWidget*> inputControls() const
    {
        return {form.Pressure, form.TetraPrec, form.ReverseButton, form.ResetButton};
    }

    // Where the results window is, in pixels of the screen.
    QPoint resultsPosition() const { return results.frameGeometry().topLeft(); }

    QTemporaryDir folder;
    FakePlatform platform;
    NorvantaApplication app{platform, folder.path()};
    MainForm& form = app.mainForm();
    ResultsForm& results = app.resultsForm();
    CalculationController& calculation = app.calculation();
    SettingsValues& settings = app.settings();
    // Every value ProgBar showed since the last calculate().
    std::vector<int> progress;
};

} // namespace norvanta::testing
