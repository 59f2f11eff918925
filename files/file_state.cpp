#include "file_state.h"

#include "common/text_file.h"

namespace norvanta {

void rememberOpenChoice(FileState& state, QString& usualDirectory, const FileChoice& choice)
{
    state.OpenedFilePath = choice.fullPath;
    state.OpenedFileTitle = choice.fileName.toUpper();
    usualDirectory = DirectoryOf(choice.fullPath);
}

void markOpened(FileState& state)
{
    state.FileNameKnown = true;
    state.DataModified = false;
    state.CurrentFilePath = state.OpenedFilePath;
    state.CurrentFileTitle = state.OpenedFileTitle;
}

void markSavedAs(FileState& state, const FileChoice& choice)
{
    state.DataModified = false;
    state.FileNameKnown = true;
    state.CurrentFilePath = choice.fullPath;
    state.CurrentFileTitle = choice.fileName.toUpper();
    state.OpenedFilePath = state.CurrentFilePath;
    state.OpenedFileTitle = state.CurrentFileTitle;
}

QString windowCaption(const QString& fileTitle)
{
    return QStringLiteral("Norvanta - ") + fileTitle.toUpper();
}

QString plainWindowCaption()
{
    return QStringLiteral("Norvanta");
}

} // namespace norvanta
