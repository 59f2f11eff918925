#pragma once

#include "app/input_state.h"
#include "files/file_state.h"
#include "files/settings_file.h"

#include <memory>

namespace norvanta {

class MainForm;
class Platform;

// The program's composition root: owns the long-lived state and the windows,
// and hands the state to the windows by reference.
class NorvantaApplication {
public:
    explicit NorvantaApplication(Platform& platform);
    ~NorvantaApplication();
    NorvantaApplication(const NorvantaApplication&) = delete;
    NorvantaApplication& operator=(const NorvantaApplication&) = delete;

    Platform& platform() { return m_platform; }
    InputState& inputState() { return m_input; }
    FileState& fileState() { return m_file; }
    SettingsValues& settings() { return m_settings; }
    MainForm& mainForm() { return *m_mainForm; }

    // Shows the main window with the focus on the first coefficient box.
    void showMainWindow();

private:
    Platform& m_platform;
    InputState m_input;
    FileState m_file;
    SettingsValues m_settings;
    std::unique_ptr<MainForm> m_mainForm;
};

} // namespace norvanta
