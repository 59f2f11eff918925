#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

namespace norvanta::testing {

// The first bytes of every reaction file: "; 平衡計算標準ファイル:" in Shift_JIS.
inline const QByteArray kReactionFileHeader("\x3b\x20\x95\xbd\x8d\x74\x8c\x76\x8e\x5a\x95\x57\x8f"
                                            "\x80\x83\x74\x83\x40\x83\x43\x83\x8b\x3a");

// The file's bytes, or "<unreadable>" so that a comparison fails visibly.
inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Marks a file or folder immutable for as long as it lives: root, who runs
// the tests, writes through any permission but not through this mark.
class Immutable {
public:
    explicit Immutable(QString path) : m_path(std::move(path))
    {
        m_active = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path}) == 0;
    }
    ~Immutable()
    {
        if (m_active)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

    bool active() const { return m_active; }

private:
    QString m_path;
    bool m_active = false;
};

// The names in a folder, hidden ones included, sorted.
inline QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                  QDir::Name);
}

// Limits the size of any file this process writes, so that a write fails the
// way it does on a full disk; the tests run as root, where permissions would
// not stop a write. The previous limit comes back when it goes out of scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return active_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

} // namespace norvanta::testing
