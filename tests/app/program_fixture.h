#pragma once

#include "app/application.h"
#include "app/file_commands.h"
#include "app/main_form.h"
#include "app/startup.h"
#include "support/fake_platform.h"
#include "support/gui_helpers.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>

namespace norvanta::testing {

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Marks a file or folder immutable for as long as it lives: root, who runs
// the tests, writes through any permission but not through this mark.
class Immutable {
public:
    explicit Immutable(QString path) : m_path(std::move(path))
    {
        m_active = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path}) == 0;
    }
    ~Immutable()
    {
        if (m_active)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

    bool active() const { return m_active; }

private:
    QString m_path;
    bool m_active = false;
};

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

    // The Overview's example: 1 CO2 + 1 CH4 = 2 CO + 2 H2, 1:1, CO2 limiting, 1 atm.
    static ReactionFields exampleFields()
    {
        ReactionFields fields;
        fields.reactNum = {QStringLiteral("1"), QStringLiteral("1"), {}, {}};
        fields.react = {QStringLiteral("CO2"), QStringLiteral("CH4"), {}, {}};
        fields.molar = {QStringLiteral("1"), QStringLiteral("1"), {}, {}};
        fields.productNum = {QStringLiteral("2"), QStringLiteral("2"), {}, {}};
        fields.product = {QStringLiteral("CO"), QStringLiteral("H2"), {}, {}};
        fields.restrict = 0;
        fields.pressure = QStringLiteral("1");
        return fields;
    }

    FakePlatform platform;
    std::unique_ptr<NorvantaApplication> app;

private:
    QTemporaryDir m_folder;
    QString m_previousFolder;
};

} // namespace norvanta::testing
