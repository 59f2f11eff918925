#include "app/composition_command.h"

#include "app/application.h"
#include "app/main_form.h"
#include "results/composition_form.h"
#include "results/results_form.h"

#include <QAction>

namespace norvanta {

CompositionCommand::CompositionCommand(NorvantaApplication& app, QObject* parent)
    : QObject(parent), m_app(app)
{
    connect(app.mainForm().CompositionItem, &QAction::triggered, this,
            &CompositionCommand::onCompositionItemTriggered);
    // The results window has toggled the shared unit by the time this runs:
    // its own connection was made first.
    connect(app.resultsForm().NumberArea, &DrawingArea::mousePressed, this, [this] {
        if (m_form)
            m_form->redraw();
    });
}

void CompositionCommand::onCompositionItemTriggered()
{
    if (!m_form) {
        m_form = new CompositionForm(m_app.platform(), m_app.resultsDisplay(), m_app.constants(),
                                     m_app.databasePath(), &m_app.mainForm());
    }
    m_form->calculate(m_app.mainForm().fields(), m_app.settings().TetraPrecision != 0);
}

CompositionForm* CompositionCommand::form() const
{
    return m_form;
}

} // namespace norvanta
