#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace norvanta {

enum class MessageIcon { None, Information, Exclamation, Question, Error };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct FileDialogRequest {
    QString title;
    // Filter list in the program's "description|pattern|description|pattern" form.
    QString filter;
    int filterIndex = 0;
    QString initialDirectory;
    QString proposedName;
};

struct FileChoice {
    QString fullPath;
    QString fileName;
    // The entry of the request's filter list selected when the dialog
    // closed, counted from 0; -1 when none is known.
    int filterIndex = -1;
};

// The choice with the selected filter's extension (".txt" of "*.txt")
// appended when the name typed has none; a filter of several patterns or of
// "*.*" adds nothing.
FileChoice withFilterExtension(const FileChoice& choice, const QString& filter);

// Everything that would block a test or reach outside the process: message
// boxes, file dialogs, the clipboard, printers, the per-user store, the
// screen and the single-instance check. The program uses the Qt
// implementation; tests use a scripted fake that records every message.
class Platform {
public:
    virtual ~Platform() = default;

    virtual MessageAnswer messageBox(const QString& title, const QString& text, MessageIcon icon,
                                     MessageButtons buttons, MessageAnswer defaultAnswer) = 0;

    // Empty when the user cancelled.
    virtual std::optional<FileChoice> openFileDialog(const FileDialogRequest& request) = 0;
    // The name as typed, completed with the selected filter's extension, so
    // "smr" under "*.txt" saves smr.txt.
    std::optional<FileChoice> saveFileDialog(const FileDialogRequest& request)
    {
        std::optional<FileChoice> choice = chooseSaveFile(request);
        if (choice)
            *choice = withFilterExtension(*choice, request.filter);
        return choice;
    }

    // Clears the clipboard and puts the text on it as plain text.
    virtual void setClipboardText(const QString& text) = 0;

    virtual QStringList installedPrinters() = 0;
    virtual QString currentPrinter() = 0;
    virtual void setCurrentPrinter(const QString& deviceName) = 0;

    // Per-user store, by application, section and key; values are text.
    virtual QString userSetting(const QString& application, const QString& section,
                                const QString& key, const QString& defaultValue) = 0;
    virtual void setUserSetting(const QString& application, const QString& section,
                                const QString& key, const QString& value) = 0;

    // Available screen size in pixels.
    virtual QSize screenSize() = 0;

    // True when this is the only running instance for this user.
    virtual bool acquireSingleInstance() = 0;

protected:
    // The save dialog's answer as the user gave it; empty when cancelled.
    virtual std::optional<FileChoice> chooseSaveFile(const FileDialogRequest& request) = 0;
};

// Shorthands for the program's usual message forms.
inline void showMessage(Platform& platform, const QString& text, MessageIcon icon,
                        const QString& title = QStringLiteral("Norvanta"))
{
    platform.messageBox(title, text, icon, MessageButtons::Ok, MessageAnswer::Ok);
}

inline bool askYesNo(Platform& platform, const QString& title, const QString& text,
                     MessageAnswer defaultAnswer = MessageAnswer::No)
{
    return platform.messageBox(title, text, MessageIcon::Question, MessageButtons::YesNo,
                               defaultAnswer) == MessageAnswer::Yes;
}

} // namespace norvanta
