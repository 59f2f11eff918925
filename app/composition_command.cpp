#include "app/composition_command.h"

#include "app/application.h"
#include "app/main_form.h"
#include "app/window_placement.h"
#include "files/user_store.h"
#include "printing/composition_printing.h"
#include "printing/print_font.h"
#include "results/composition_form.h"
#include "results/results_form.h"

#include "common/platform.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace norvanta {

CompositionCommand::CompositionCommand(NorvantaApplication& app, QObject* parent)
    : QObject(parent), m_app(app)
{
    MainForm& form = app.mainForm();
    connect(form.CompositionItem, &QAction::triggered, this,
            &CompositionCommand::onCompositionItemTriggered);
    // The results window has toggled the shared unit by the time this runs:
    // its own connection was made first.
    connect(app.resultsForm().NumberArea, &DrawingArea::mousePressed, this, [this] {
        if (m_form)
            m_form->redraw();
    });
    // What the composition is computed from: the reactant names and ratios,
    // the pressure and the step option.
    for (size_t row = 0; row < form.React.size(); ++row) {
        connect(form.React[row], &QLineEdit::textChanged, this,
                &CompositionCommand::onMainInputChanged);
        connect(form.Molar[row], &QLineEdit::textChanged, this,
                &CompositionCommand::onMainInputChanged);
    }
    connect(form.Pressure, &QLineEdit::textChanged, this, &CompositionCommand::onMainInputChanged);
    // After the main window's own handler has set TetraPrecision.
    connect(form.TetraPrec, &QCheckBox::clicked, this, &CompositionCommand::onMainInputChanged);
}

void CompositionCommand::onCompositionItemTriggered()
{
    if (!m_form) {
        m_form =
            new CompositionForm(m_app.platform(), m_app.resultsDisplay(), m_app.constants(),
                                m_app.databasePath(), m_app.resultFileFolder(), &m_app.mainForm());
        m_form->installEventFilter(this);
        connect(m_form->PrintButton, &QPushButton::clicked, this,
                &CompositionCommand::onPrintButtonClicked);
    }
    if (m_form->calculate(m_app.mainForm().fields(), m_app.settings().TetraPrecision != 0))
        placeFirstTime();
}

CompositionForm* CompositionCommand::form() const
{
    return m_form;
}

void CompositionCommand::onMainInputChanged()
{
    if (m_form)
        m_form->inputChanged(m_app.mainForm().fields(), m_app.settings().TetraPrecision != 0);
}

void CompositionCommand::placeFirstTime()
{
    if (m_placed)
        return;
    m_placed = true;
    const QSize screen = m_app.platform().screenSize();
    const StoredEdges stored = readCompositionEdges(m_app.platform());
    if (stored.left && stored.top) {
        moveWindowToTwips(*m_form, stored.left, stored.top, screen);
        return;
    }
    // Shown, the window has its frame: its centre goes on the main window's.
    const QRect frame = m_form->frameGeometry();
    const QPoint centre = m_app.mainForm().frameGeometry().center();
    m_form->move(centre.x() - frame.width() / 2, centre.y() - frame.height() / 2);
    keepWindowOnScreen(*m_form, screen);
}

bool CompositionCommand::eventFilter(QObject* watched, QEvent* event)
{
    // Closed by its button, its frame or the program's end: the place is kept.
    if (watched == m_form && event->type() == QEvent::Hide && m_placed && !m_form->isMinimized()) {
        const QPointF position = windowPositionTwips(*m_form);
        storeCompositionEdges(m_app.platform(), float(position.x()), float(position.y()));
    }
    return QObject::eventFilter(watched, event);
}

void CompositionCommand::onPrintButtonClicked()
{
    if (!m_form || !m_form->shown())
        return;
    const SettingsValues& settings = m_app.settings();
    CompositionPageInput page;
    page.heading = m_form->heading();
    page.view = m_form->view();
    page.listed = m_form->listed();
    page.logarithmic = m_form->ScaleMode[1]->isChecked();
    page.colour = settings.ColorPrintMode != 0;
    page.fontFamily = printFontFamily(settings.PrintFontName);
    page.fontPoints = settings.PrintFontSize;
    printComposition(m_app.platform(), {page, settings.UsualDirectory});
}

} // namespace norvanta
