#include "app/file_commands.h"

#include "app/main_form.h"
#include "common/platform.h"
#include "common/text_file.h"
#include "files/file_command_prompts.h"
#include "files/file_state.h"
#include "files/reaction_file.h"
#include "files/settings_file.h"

#include <QAction>
#include <QPushButton>

namespace norvanta {

namespace {

void show(Platform& platform, const FileMessage& message)
{
    showMessage(platform, message.text, message.icon, message.title);
}

bool ask(Platform& platform, const FileMessage& question)
{
    return askYesNo(platform, question.title, question.text);
}

} // namespace

FileCommands::FileCommands(Platform& platform, MainForm& form, FileState& file,
                           SettingsValues& settings)
    : m_platform(platform), m_form(form), m_file(file), m_settings(settings),
      m_clock([] { return QDateTime::currentDateTime(); })
{
    connectCommands();
}

void FileCommands::connectCommands()
{
    connect(m_form.OpenItem, &QAction::triggered, this, &FileCommands::open);
    connect(m_form.SaveItem, &QAction::triggered, this, &FileCommands::save);
    connect(m_form.SaveAsItem, &QAction::triggered, this, &FileCommands::saveAs);
    connect(m_form.OpenButton, &QPushButton::clicked, this,
            [this] { runFromButton(&FileCommands::open); });
    connect(m_form.SaveButton, &QPushButton::clicked, this,
            [this] { runFromButton(&FileCommands::save); });
    connect(m_form.SaveAsButton, &QPushButton::clicked, this,
            [this] { runFromButton(&FileCommands::saveAs); });
}

void FileCommands::runFromButton(void (FileCommands::*command)())
{
    (this->*command)();
    m_form.CalButton->setFocus(Qt::OtherFocusReason);
}

void FileCommands::setSaveEnabled(bool enabled)
{
    m_form.SaveItem->setEnabled(enabled);
    m_form.SaveButton->setEnabled(enabled);
}

bool FileCommands::SaveEquiData(const QString& path)
{
    if (const auto error = saveReactionFile(path, m_form.fields(), m_clock())) {
        show(m_platform, *error);
        return false;
    }
    return true;
}

void FileCommands::open()
{
    if (m_file.DataModified && !ask(m_platform, replaceUnsavedQuestion()))
        return;
    const auto choice =
        m_platform.openFileDialog(openDialogRequest(m_file, m_settings.UsualDirectory));
    if (!choice)
        return;
    rememberOpenChoice(m_file, m_settings.UsualDirectory, *choice);

    const ReactionFileContent content = openReactionFile(choice->fullPath);
    switch (content.status) {
    case ReactionFileStatus::WrongFormat:
        // Not a reaction file: the fields and the caption stay as they are.
        show(m_platform, wrongFormatMessage());
        return;
    case ReactionFileStatus::Unreadable:
        m_form.setWindowTitle(plainWindowCaption());
        show(m_platform, openFailureMessage());
        return;
    case ReactionFileStatus::Read:
        break;
    }

    m_form.setWindowTitle(windowCaption(m_file.OpenedFileTitle));
    // Setting the fields raises their change effects; the file's reaction
    // then counts as unmodified.
    m_form.setFields(content.fields);
    m_form.CalButton->setFocus(Qt::OtherFocusReason);
    markOpened(m_file);
    setSaveEnabled(false);
}

void FileCommands::save()
{
    // Save is enabled only once a name is known; without one it asks for a name.
    if (m_file.CurrentFilePath.isEmpty()) {
        saveAs();
        return;
    }
    if (!SaveEquiData(m_file.CurrentFilePath)) {
        m_file.DataModified = true;
        return;
    }
    m_file.DataModified = false;
    setSaveEnabled(false);
}

void FileCommands::saveAs()
{
    const auto choice =
        m_platform.saveFileDialog(saveAsDialogRequest(m_file, m_settings.UsualDirectory));
    if (!choice)
        return;
    m_settings.UsualDirectory = DirectoryOf(choice->fullPath);
    if (FileExists(choice->fullPath) && !ask(m_platform, overwriteQuestion(choice->fullPath)))
        return;
    // The chosen name becomes the target of Save only once the file is
    // written, so a refused overwrite or a failed write keeps the old target.
    if (!SaveEquiData(choice->fullPath)) {
        m_file.DataModified = true;
        return;
    }
    markSavedAs(m_file, *choice);
    setSaveEnabled(true);
    m_form.setWindowTitle(windowCaption(m_file.CurrentFileTitle));
}

} // namespace norvanta
