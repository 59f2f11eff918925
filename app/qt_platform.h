#pragma once

#include "common/platform.h"

#include <QLockFile>

#include <memory>

namespace norvanta {

// The platform seam on Qt: message boxes, file dialogs, the clipboard, the
// installed printers, QSettings as the per-user store, the primary screen,
// and a per-user lock file as the single-instance check.
class QtPlatform : public Platform {
public:
    // The lock file lives in lockDirectory, or in the per-user runtime folder
    // (the temporary folder, named per user, when there is none) when empty.
    explicit QtPlatform(QString lockDirectory = {});
    ~QtPlatform() override;

    MessageAnswer messageBox(const QString& title, const QString& text, MessageIcon icon,
                             MessageButtons buttons, MessageAnswer defaultAnswer) override;

    std::optional<FileChoice> openFileDialog(const FileDialogRequest& request) override;

    void setClipboardText(const QString& text) override;

    QStringList installedPrinters() override;
    QString currentPrinter() override;
    void setCurrentPrinter(const QString& deviceName) override;

    QString userSetting(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue) override;
    void setUserSetting(const QString& application, const QString& section, const QString& key,
                        const QString& value) override;

    QSize screenSize() override;

    bool acquireSingleInstance() override;

    // Where the single-instance lock is kept.
    QString lockFilePath() const;

protected:
    std::optional<FileChoice> chooseSaveFile(const FileDialogRequest& request) override;

private:
    QString m_lockDirectory;
    std::unique_ptr<QLockFile> m_instanceLock;
    QString m_currentPrinter;
    bool m_printerChosen = false;
};

} // namespace norvanta
