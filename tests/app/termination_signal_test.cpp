// A termination signal ends the program at once, with exit status 0 and the
// typed reaction kept in Norvane.ini, whether or not a question is open; the
// question is never answered for the user.
#include "database/data_file_lock.h"
#include "support/test_files.h"

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

// A SIGTERM while the program starts (held back until the handler is in
// place, as the process's blocked mask shows) or while registration waits
// for another copy's lock on Norvane.dat: exit 0 within a second, nothing
// registered, the settings written.
TEST(TerminationSignal, EndsAtOnceWhileStartingOrWaitingForTheDataFileLock)
{
    for (const char* mode : {"plain", "lock"}) {
        SCOPED_TRACE(mode);
        QTemporaryDir work;
        QTemporaryDir home;
        const QByteArray stored = "\"CO2\", 1, 0, 2,-94, -94, -94, -94, -95, -95, -95, -95\r\n";
        writeBytes(work.filePath(u"Norvane.dat"_s), stored);
        const norvanta::DataFileLock held(work.filePath(u"Norvane.dat"_s));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"HOME"_s, home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, home.path());
        QProcess probe;
        probe.setWorkingDirectory(work.path());
        probe.setProcessEnvironment(environment);
        probe.start(QString::fromUtf8(NORVANTA_SIGNAL_PROBE_PATH), {QString::fromLatin1(mode)});
        ASSERT_TRUE(probe.waitForStarted(10000));
        if (qstrcmp(mode, "plain") == 0) {
            const auto termHeld = [&probe] {
                const QByteArray status = readBytes(u"/proc/%1/status"_s.arg(probe.processId()));
                const qsizetype at = status.indexOf("SigBlk:");
                return at >= 0 && (status.mid(at + 7, 18).trimmed().toULongLong(nullptr, 16) >>
                                   (SIGTERM - 1)) &
                                      1;
            };
            bool held = false;
            for (int i = 0; i < 5000 && !(held = termHeld()); ++i)
                ::usleep(1000);
            ASSERT_TRUE(held) << "SIGTERM never held back while the program started";
        } else {
            ASSERT_TRUE(probe.waitForReadyRead(20000));
            ::usleep(200'000); // into the wait
        }
        ASSERT_EQ(::kill(pid_t(probe.processId()), SIGTERM), 0);
        ASSERT_TRUE(probe.waitForFinished(qstrcmp(mode, "lock") == 0 ? 1000 : 20000));
        EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(probe.exitCode(), 0);
        EXPECT_EQ(readBytes(work.filePath(u"Norvane.dat"_s)), stored);
        if (qstrcmp(mode, "lock") == 0)
            EXPECT_TRUE(
                readBytes(work.filePath(u"Norvane.ini"_s)).contains("\"Reactant1=CO2\"\r\n"));
    }
}
