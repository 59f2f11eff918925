// The built program itself, started as separate processes on the offscreen
// platform: one instance per user, a lock left by a crash, no display.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kStartTimeoutMs = 30000;

const QByteArray kRefusal = u"Norvantaは既に起動しています。"_s.toUtf8();

class ProgramProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_work.isValid());
        ASSERT_TRUE(m_runtime.isValid());
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(QFile::exists(QString::fromUtf8(NORVANTA_PROGRAM_PATH)));
    }

    void TearDown() override
    {
        for (const auto& process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(kStartTimeoutMs);
            }
        }
    }

    // The program's environment: its own per-user folders, no real display.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_runtime.path());
        environment.insert(u"HOME"_s, m_home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home.path() + u"/config"_s);
        return environment;
    }

    QProcess& launch(const QProcessEnvironment& environment)
    {
        auto process = std::make_unique<QProcess>();
        process->setProgram(QString::fromUtf8(NORVANTA_PROGRAM_PATH));
        process->setWorkingDirectory(m_work.path());
        process->setProcessEnvironment(environment);
        process->start();
        EXPECT_TRUE(process->waitForStarted(kStartTimeoutMs));
        m_processes.push_back(std::move(process));
        return *m_processes.back();
    }

    QString work(const QString& name) const { return QDir(m_work.path()).filePath(name); }

    // Start-up is through once the placement marker is written.
    bool waitForStartUp() const
    {
        return QTest::qWaitFor([this] { return QFile::exists(work(u"Norvane.env"_s)); },
                               kStartTimeoutMs);
    }

    QTemporaryDir m_work;
    QTemporaryDir m_runtime;
    QTemporaryDir m_home;

private:
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST_F(ProgramProcessTest, ASecondInstanceIsRefusedAndTouchesNoFile)
{
    QProcess& first = launch(environment());
    ASSERT_TRUE(waitForStartUp());
    ASSERT_TRUE(QFile::remove(work(u"Norvane.env"_s)));
    ASSERT_TRUE(QFile::remove(work(u"Norvane.ini"_s)));

    QProcess& second = launch(environment());
    QByteArray errors;
    const bool refused = QTest::qWaitFor(
        [&] {
            errors += second.readAllStandardError();
            return errors.contains(kRefusal);
        },
        kStartTimeoutMs);
    EXPECT_TRUE(refused) << errors.toStdString();

    // The refusal waits in its message box; the working folder stays as it was.
    QTest::qWait(500);
    EXPECT_FALSE(QFile::exists(work(u"Norvane.env"_s)));
    EXPECT_FALSE(QFile::exists(work(u"Norvane.ini"_s)));
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_FALSE(first.readAllStandardError().contains(kRefusal));
}

TEST_F(ProgramProcessTest, ALockLeftByACrashDoesNotBlockTheNextStart)
{
    QProcess& crashed = launch(environment());
    ASSERT_TRUE(waitForStartUp());
    crashed.kill();
    ASSERT_TRUE(crashed.waitForFinished(kStartTimeoutMs));
    EXPECT_FALSE(QDir(m_runtime.path()).entryList(QDir::Files).isEmpty())
        << "the crash left no lock behind to test with";
    ASSERT_TRUE(QFile::remove(work(u"Norvane.env"_s)));

    QProcess& next = launch(environment());
    EXPECT_TRUE(waitForStartUp());
    EXPECT_EQ(next.state(), QProcess::Running);
    EXPECT_FALSE(next.readAllStandardError().contains(kRefusal));
}

TEST_F(ProgramProcessTest, WithoutADisplayTheProgramEndsWithAMessage)
{
    QProcessEnvironment environment = this->environment();
    for (const QString& name : {u"QT_QPA_PLATFORM"_s, u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s})
        environment.remove(name);
    QProcess& program = launch(environment);

    ASSERT_TRUE(program.waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_FALSE(program.readAllStandardError().isEmpty());
    EXPECT_TRUE(QDir(m_work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

} // namespace
