#include "app/qt_platform.h"

#include "app/file_dialog_filter.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString userName()
{
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

std::optional<FileChoice> runFileDialog(const FileDialogRequest& request, bool save)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialDirectory);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // The commands ask their own question before overwriting a file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        // filterIndex counts the filter list's entries from 0.
        if (request.filterIndex >= 0 && request.filterIndex < filters.size())
            dialog.selectNameFilter(filters[request.filterIndex]);
    }
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    return FileChoice{path, QFileInfo(path).fileName(),
                      nameFilterIndex(filters, dialog.selectedNameFilter())};
}

} // namespace

QtPlatform::QtPlatform(QString lockDirectory) : m_lockDirectory(std::move(lockDirectory)) {}

QtPlatform::~QtPlatform() = default;

MessageAnswer QtPlatform::messageBox(const QString& title, const QString& text, MessageIcon icon,
                                     MessageButtons buttons, MessageAnswer defaultAnswer)
{
    QMessageBox box(toQtIcon(icon), title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    if (buttons == MessageButtons::YesNo) {
        box.addButton(QMessageBox::Yes)->setText(u"はい(&Y)"_s);
        box.addButton(QMessageBox::No)->setText(u"いいえ(&N)"_s);
        box.setDefaultButton(defaultAnswer == MessageAnswer::Yes ? QMessageBox::Yes
                                                                 : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.addButton(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Ok;
    }
}

std::optional<FileChoice> QtPlatform::openFileDialog(const FileDialogRequest& request)
{
    return runFileDialog(request, false);
}

std::optional<FileChoice> QtPlatform::chooseSaveFile(const FileDialogRequest& request)
{
    return runFileDialog(request, true);
}

void QtPlatform::setClipboardText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

QStringList QtPlatform::installedPrinters()
{
    return QPrinterInfo::availablePrinterNames();
}

QString QtPlatform::currentPrinter()
{
    // Every run starts with the system's default printer.
    if (!m_printerChosen)
        return QPrinterInfo::defaultPrinterName();
    return m_currentPrinter;
}

void QtPlatform::setCurrentPrinter(const QString& deviceName)
{
    m_currentPrinter = deviceName;
    m_printerChosen = true;
}

QString QtPlatform::userSetting(const QString& application, const QString& section,
                                const QString& key, const QString& defaultValue)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, application);
    settings.beginGroup(section);
    return settings.value(key, defaultValue).toString();
}

void QtPlatform::setUserSetting(const QString& application, const QString& section,
                                const QString& key, const QString& value)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, application);
    settings.beginGroup(section);
    settings.setValue(key, value);
}

QSize QtPlatform::screenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableSize() : QSize();
}

QString QtPlatform::lockFilePath() const
{
    QString directory = m_lockDirectory;
    QString name = u"Norvanta.lock"_s;
    if (directory.isEmpty())
        directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (directory.isEmpty()) {
        // The temporary folder is shared by every user: name the lock per user.
        directory = QDir::tempPath();
        name = u"Norvanta-"_s + userName() + u".lock"_s;
    }
    return QDir(directory).filePath(name);
}

bool QtPlatform::acquireSingleInstance()
{
    if (m_instanceLock && m_instanceLock->isLocked())
        return true;
    auto lock = std::make_unique<QLockFile>(lockFilePath());
    // The program may run for days: only a lock whose process is gone is stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_instanceLock = std::move(lock);
        return true;
    }
    // A folder where no lock can be made must not keep the program from starting;
    // only a lock held by a running instance refuses.
    return lock->error() != QLockFile::LockFailedError;
}

} // namespace norvanta
