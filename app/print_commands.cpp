#include "app/print_commands.h"

#include "app/application.h"
#include "app/main_form.h"
#include "app/result_outlets.h"
#include "printing/printer_sel_form.h"
#include "printing/result_printing.h"

#include <QAction>
#include <QPointer>

#include <memory>

namespace norvanta {

void connectPrintCommands(NorvantaApplication& app)
{
    MainForm& form = app.mainForm();
    new ResultPrinting(
        app.platform(), app.resultsForm(), *form.ProgBar, *form.Message,
        [&app] {
            const SettingsValues& settings = app.settings();
            return PrintJob{currentReportInput(app), settings.ColorPrintMode != 0,
                            settings.PrintFontName, settings.PrintFontSize,
                            settings.UsualDirectory};
        },
        &form);

    // One selection window at a time: a second click brings the open one forward.
    auto selection = std::make_shared<QPointer<PrinterSelForm>>();
    QObject::connect(form.ChangePrinterItem, &QAction::triggered, &form, [&app, &form, selection] {
        if (!*selection)
            *selection = new PrinterSelForm(app.platform(), &form);
        (*selection)->load();
    });
}

} // namespace norvanta
