#include "app/application.h"

#include "app/main_form.h"

#include <QDir>
#include <QLineEdit>

namespace norvanta {

NorvantaApplication::NorvantaApplication(Platform& platform)
    : m_platform(platform), m_settings(defaultSettings(QDir::currentPath())),
      m_mainForm(std::make_unique<MainForm>(platform, m_input, m_file, m_settings))
{
}

NorvantaApplication::~NorvantaApplication() = default;

void NorvantaApplication::showMainWindow()
{
    m_mainForm->show();
    m_mainForm->ReactNum[0]->setFocus(Qt::OtherFocusReason);
}

} // namespace norvanta
