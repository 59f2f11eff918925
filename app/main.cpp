#include "results/fonts.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    norvanta::installFontSubstitutions();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Norvanta"));
    window.menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    window.menuBar()->addMenu(QStringLiteral("オプション(&O)"));
    window.menuBar()->addMenu(QStringLiteral("追加(&A)"));
    window.menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    window.show();
    return app.exec();
}
