#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace norvanta::testing {

// A file of the source tree, by its path relative to the repository root.
inline QString sourceFile(const QString& relative) {
    return QStringLiteral(NORVANTA_SOURCE_DIR "/") + relative;
}

inline QString shippedDatabasePath() {
    return sourceFile(QStringLiteral("data/Norvane.dat"));
}
inline QString shippedPolynomialPath() {
    return sourceFile(QStringLiteral("data/NorvaneThermo.dat"));
}
inline QString shippedThermoPath() {
    return sourceFile(QStringLiteral("data/thermo.inp"));
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace norvanta::testing
