#pragma once

#include "common/text_file.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace norvanta::testing {

// A fresh folder holding one Norvane.dat written as Shift_JIS bytes.
class DataFileFolder {
public:
    QString path() const { return dir_.filePath(QStringLiteral("Norvane.dat")); }

    // Writes the lines, each ended by lineEnd, and returns the file's path.
    QString write(const QStringList& lines, const QString& lineEnd = QStringLiteral("\r\n")) const
    {
        return writeText(lines.join(lineEnd) + lineEnd);
    }

    QString writeText(const QString& text) const
    {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(encodeShiftJis(text));
        return path();
    }

    QByteArray bytes() const
    {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

private:
    QTemporaryDir dir_;
};

// A record line with the given name field as written and values that tell
// the record and the field apart: atom counts c, h, o and dG at 300..1000 K
// of base - 1, base - 2, ..., base - 8.
inline QString recordLine(const QString& nameField, int c, int h, int o, int base)
{
    QString line = nameField + QStringLiteral(", %1, %2, %3").arg(c).arg(h).arg(o);
    for (int k = 1; k <= 8; ++k)
        line += QStringLiteral(", %1").arg(base - k);
    return line;
}

// A genre of `count` generated records named <prefix>1, <prefix>2, ...
inline QStringList generatedGenre(const QString& header, const QString& prefix, int count)
{
    QStringList lines{header};
    for (int i = 1; i <= count; ++i)
        lines.append(recordLine(u'"' + prefix + QString::number(i) + u'"', 1, i % 7, 0, i));
    return lines;
}

} // namespace norvanta::testing
