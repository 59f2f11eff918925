#include "app/shutdown.h"

#include "app/application.h"
#include "app/calculation_controller.h"
#include "app/main_form.h"
#include "app/settings_commands.h"
#include "app/startup.h"
#include "app/window_placement.h"
#include "common/platform.h"
#include "files/placement_marker.h"
#include "files/user_store.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

namespace {

// Every window closes, which ends the event loop. The explicit exit covers a
// window that would not close; outside an event loop it is left out, as it
// would stop the next loop before it runs.
void endProgram()
{
    QApplication::closeAllWindows();
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

} // namespace

ExitSequence::ExitSequence(NorvantaApplication& app) : m_app(app)
{
    MainForm& form = app.mainForm();
    connect(form.ExitMenu, &QAction::triggered, this, [this] { exitProgram(); });
    connect(form.ExitButton, &QPushButton::clicked, this, [this] { exitProgram(); });
    form.installEventFilter(this);
}

bool ExitSequence::exitProgram()
{
    if (m_ended)
        return true;
    rememberPosition();
    if (m_app.fileState().DataModified &&
        !askYesNo(m_app.platform(), u"Norvantaの終了"_s,
                  u"現在の反応系データを保存していませんが強制終了しますか？"_s))
        return false;
    TerminateProcess();
    return true;
}

void ExitSequence::TerminateProcess()
{
    writeExitFiles();
    endProgram();
}

void ExitSequence::finishOnSignal()
{
    m_app.calculation().MainTimer->stop();
    rememberPosition();
    writeExitFiles();
}

void ExitSequence::rememberPosition()
{
    MainForm& form = m_app.mainForm();
    Platform& platform = m_app.platform();
    if (!form.isMinimized()) {
        const QPointF position = windowPositionTwips(form);
        storeMainWindowEdges(platform, float(position.x()), float(position.y()));
    }
    storeFindText(platform, form.FindText->text());
}

void ExitSequence::writeExitFiles()
{
    WriteSettings(m_app);
    if (m_app.mainForm().isMinimized())
        writePlacementMarker(startFolderFile(m_app, placementMarkerFileName()), u"A"_s);
    m_ended = true;
}

bool ExitSequence::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_app.mainForm() && event->type() == QEvent::Close && !m_ended) {
        // Closing by the frame is the exit command; No keeps the window open.
        if (!exitProgram()) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace norvanta
