#include "app/application.h"

#include "app/main_form.h"

#include <QLineEdit>

namespace norvanta {

NorvantaApplication::NorvantaApplication(Platform& platform)
    : m_platform(platform), m_mainForm(std::make_unique<MainForm>(platform, m_input, m_file))
{
}

NorvantaApplication::~NorvantaApplication() = default;

void NorvantaApplication::showMainWindow()
{
    m_mainForm->show();
    m_mainForm->ReactNum[0]->setFocus(Qt::OtherFocusReason);
}

} // namespace norvanta
