// A termination signal ends the program at once, with exit status 0 and the
// typed reaction kept in Norvane.ini, whether or not a question is open; the
// question is never answered for the user.
#include "support/test_files.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

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
