// A termination signal ends the program at once, with exit status 0 and the
// typed reaction kept in Norvane.ini, whether or not a question is open; the
// question is never answered for the user.
#include "database/data_file_lock.h"
#include "support/test_files.h"

#include <QFile>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta::testing;

TEST(TerminationSignal, EndsAtOnceWithTheTypedReactionWrittenAndNoQuestionAnswered)
{
    const struct {
        const char* name;
        const char* mode; // "question": the exit question is open when the signal comes
        int signal;
        int count; // signals sent back to back
    } cases[] = {
        {"SIGTERM", "plain", SIGTERM, 1},
        {"SIGTERM, question open", "question", SIGTERM, 1},
        {"SIGHUP, question open", "question", SIGHUP, 1},
        {"SIGINT", "plain", SIGINT, 1},
        {"SIGTERM then SIGINT and SIGHUP while handled", "question", SIGTERM, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir work;
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"HOME"_s, home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, home.path());
        QProcess probe;
        probe.setWorkingDirectory(work.path());
        probe.setProcessEnvironment(environment);
        probe.start(QString::fromUtf8(NORVANTA_SIGNAL_PROBE_PATH), {QString::fromLatin1(c.mode)});
        ASSERT_TRUE(probe.waitForStarted(10000));
        QByteArray said;
        while (!said.contains("\n") && probe.waitForReadyRead(20000))
            said += probe.readAllStandardOutput();
        ASSERT_EQ(said, "ready\n");

        const int followers[] = {SIGINT, SIGHUP};
        ASSERT_EQ(::kill(pid_t(probe.processId()), c.signal), 0);
        for (int i = 1; i < c.count; ++i)
            ::kill(pid_t(probe.processId()), followers[(i - 1) % 2]);
        ASSERT_TRUE(probe.waitForFinished(1000)) << "still running a second after the signal";
        EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(probe.exitCode(), 0);
        EXPECT_EQ(probe.readAllStandardOutput(), QByteArray()) << "the question was answered";

        const QByteArray settings = readBytes(work.filePath(u"Norvane.ini"_s));
        for (const char* line :
             {"\"ReactantNum1=1\"\r\n", "\"Reactant1=CO2\"\r\n", "\"MolarRatio1=1\"\r\n",
              "\"ProductNum1=2\"\r\n", "\"Product1=CO\"\r\n", "\"Pressure=2\"\r\n"})
            EXPECT_TRUE(settings.contains(line)) << line << " not in " << settings.toStdString();
    }
}

namespace {

// The probe started in a fresh working folder with a temporary home.
struct ProbeRun {
    QTemporaryDir work;
    QTemporaryDir home;
    QProcess probe;

    explicit ProbeRun(const char* mode)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"HOME"_s, home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, home.path());
        probe.setWorkingDirectory(work.path());
        probe.setProcessEnvironment(environment);
        probe.start(QString::fromUtf8(NORVANTA_SIGNAL_PROBE_PATH), {QString::fromLatin1(mode)});
    }

    // Whether the process holds back SIGTERM now, as its status file says.
    bool holdsTermBack() const
    {
        QFile status(u"/proc/%1/status"_s.arg(probe.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("SigBlk:"))
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
        }
        return false;
    }
};

} // namespace

// A SIGTERM while the program starts (held back until the handler is in
// place) or while registration waits for another copy's lock on Norvane.dat:
// the exit runs within a second, nothing is registered, the settings are written.
TEST(TerminationSignal, EndsAtOnceWhileStartingOrWaitingForTheDataFileLock)
{
    {
        ProbeRun run("plain");
        ASSERT_TRUE(run.probe.waitForStarted(10000));
        bool held = false;
        for (int i = 0; i < 5000 && !held; ++i) {
            held = run.holdsTermBack();
            if (!held)
                ::usleep(1000);
        }
        ASSERT_TRUE(held) << "SIGTERM was never held back while the program started";
        ASSERT_EQ(::kill(pid_t(run.probe.processId()), SIGTERM), 0);
        ASSERT_TRUE(run.probe.waitForFinished(20000));
        EXPECT_EQ(run.probe.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.probe.exitCode(), 0);
    }
    {
        ProbeRun run("lock");
        const QByteArray stored = "\"CO2\", 1, 0, 2,-94, -94, -94, -94, -95, -95, -95, -95\r\n";
        writeBytes(run.work.filePath(u"Norvane.dat"_s), stored);
        const norvanta::DataFileLock held(run.work.filePath(u"Norvane.dat"_s));
        QByteArray said;
        while (!said.contains("\n") && run.probe.waitForReadyRead(20000))
            said += run.probe.readAllStandardOutput();
        ASSERT_EQ(said, "ready\n");
        ::usleep(200'000); // into the wait
        ASSERT_EQ(::kill(pid_t(run.probe.processId()), SIGTERM), 0);
        ASSERT_TRUE(run.probe.waitForFinished(1000)) << "still waiting a second after the signal";
        EXPECT_EQ(run.probe.exitCode(), 0);
        EXPECT_EQ(readBytes(run.work.filePath(u"Norvane.dat"_s)), stored);
        EXPECT_TRUE(
            readBytes(run.work.filePath(u"Norvane.ini"_s)).contains("\"Reactant1=CO2\"\r\n"));
    }
}
