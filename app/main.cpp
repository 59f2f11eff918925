#include "app/application.h"
#include "app/codec_check.h"
#include "app/display_check.h"
#include "app/japanese_ui.h"
#include "app/main_form.h"
#include "app/qt_platform.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "app/termination_signal.h"
#include "app/title_form.h"

#include <QApplication>
#include <QTextStream>

#include <memory>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv)
{
    norvanta::TerminationSignal::holdSignals();
    if (!norvanta::displayAvailable()) {
        QTextStream(stderr)
            << u"Norvanta: 表示先の画面がありません (DISPLAY が設定されていません)。"_s << Qt::endl;
        return 1;
    }
    QApplication application(argc, argv);
    norvanta::installJapaneseUi(application);
    norvanta::QtPlatform platform;
    if (!norvanta::checkShiftJisCodec(platform)) {
        QTextStream(stderr) << u"Norvanta: "_s << norvanta::codecMissingText() << Qt::endl;
        return 1;
    }
    std::unique_ptr<norvanta::NorvantaApplication> program;
    // Before the main window there is nothing to keep: the process just ends.
    const norvanta::TerminationSignal termination([&program] {
        if (program)
            program->exitSequence().finishOnSignal();
    });
    norvanta::TitleForm title(platform, [&](const QString& startFolder) -> QWidget* {
        program = std::make_unique<norvanta::NorvantaApplication>(platform, startFolder);
        norvanta::startMainWindow(*program);
        return &program->mainForm();
    });
    if (!title.start())
        return 0;
    return application.exec();
}
