#pragma once

#include "file_message.h"
#include "file_state.h"

#include "common/platform.h"

#include <QString>

namespace norvanta {

// The dialogs, questions and messages of the Open, Save and Save As commands.

// "標準テキスト(*.TXT)|*.txt|全てのファイル(*.*)|*.*", first entry selected.
QString reactionFileFilter();

// Open: starts in the dialogs' folder and proposes the last opened file's
// name as it was chosen.
FileDialogRequest openDialogRequest(const FileState& state, const QString& usualDirectory);

// Save As: starts in the dialogs' folder and proposes the current file's
// name as it was chosen.
FileDialogRequest saveAsDialogRequest(const FileState& state, const QString& usualDirectory);

// Open with unsaved edits: Yes replaces them with the file's reaction (No is the default).
FileMessage replaceUnsavedQuestion();

// Save As onto an existing file (No is the default). The path is shown in upper case.
FileMessage overwriteQuestion(const QString& path);

// Open: the first line is not a reaction file's header.
FileMessage wrongFormatMessage();

// Open: the file could not be read.
FileMessage openFailureMessage();

// Save As: a failure outside the writer, by its number.
FileMessage saveAsFailureMessage(int failureCode);

} // namespace norvanta
