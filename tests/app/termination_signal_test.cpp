#include "app/termination_signal.h"

#include <QCloseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <csignal>

using namespace norvanta;

namespace {

// A window that keeps itself open, as the main window does when the user
// answers No to the question about unsaved reaction data.
class StayingWindow : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

} // namespace

TEST(TerminationSignal, SigtermAndSigintCloseTheWindowsAsTheFrameDoes)
{
    const TerminationSignal termination;
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        QWidget closing;
        StayingWindow staying;
        closing.show();
        staying.show();
        ASSERT_EQ(::raise(signal), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !closing.isVisible(); }, 5000));
        EXPECT_TRUE(staying.isVisible());
    }
}
