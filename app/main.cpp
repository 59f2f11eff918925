#include "app/application.h"
#include "app/japanese_ui.h"
#include "app/qt_platform.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    norvanta::installJapaneseUi(application);
    norvanta::QtPlatform platform;
    norvanta::NorvantaApplication norvanta(platform);
    norvanta.showMainWindow();
    return application.exec();
}
