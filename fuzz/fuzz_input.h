#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace norvanta::fuzz {

// The fuzzer's bytes, as the readers meet them in a file.
inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A folder that lives as long as the fuzzer, for the readers that take a path.
inline const QTemporaryDir& scratchFolder()
{
    static const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/norvanta-fuzz-XXXXXX"));
    return folder;
}

// Writes the bytes as a file in the scratch folder and returns its path.
inline QString scratchFile(const QString& name, const QByteArray& bytes)
{
    const QString path = scratchFolder().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    return path;
}

// A property of the reader that the input broke: a finding like a crash.
inline void require(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace norvanta::fuzz
