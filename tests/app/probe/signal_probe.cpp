// The program as the termination tests need it: the main window on the real
// platform, a reaction typed and not saved, ended by a signal the test sends.
// Prints "ready" once the signal may come; with the argument "question" the
// exit question is open by then. Prints "answered" if that question ever
// returns, which a signal must never make it do. With "lock" it registers a
// compound, confirmed, and waits for Norvane.dat's lock, which the test holds.
#include "app/application.h"
#include "app/main_form.h"
#include "app/qt_platform.h"
#include "app/shutdown.h"
#include "app/termination_signal.h"
#include "database/compound_registration.h"
#include "files/file_state.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <memory>

using namespace norvanta;
using namespace Qt::Literals::StringLiterals;

namespace {

void say(const char* line)
{
    std::puts(line);
    std::fflush(stdout);
}

// The real platform, with every question answered Yes.
class ConfirmingPlatform : public QtPlatform {
public:
    using QtPlatform::QtPlatform;
    MessageAnswer messageBox(const QString&, const QString&, MessageIcon, MessageButtons,
                             MessageAnswer) override
    {
        return MessageAnswer::Yes;
    }
};

} // namespace

int main(int argc, char** argv)
{
    TerminationSignal::holdSignals();
    QApplication application(argc, argv);
    const QByteArray mode = argc > 1 ? argv[1] : "plain";
    const bool withQuestion = mode == "question";
    // Only the registration's confirmation is answered; the exit question stays open.
    const std::unique_ptr<QtPlatform> realPlatform =
        mode == "lock" ? std::make_unique<ConfirmingPlatform>(QDir::currentPath())
                       : std::make_unique<QtPlatform>(QDir::currentPath());
    QtPlatform& platform = *realPlatform;
    auto program = std::make_unique<NorvantaApplication>(platform, QDir::currentPath());
    const TerminationSignal termination([&program] { program->exitSequence().finishOnSignal(); });
    program->showMainWindow();

    MainForm& form = program->mainForm();
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    if (!QTest::qWaitForWindowActive(&form, 5000)) {
        say("not active");
        return 2;
    }
    const std::pair<QLineEdit*, QString> typed[] = {
        {form.ReactNum[0], u"1"_s},   {form.React[0], u"CO2"_s},  {form.Molar[0], u"1"_s},
        {form.ProductNum[0], u"2"_s}, {form.Product[0], u"CO"_s}, {form.Pressure, u"2"_s},
    };
    for (const auto& [box, text] : typed) {
        box->setFocus();
        QApplication::processEvents();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    if (!program->fileState().DataModified) {
        say("not modified");
        return 2;
    }

    QTimer questionWatch;
    QObject::connect(&questionWatch, &QTimer::timeout, [&questionWatch] {
        if (QApplication::activeModalWidget()) {
            questionWatch.stop();
            say("ready");
        }
    });
    QTimer::singleShot(0, [&] {
        if (mode == "lock") {
            say("ready");
            RegistrationEntry entry{u"Waiting"_s, {}, {}, false};
            entry.gibbs.fill(u"-10"_s);
            registerCompound(platform, QDir::current().filePath(u"Norvane.dat"_s), entry, 4.184);
            return;
        }
        if (!withQuestion) {
            say("ready");
            return;
        }
        questionWatch.start(10);
        form.ExitMenu->trigger();
        say("answered");
    });
    application.exec();
    say("returned");
    return 3;
}
