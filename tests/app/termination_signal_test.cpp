#include "app/termination_signal.h"

#include <QCloseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <csignal>

using namespace norvanta;

namespace {

// A window that keeps itself open when asked to close, as the main window does
// when the user answers No to the question about unsaved reaction data.
class StayingWindow : public QWidget {
public:
    bool asked = false;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        asked = true;
        event->ignore();
    }
};

} // namespace

TEST(TerminationSignal, SigtermAndSigintCloseTheWindowsAsTheFrameDoes)
{
    const TerminationSignal termination;
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        QWidget window;
        window.show();
        ASSERT_EQ(::raise(signal), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 5000));
    }
}

TEST(TerminationSignal, AWindowThatStaysOpenKeepsTheProgramRunning)
{
    const TerminationSignal termination;
    StayingWindow window;
    window.show();
    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.asked; }, 5000));
    EXPECT_TRUE(window.isVisible());
}
