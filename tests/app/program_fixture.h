#pragma once

#include "app/application.h"
#include "app/file_commands.h"
#include "app/main_form.h"
#include "app/startup.h"
#include "support/example_reactions.h"
#include "support/fake_platform.h"
#include "support/gui_helpers.h"
#include "support/test_files.h"

#include <QDateTime>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace norvanta::testing {

// The moment every test saves at: 6 December 2026, 20:45:36.
inline QDateTime fixedSaveTime()
{
    return QDateTime(QDate(2026, 12, 6), QTime(20, 45, 36));
}

// Each test runs the program in a fresh temporary working folder, on the
// scripted platform; the previous working folder comes back afterwards.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_previousFolder = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_folder.path()));
    }

    void TearDown() override
    {
        app.reset();
        QDir::setCurrent(m_previousFolder);
    }

    // A program as the title window loads it: constructed in the working
    // folder and started.
    void startProgram()
    {
        app = std::make_unique<NorvantaApplication>(platform, QDir::currentPath());
        app->fileCommands().setClock(fixedSaveTime);
        startMainWindow(*app);
    }

    // The program in the state start-up leaves, without start-up's files.
    void showProgram()
    {
        app = std::make_unique<NorvantaApplication>(platform, QDir::currentPath());
        app->fileCommands().setClock(fixedSaveTime);
        app->showMainWindow();
        showActive(form());
    }

    QString folder() const { return m_folder.path(); }
    QString path(const QString& name) const { return QDir(m_folder.path()).filePath(name); }

    MainForm& form() { return app->mainForm(); }
    FileState& file() { return app->fileState(); }
    SettingsValues& settings() { return app->settings(); }

    // The per-user store's entry of the program.
    QString store(const char* key) const
    {
        return platform.userStore.value(
            FakePlatform::storeKey(QStringLiteral("Norvanta"), QStringLiteral("COMMON"),
                                   QString::fromLatin1(key)));
    }
    QByteArray settingsBytes() const { return readBytes(path(QStringLiteral("Norvane.ini"))); }

    FakePlatform platform;
    std::unique_ptr<NorvantaApplication> app;

private:
    QTemporaryDir m_folder;
    QString m_previousFolder;
};

} // namespace norvanta::testing
