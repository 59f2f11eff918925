#include "app/settings_commands.h"

#include "app/application.h"
#include "app/main_form.h"
#include "app/window_placement.h"
#include "results/results_form.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>

namespace norvanta {

namespace {

QLineEdit* fieldBox(MainForm& form, const FieldAssignment& assignment)
{
    const int row = assignment.row;
    switch (assignment.field) {
    case ReactionField::ReactNum:
        return form.ReactNum[row];
    case ReactionField::React:
        return form.React[row];
    case ReactionField::Molar:
        return form.Molar[row];
    case ReactionField::ProductNum:
        return form.ProductNum[row];
    case ReactionField::Product:
        return form.Product[row];
    case ReactionField::Pressure:
        break;
    }
    return form.Pressure;
}

} // namespace

QString settingsFilePath(const NorvantaApplication& app)
{
    return QDir(app.startFolder()).filePath(settingsFileName());
}

void ReadSettings(NorvantaApplication& app)
{
    const SettingsRead read = readSettingsFile(settingsFilePath(app), app.settings());
    app.settings() = read.values;
    MainForm& form = app.mainForm();
    for (const FieldAssignment& assignment : read.assignments)
        fieldBox(form, assignment)->setText(assignment.text);
    setTetraPrecBox(app, read.values.TetraPrecision);
}

void setTetraPrecBox(NorvantaApplication& app, qint16 tetraPrecision)
{
    QCheckBox* box = app.mainForm().TetraPrec;
    switch (tetraPrecision) {
    case 0:
        box->setCheckState(Qt::Unchecked);
        break;
    case 1:
        box->setCheckState(Qt::Checked);
        break;
    case 2:
        box->setCheckState(Qt::PartiallyChecked);
        // Grey until clicked; a click checks it and makes it a plain check box again.
        QObject::connect(
            box, &QCheckBox::clicked, box, [box] { box->setTristate(false); },
            Qt::SingleShotConnection);
        break;
    default:
        break;
    }
}

WindowEdges currentWindowEdges(NorvantaApplication& app)
{
    WindowEdges edges = rememberedEdges(app.settings());
    const MainForm& form = app.mainForm();
    if (!form.isMinimized()) {
        const QPointF position = windowPositionTwips(form);
        edges.MainLeft = float(position.x());
        edges.MainTop = float(position.y());
    }
    const ResultsForm& results = app.resultsForm();
    if (!results.isMinimized()) {
        const QPointF position = windowPositionTwips(results);
        edges.ResultsLeft = float(position.x());
        edges.ResultsTop = float(position.y());
    }
    return edges;
}

void WriteSettings(NorvantaApplication& app)
{
    writeSettingsFile(settingsFilePath(app), app.settings(), app.mainForm().fields(),
                      currentWindowEdges(app), app.startFolder());
}

} // namespace norvanta
