#include "app/registration_command.h"

#include "app/application.h"
#include "app/main_form.h"
#include "app/registration_form.h"

namespace norvanta {

RegistrationCommand::RegistrationCommand(NorvantaApplication& app, QObject* parent)
    : QObject(parent), m_app(app)
{
}

void RegistrationCommand::onRegisterItemTriggered()
{
    if (!m_form) {
        m_form = new RegistrationForm(m_app.platform(), m_app.mainForm(), m_app.settings(),
                                      m_app.constants(), m_app.databasePath());
        connect(m_form, &RegistrationForm::discarded, this, &RegistrationCommand::onFormDiscarded);
    }
    m_form->open();
}

RegistrationForm* RegistrationCommand::form() const
{
    return m_form;
}

void RegistrationCommand::onFormDiscarded()
{
    // Deleted once its close event has run to its end.
    m_form->deleteLater();
    m_form = nullptr;
}

} // namespace norvanta
