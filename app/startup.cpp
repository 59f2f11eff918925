#include "app/startup.h"

#include "app/application.h"
#include "app/main_form.h"
#include "app/settings_commands.h"
#include "app/window_placement.h"
#include "common/failure.h"
#include "common/platform.h"
#include "common/text_file.h"
#include "engine/constants.h"
#include "files/file_state.h"
#include "files/placement_marker.h"
#include "files/user_store.h"
#include "results/results_form.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <exception>

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

namespace {

// Start-up goes on whatever one of its steps meets.
template <typename Step> void skipOnFailure(Step step)
{
    try {
        step();
    } catch (const Failure&) {
    } catch (const std::exception&) {
    }
}

void setConstants(NorvantaApplication& app)
{
    const LoadedConstants loaded = loadConstants(startFolderFile(app, u"constants.txt"_s));
    app.constants() = loaded.constants;
    for (const QString& key : loaded.ignoredKeys)
        showMessage(app.platform(), invalidConstantMessage(key), MessageIcon::Exclamation);
}

void applyOptions(NorvantaApplication& app)
{
    MainForm& form = app.mainForm();
    const SettingsValues& settings = app.settings();
    if (settings.LimitPos >= 0)
        form.CalButton->setEnabled(true);
    if (settings.LimitPos <= 3)
        form.selectRestrict(settings.LimitPos);

    app.resultsDisplay().plotMode = settings.PlotMode;
    if (settings.PlotMode >= 0 && settings.PlotMode < 3)
        app.resultsForm().PlotMode[size_t(settings.PlotMode)]->setChecked(true);
    form.DispHelpMenu->setChecked(settings.DispHelp != 0);
    form.ColorPrintModeMenu->setChecked(settings.ColorPrintMode != 0);
    setTetraPrecBox(app, settings.TetraPrecision);
}

void restorePlacement(NorvantaApplication& app)
{
    const StoredPlacement stored = readStoredPlacement(app.platform());
    const QSize screen = app.platform().screenSize();
    moveWindowToTwips(app.mainForm(), stored.mainLeft, stored.mainTop, screen);
    moveWindowToTwips(app.resultsForm(), stored.resultsLeft, stored.resultsTop, screen);
    app.mainForm().FindText->setText(stored.findText);
}

void resetWindow(NorvantaApplication& app)
{
    MainForm& form = app.mainForm();
    form.setWindowTitle(plainWindowCaption());
    app.inputState().activeCompoundField = -1;
    form.hideHelpLine();
    form.disableStepButtons();
}

void resetFileState(NorvantaApplication& app)
{
    MainForm& form = app.mainForm();
    form.SaveItem->setEnabled(false);
    form.SaveButton->setEnabled(false);
    form.OpenItem->setEnabled(true);
    form.OpenButton->setEnabled(true);
    form.SaveAsItem->setEnabled(true);
    form.SaveAsButton->setEnabled(true);
    // The reaction restored from the settings counts as unmodified and unnamed.
    app.fileState().DataModified = false;
    app.fileState().FileNameKnown = false;
    app.resultFileFolder() = app.settings().UsualDirectory;
}

} // namespace

QString startFolderFile(const NorvantaApplication& app, const QString& name)
{
    return QDir(app.startFolder()).filePath(name);
}

void startMainWindow(NorvantaApplication& app)
{
    skipOnFailure([&] { setConstants(app); });
    skipOnFailure([&] {
        if (FileExists(settingsFilePath(app)))
            ReadSettings(app);
    });
    skipOnFailure([&] { applyOptions(app); });
    skipOnFailure([&] { restorePlacement(app); });
    skipOnFailure([&] { WriteSettings(app); });
    skipOnFailure([&] { resetWindow(app); });
    skipOnFailure([&] {
        app.setCentreResultsOnFirstShow(
            CheckPlacementMarker(startFolderFile(app, placementMarkerFileName())));
    });
    skipOnFailure([&] {
        app.mainForm().show();
        // Shown, the window has its frame: keep all of it on the screen.
        keepWindowOnScreen(app.mainForm(), app.platform().screenSize());
    });
    skipOnFailure([&] { resetFileState(app); });
    skipOnFailure([&] { app.mainForm().focusFirstCoefficient(); });
}

} // namespace norvanta
