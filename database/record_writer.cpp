#include "record_writer.h"

#include "common/failure.h"
#include "common/number_text.h"
#include "common/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace norvanta {

QString compoundRecordLine(const QString& name, const std::array<double, 3>& atoms,
                           const std::array<double, 8>& gibbs)
{
    QString line = u'"' + name + u'"';
    for (double count : atoms)
        line += u',' + blankSignedNumberText(count);
    for (double g : gibbs)
        line += u',' + blankSignedNumberText(g);
    return line + QStringLiteral("\r\n");
}

void appendCompoundRecord(const QString& path, const QString& line)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        throw Failure(info.absoluteDir().exists() ? FailureCode::FileNotFound
                                                  : FailureCode::PathNotFound);
    QFile file(path);
    // Unbuffered, so that a short write (full disk, file size limit) shows in
    // write()'s count instead of vanishing in a buffered flush. In append
    // mode, so that the record lands at the end even should another writer
    // have grown the file meanwhile. Never created: a file that went away
    // since the check above is missing, not a new empty data file.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered |
                   QIODevice::ExistingOnly))
        throw Failure(QFileInfo::exists(path) ? FailureCode::PermissionDenied
                                              : FailureCode::FileNotFound);

    // A Shift_JIS trail byte is never CR or LF, so the last byte tells
    // whether the last line was ended.
    const qint64 size = file.size();
    QByteArray bytes;
    if (size > 0) {
        char last = 0;
        if (!file.seek(size - 1) || !file.getChar(&last))
            throw Failure(FailureCode::PermissionDenied);
        if (last != '\n' && last != '\r')
            bytes = QByteArrayLiteral("\r\n");
    }
    bytes += encodeShiftJis(line);

    // The line end and the record go in one write, and a short write is cut
    // back: a half record would shift every field the readers meet after it.
    if (file.write(bytes) != bytes.size()) {
        if (!file.resize(size) || file.size() != size)
            throw Failure(FailureCode::PermissionDenied);
        throw Failure(FailureCode::DiskFull);
    }
}

} // namespace norvanta
