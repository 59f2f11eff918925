#include "app/application.h"

#include "app/about_form.h"
#include "app/calculation_controller.h"
#include "app/composition_command.h"
#include "app/file_commands.h"
#include "app/main_form.h"
#include "app/registration_command.h"
#include "app/print_commands.h"
#include "app/result_outlets.h"
#include "app/settings_commands.h"
#include "app/shutdown.h"
#include "results/results_form.h"

#include <QAction>
#include <QPushButton>

#include <utility>

namespace norvanta {

NorvantaApplication::NorvantaApplication(Platform& platform, QString startFolder)
    : m_platform(platform), m_startFolder(std::move(startFolder)),
      m_databasePath(m_startFolder + QStringLiteral("/Norvane.dat")),
      m_solverPath(m_startFolder + QStringLiteral("/Norvane.dll")),
      m_settings(defaultSettings(m_startFolder)),
      m_mainForm(std::make_unique<MainForm>(platform, m_input, m_file, m_settings, m_databasePath)),
      m_resultsForm(std::make_unique<ResultsForm>(m_resultsDisplay, m_results)),
      m_calculation(std::make_unique<CalculationController>(*this)),
      m_fileCommands(std::make_unique<FileCommands>(platform, *m_mainForm, m_file, m_settings)),
      m_exitSequence(std::make_unique<ExitSequence>(*this))
{
    MainForm* form = m_mainForm.get();
    QObject::connect(form->KeepNowMenu, &QAction::triggered, form,
                     [this] { WriteSettings(*this); });
    QObject::connect(form->AboutMenu, &QAction::triggered, form,
                     [this] { showAboutForm(m_platform, *m_mainForm); });
    auto* outlets = new ResultOutlets(*this, form);
    QObject::connect(m_resultsForm->CopyButton, &QPushButton::clicked, outlets,
                     &ResultOutlets::onCopyButtonClicked);
    QObject::connect(form->SaveResultItem, &QAction::triggered, outlets,
                     &ResultOutlets::onSaveResultItemTriggered);
    auto* registration = new RegistrationCommand(*this, form);
    QObject::connect(form->RegisterItem, &QAction::triggered, registration,
                     &RegistrationCommand::onRegisterItemTriggered);
    new CompositionCommand(*this, form);
    connectPrintCommands(*this);
}

NorvantaApplication::~NorvantaApplication() = default;

void NorvantaApplication::showMainWindow()
{
    m_mainForm->show();
    m_mainForm->focusFirstCoefficient();
}

} // namespace norvanta
