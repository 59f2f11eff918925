#include "text_file.h"

#include "failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace norvanta {

namespace {

int failureForWrite(const QString& path, QFileDevice::FileError error)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return FailureCode::PathNotFound;
    // A read-only target fails before anything is written, with a plain write error.
    if (error == QFileDevice::PermissionsError || error == QFileDevice::OpenError ||
        (info.exists() && !info.isWritable()))
        return FailureCode::PermissionDenied;
    return FailureCode::DiskFull;
}
} // namespace

QString decodeShiftJis(const QByteArray& bytes)
{
    QStringDecoder decoder(kShiftJisCodec);
    return decoder.decode(bytes);
}

QByteArray encodeShiftJis(const QString& text)
{
    QStringEncoder encoder(kShiftJisCodec);
    return encoder.encode(text);
}

bool codecAvailable(const char* name)
{
    return QStringEncoder(name).isValid() && QStringDecoder(name).isValid();
}

bool canStoreInShiftJis(QStringView text)
{
    QStringEncoder encoder(kShiftJisCodec);
    QStringDecoder decoder(kShiftJisCodec);
    const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError() && QString(decoder.decode(bytes)) == text;
}

QString firstCharacterOutsideShiftJis(QStringView text)
{
    if (canStoreInShiftJis(text))
        return {};
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        const QStringView character = text.mid(i, length);
        if (!canStoreInShiftJis(character))
            return character.toString();
        i += length;
    }
    return {};
}

QString readShiftJisFile(const QString& path)
{
    return decodeShiftJis(readFileBytes(path));
}

QByteArray readFileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const QFileInfo info(path);
        if (!info.absoluteDir().exists())
            throw Failure(FailureCode::PathNotFound);
        if (!info.exists())
            throw Failure(FailureCode::FileNotFound);
        throw Failure(FailureCode::PermissionDenied);
    }
    // In pieces, because readAll() cannot tell a read error from the end of
    // the file and would hand back what it got as if it were the whole file.
    QByteArray bytes;
    char piece[65536];
    for (;;) {
        const qint64 count = file.read(piece, sizeof piece);
        if (count < 0)
            throw Failure(FailureCode::DeviceError);
        if (count == 0)
            return bytes;
        bytes.append(piece, count);
    }
}

void writeShiftJisFile(const QString& path, const QString& text)
{
    if (!canStoreInShiftJis(text))
        throw Failure(FailureCode::InvalidArgument);
    writeFileBytes(path, encodeShiftJis(text));
}

void writeFileBytes(const QString& path, const QByteArray& bytes)
{
    // Only a regular file is replaced: a pipe, a device or a socket under the
    // name would be swapped for a regular file, and the reader or device
    // behind it would never get the bytes. (A folder fails on its own below.)
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile() && !existing.isDir())
        throw Failure(FailureCode::PermissionDenied);
    QSaveFile file(path);
    // Unbuffered, so that a short write (full disk, file size limit) shows in
    // write()'s count: a buffered flush at commit() takes a short write as
    // success and would replace the target with a truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Failure(failureForWrite(path, file.error()));
    if (file.write(bytes) != bytes.size()) {
        const auto error = file.error();
        file.cancelWriting();
        throw Failure(failureForWrite(path, error));
    }
    if (!file.commit())
        throw Failure(failureForWrite(path, file.error()));
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    QFile file(path);
    // Only a regular file: opening a pipe for reading would wait for a writer.
    if (!QFileInfo(path).isFile())
        return false;
    const bool ok = file.open(QIODevice::ReadOnly);
    file.close();
    return ok;
}

QString DirectoryOf(const QString& path)
{
#ifdef Q_OS_WIN
    const qsizetype last = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
#else
    const qsizetype last = path.lastIndexOf(u'/');
#endif
    return last < 0 ? QString() : path.left(last + 1);
}

} // namespace norvanta
