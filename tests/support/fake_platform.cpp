#include "support/fake_platform.h"

#include <gtest/gtest.h>

namespace norvanta::testing {

namespace {

std::string describe(const QString& title, const QString& text)
{
    return (title + QStringLiteral(": ") + text).toStdString();
}

std::optional<FileChoice> takeNext(std::deque<std::optional<FileChoice>>& queue)
{
    const bool chosen = queue.front().has_value();
    const FileChoice choice = chosen ? *queue.front() : FileChoice{};
    queue.pop_front();
    if (!chosen)
        return std::nullopt;
    return choice;
}

} // namespace

RecordedMessage exclamation(const QString& title, const QString& text)
{
    return {title, text, MessageIcon::Exclamation, MessageButtons::Ok, MessageAnswer::Ok};
}

RecordedMessage question(const QString& title, const QString& text)
{
    return {title, text, MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No};
}

FakePlatform::~FakePlatform()
{
    EXPECT_TRUE(answers.empty()) << answers.size() << " scripted message answer(s) left unused";
    EXPECT_TRUE(openResults.empty()) << openResults.size() << " open dialog result(s) left unused";
    EXPECT_TRUE(saveResults.empty()) << saveResults.size() << " save dialog result(s) left unused";
}

QStringList FakePlatform::messageTexts() const
{
    QStringList texts;
    for (const RecordedMessage& message : messages)
        texts += message.text;
    return texts;
}

MessageAnswer FakePlatform::messageBox(const QString& title, const QString& text, MessageIcon icon,
                                       MessageButtons buttons, MessageAnswer defaultAnswer)
{
    messages.push_back({title, text, icon, buttons, defaultAnswer});
    if (answers.empty()) {
        // Every message a test expects is scripted, OK boxes included.
        ADD_FAILURE() << "unexpected message box " << describe(title, text);
        return defaultAnswer;
    }
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    const bool fits = buttons == MessageButtons::YesNo ? answer != MessageAnswer::Ok
                                                       : answer == MessageAnswer::Ok;
    EXPECT_TRUE(fits) << "scripted answer does not fit the buttons of " << describe(title, text);
    return answer;
}

std::optional<FileChoice> FakePlatform::openFileDialog(const FileDialogRequest& request)
{
    openRequests.push_back(request);
    if (openResults.empty()) {
        ADD_FAILURE() << "unexpected open dialog " << request.title.toStdString();
        return std::nullopt;
    }
    return takeNext(openResults);
}

std::optional<FileChoice> FakePlatform::chooseSaveFile(const FileDialogRequest& request)
{
    saveRequests.push_back(request);
    if (saveResults.empty()) {
        ADD_FAILURE() << "unexpected save dialog " << request.title.toStdString();
        return std::nullopt;
    }
    return takeNext(saveResults);
}

void FakePlatform::setClipboardText(const QString& text)
{
    clipboardText = text;
    ++clipboardWrites;
}

QString FakePlatform::storeKey(const QString& application, const QString& section,
                               const QString& key)
{
    return application + u'/' + section + u'/' + key;
}

QString FakePlatform::userSetting(const QString& application, const QString& section,
                                  const QString& key, const QString& defaultValue)
{
    return userStore.value(storeKey(application, section, key), defaultValue);
}

void FakePlatform::setUserSetting(const QString& application, const QString& section,
                                  const QString& key, const QString& value)
{
    userStore.insert(storeKey(application, section, key), value);
}

} // namespace norvanta::testing
