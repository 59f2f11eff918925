#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

namespace norvanta {

class MainForm;
class Platform;
struct FileState;
struct SettingsValues;

// The reaction-file commands of the main window: Open, Save and Save As from
// the File menu and from their buttons, and SaveEquiData, which writes the
// fields to a reaction file.
//
// File operations use the path exactly as the dialog returned it; the upper
// case of the Parts' names is for the caption, the proposed names and the
// messages only.
class FileCommands : public QObject {
public:
    // The moment written into a saved file's header.
    using Clock = std::function<QDateTime()>;

    FileCommands(Platform& platform, MainForm& form, FileState& file, SettingsValues& settings);

    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Writes the current fields to the path. False when the file could not be
    // written; the save-error message has been shown then.
    bool SaveEquiData(const QString& path);

    void open();
    void save();
    void saveAs();

private:
    void connectCommands();
    // Runs a command from its button and leaves the focus on the calculate button.
    void runFromButton(void (FileCommands::*command)());
    void setSaveEnabled(bool enabled);

    Platform& m_platform;
    MainForm& m_form;
    FileState& m_file;
    SettingsValues& m_settings;
    Clock m_clock;
};

} // namespace norvanta
