// norvanta-screenshot <output folder>: renders the program's windows offscreen
// and writes one PNG per picture, so the layout can be checked without a display,
// the printed result page of the calculated example as printed-page.pdf, and
// the composition window's printed page as composition-page.pdf.
#include "app/about_form.h"
#include "app/application.h"
#include "app/calculation_controller.h"
#include "app/composition_command.h"
#include "app/japanese_ui.h"
#include "app/main_form.h"
#include "app/qt_platform.h"
#include "app/registration_command.h"
#include "app/registration_form.h"
#include "app/result_outlets.h"
#include "app/title_form.h"
#include "common/reaction_fields.h"
#include "printing/composition_page.h"
#include "printing/print_font.h"
#include "printing/printer_page.h"
#include "printing/result_page.h"
#include "results/composition_form.h"
#include "results/results_form.h"

#include <QCheckBox>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using norvanta::NorvantaApplication;

namespace {

// The Overview's example: CO2 + CH4 = 2 CO + 2 H2, 1:1, CO2 limiting, 1 atm.
norvanta::ReactionFields exampleReaction()
{
    norvanta::ReactionFields fields;
    fields.reactNum = {u"1"_s, u"1"_s, {}, {}};
    fields.react = {u"CO2"_s, u"CH4"_s, {}, {}};
    fields.molar = {u"1"_s, u"1"_s, {}, {}};
    fields.productNum = {u"2"_s, u"2"_s, {}, {}};
    fields.product = {u"CO"_s, u"H2"_s, {}, {}};
    fields.restrict = 0;
    fields.pressure = u"1"_s;
    return fields;
}

// One picture: a name and what to set up in a fresh program before it is taken.
struct Shot {
    QString name;
    std::function<QWidget*(NorvantaApplication&)> prepare;
};

QWidget* mainWindow(NorvantaApplication& app, bool listPanelOpen)
{
    norvanta::MainForm& form = app.mainForm();
    app.showMainWindow();
    form.setFields(exampleReaction());
    if (listPanelOpen) {
        // The staging folder's Norvane.dat, searched for a formula chemists type.
        form.openListPanel();
        form.FindText->setText(u"C2H5OH"_s);
        form.FindDownButton->click();
    }
    form.React[1]->setFocus(Qt::TabFocusReason);
    form.ShowHelpLine(u"化学式･慣用名を入力します"_s);
    return &form;
}

// The example calculated, its steps run at once instead of by MainTimer.
QWidget* resultsWindow(NorvantaApplication& app)
{
    mainWindow(app, false);
    norvanta::CalculationController& calculation = app.calculation();
    app.mainForm().CalButton->click();
    calculation.MainTimer->stop();
    while (calculation.running())
        calculation.onMainTimerTick();
    return &app.resultsForm();
}

// The title window as it comes up, before the main window is loaded.
QWidget* titleWindow(NorvantaApplication& app)
{
    auto* title = new norvanta::TitleForm(
        app.platform(), [&app](const QString&) -> QWidget* { return &app.mainForm(); },
        &app.mainForm());
    title->showTitle();
    return title;
}

QWidget* aboutWindow(NorvantaApplication& app)
{
    auto* about = new norvanta::AboutForm(&app.mainForm());
    about->show();
    return about;
}

// The registration window opened from the main window, formic acid typed in
// under its Japanese name (C1 H2 O2, dG at 300..1000 K in kcal/mol).
QWidget* registrationWindow(NorvantaApplication& app)
{
    mainWindow(app, false);
    app.mainForm().RegisterItem->trigger();
    auto* registration = app.mainForm().findChild<norvanta::RegistrationCommand*>()->form();
    registration->NewFormula->setText(u"ギ酸"_s);
    const std::array<QString, 3> atoms{u"1"_s, u"2"_s, u"2"_s};
    for (int i = 0; i < 3; ++i)
        registration->Number[i]->setText(atoms[i]);
    const std::array<QString, 8> gibbs{u"-83.85"_s,  u"-81.567"_s, u"-79.181"_s, u"-76.736"_s,
                                       u"-74.256"_s, u"-71.759"_s, u"-69.256"_s, u"-66.755"_s};
    for (int i = 0; i < 8; ++i)
        registration->DeltaG[i]->setText(gibbs[i]);
    registration->onRegisterTimerTick();
    return registration;
}

// The composition window for steam reforming, CH4 : H2O = 1 : 3, opened from
// its menu item over the main window's reactants, then at 1 and 10 atm.
QWidget* compositionWindow(NorvantaApplication& app)
{
    mainWindow(app, false);
    norvanta::ReactionFields fields;
    fields.reactNum = {u"1"_s, u"1"_s, {}, {}};
    fields.react = {u"CH4"_s, u"H2O"_s, {}, {}};
    fields.molar = {u"1"_s, u"3"_s, {}, {}};
    fields.pressure = u"1"_s;
    app.mainForm().setFields(fields);
    app.mainForm().CompositionItem->trigger();
    norvanta::CompositionForm* form =
        app.mainForm().findChild<norvanta::CompositionCommand*>()->form();
    form->PressureBox->setText(u"1, 10"_s);
    form->CalButton->click();
    return form;
}

// The composition window over a feed of its own: opened over steam
// reforming, then the reactant rows set on the main window for the window's
// options to be set and calculated (a feed of other elements than C, H and O
// is refused by the default series).
norvanta::CompositionForm* compositionWindowOf(NorvantaApplication& app, const QStringList& names,
                                              const QStringList& ratios)
{
    compositionWindow(app);
    norvanta::ReactionFields fields;
    for (qsizetype k = 0; k < names.size(); ++k) {
        fields.reactNum[size_t(k)] = u"1"_s;
        fields.react[size_t(k)] = names[k];
        fields.molar[size_t(k)] = ratios[k];
    }
    fields.pressure = u"1"_s;
    norvanta::CompositionForm* form =
        app.mainForm().findChild<norvanta::CompositionCommand*>()->form();
    form->PressureBox->clear();
    form->FromBox->setText(u"300"_s);
    form->ToBox->setText(u"3000"_s);
    form->StepBox->setText(u"100"_s);
    app.mainForm().setFields(fields);
    return form;
}

// The Claus furnace's gases, H2S : SO2 = 2 : 1, with condensed phases from
// 500 to 1500 K: liquid sulfur at the low end.
QWidget* compositionCondensedWindow(NorvantaApplication& app)
{
    norvanta::CompositionForm* form =
        compositionWindowOf(app, {u"H2S"_s, u"SO2"_s}, {u"2"_s, u"1"_s});
    form->FromBox->setText(u"500"_s);
    form->ToBox->setText(u"1500"_s);
    form->StepBox->setText(u"50"_s);
    form->CondensedCheck->setChecked(true);
    form->CalButton->click();
    return form;
}

// Methane in air, CH4 : O2 : N2 = 1 : 2 : 7.52 from 298.15 K, at the
// temperature it reaches by itself at 1, 10 and 30 atm.
QWidget* compositionAdiabaticWindow(NorvantaApplication& app)
{
    norvanta::CompositionForm* form = compositionWindowOf(
        app, {u"CH4"_s, u"O2"_s, u"N2"_s}, {u"1"_s, u"2"_s, u"7.52"_s});
    form->PressureBox->setText(u"1, 10, 30"_s);
    form->AdiabaticCheck->setChecked(true);
    form->FeedTemperatureBox->setText(u"298.15"_s);
    form->CalButton->click();
    return form;
}

const Shot kShots[] = {
    {u"main-window"_s, [](NorvantaApplication& app) { return mainWindow(app, false); }},
    {u"main-window-list"_s, [](NorvantaApplication& app) { return mainWindow(app, true); }},
    {u"results-window"_s, resultsWindow},
    {u"title-window"_s, titleWindow},
    {u"about-window"_s, aboutWindow},
    {u"registration-window"_s, registrationWindow},
    {u"composition-window"_s, compositionWindow},
    {u"composition-window-condensed"_s, compositionCondensedWindow},
    {u"composition-window-adiabatic"_s, compositionAdiabaticWindow},
};

bool takeShot(const Shot& shot, const QDir& folder)
{
    norvanta::QtPlatform platform;
    // The staging folder holds Norvane.dat and Norvane.dll for the calculated pictures.
    NorvantaApplication app(platform, QStringLiteral(NORVANTA_STAGE_DIR));
    QWidget* window = shot.prepare(app);
    window->activateWindow();
    QApplication::processEvents();
    const QString path = folder.filePath(shot.name + u".png"_s);
    if (!window->grab().save(path)) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << '\n';
    return true;
}

// The example's result page as "PDFファイル" prints it, in colour.
bool printPage(const QDir& folder)
{
    norvanta::QtPlatform platform;
    NorvantaApplication app(platform, QStringLiteral(NORVANTA_STAGE_DIR));
    resultsWindow(app);
    const QString path = folder.filePath(u"printed-page.pdf"_s);
    norvanta::PrinterPage page({{}, path}, true);
    const norvanta::SettingsValues& settings = app.settings();
    norvanta::DrawResultPage(page.canvas(),
                             {norvanta::currentReportInput(app), true,
                              norvanta::printFontFamily(settings.PrintFontName),
                              settings.PrintFontSize},
                             [](int) {});
    if (!page.finish()) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << '\n';
    return true;
}

// The composition window's page of the same picture, as "PDFファイル" prints it.
bool printCompositionPage(const QDir& folder)
{
    norvanta::QtPlatform platform;
    NorvantaApplication app(platform, QStringLiteral(NORVANTA_STAGE_DIR));
    auto* window = static_cast<norvanta::CompositionForm*>(compositionWindow(app));
    const QString path = folder.filePath(u"composition-page.pdf"_s);
    norvanta::PrinterPage page({{}, path}, true);
    const norvanta::SettingsValues& settings = app.settings();
    norvanta::DrawCompositionPage(page.canvas(),
                                  {window->heading(), window->view(), window->listed(), true, true,
                                   norvanta::printFontFamily(settings.PrintFontName),
                                   settings.PrintFontSize, QDateTime::currentDateTime()});
    if (!page.finish()) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << '\n';
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    norvanta::installJapaneseUi(application);
    if (argc != 2) {
        QTextStream(stderr) << "usage: norvanta-screenshot <output folder>\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(u"."_s)) {
        QTextStream(stderr) << "cannot create " << folder.path() << '\n';
        return 1;
    }
    bool ok = true;
    for (const Shot& shot : kShots)
        ok = takeShot(shot, folder) && ok;
    ok = printPage(folder) && ok;
    ok = printCompositionPage(folder) && ok;
    return ok ? 0 : 1;
}
