#pragma once

#include "common/platform.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

namespace norvanta::testing {

// One message box as the program asked for it.
struct RecordedMessage {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultAnswer = MessageAnswer::Ok;

    bool operator==(const RecordedMessage&) const = default;
};

// The program's two kinds of message box: a warning with OK, and a Yes/No
// question whose default is No.
RecordedMessage exclamation(const QString& title, const QString& text);
RecordedMessage question(const QString& title, const QString& text);

// A scripted platform for tests. It records every message box and answers
// from a queue; a message box with no scripted answer fails the test and is
// answered with its default button instead of blocking. File dialogs
// answer from their own queues the same way (an unscripted dialog fails the
// test and is cancelled). Clipboard, printers, the per-user store and the
// screen are kept in memory.
class FakePlatform : public Platform {
public:
    // Fails the test when scripted answers or dialog results were left unused.
    ~FakePlatform() override;

    // Scripting.
    void answerNext(MessageAnswer answer) { answers.push_back(answer); }
    void chooseInOpenDialog(std::optional<FileChoice> choice)
    {
        openResults.push_back(std::move(choice));
    }
    void chooseInSaveDialog(std::optional<FileChoice> choice)
    {
        saveResults.push_back(std::move(choice));
    }

    // The messages shown so far, oldest first, and a shorthand for their texts.
    std::vector<RecordedMessage> messages;
    QStringList messageTexts() const;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;

    std::deque<MessageAnswer> answers;
    std::deque<std::optional<FileChoice>> openResults;
    std::deque<std::optional<FileChoice>> saveResults;

    QString clipboardText;
    int clipboardWrites = 0;
    QStringList printers{QStringLiteral("Printer A"), QStringLiteral("Printer B")};
    QString printer = QStringLiteral("Printer A");
    // Per-user store, keyed "application/section/key".
    QMap<QString, QString> userStore;
    QSize screen{1280, 1024};
    bool anotherInstanceRunning = false;

    MessageAnswer messageBox(const QString& title, const QString& text, MessageIcon icon,
                             MessageButtons buttons, MessageAnswer defaultAnswer) override;
    std::optional<FileChoice> openFileDialog(const FileDialogRequest& request) override;
    void setClipboardText(const QString& text) override;
    QStringList installedPrinters() override { return printers; }
    QString currentPrinter() override { return printer; }
    void setCurrentPrinter(const QString& deviceName) override { printer = deviceName; }
    QString userSetting(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue) override;
    void setUserSetting(const QString& application, const QString& section, const QString& key,
                        const QString& value) override;
    QSize screenSize() override { return screen; }
    bool acquireSingleInstance() override { return !anotherInstanceRunning; }

    static QString storeKey(const QString& application, const QString& section, const QString& key);

protected:
    // The scripted choice's filterIndex stands for the filter left selected.
    std::optional<FileChoice> chooseSaveFile(const FileDialogRequest& request) override;
};

} // namespace norvanta::testing
