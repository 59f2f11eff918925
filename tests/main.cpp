// Test entry point: a QApplication on the offscreen platform, the per-user
// store in a temporary folder, the C locale (or the one NORVANTA_TEST_LOCALE names).
#include "results/fonts.h"

#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());

    const QByteArray locale = qgetenv("NORVANTA_TEST_LOCALE");
    if (!locale.isEmpty()) {
        qputenv("LC_ALL", locale);
        qputenv("LANG", locale);
        std::setlocale(LC_ALL, locale.constData());
    }

    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path() + QStringLiteral("/settings"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path() + QStringLiteral("/settings"));
    QLocale::setDefault(locale.isEmpty() ? QLocale::c() : QLocale(QString::fromLatin1(locale)));
    norvanta::installFontSubstitutions();

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
