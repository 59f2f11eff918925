#pragma once

#include "common/platform.h"

#include <QString>

namespace norvanta {

// What the main window knows about the reaction file it works on.
//
// Paths are kept exactly as chosen in the dialogs, because reading and
// writing go through them and file names are case-sensitive here. Titles are
// kept in upper case: they are what the caption shows. The dialogs propose
// the name from the path, as it was chosen.
// The folder both dialogs start in is the settings value UsualDirectory.
struct FileState {
    bool DataModified = false;   // the fields were edited since the last open, save or clear
    bool FileNameKnown = false;  // a file was opened or saved under a name in this run
    QString CurrentFilePath;     // the file Save writes to
    QString CurrentFileTitle;    // its name, upper case
    QString OpenedFilePath;      // last chosen in Open, or last saved under a name
    QString OpenedFileTitle;     // its name, upper case

    bool operator==(const FileState&) const = default;
};

// Open: the chosen file becomes the opened file and its folder the dialogs'
// folder, whether or not it can then be read. The folder keeps its case so
// that the next dialog finds it again (Save As likewise remembers the
// DirectoryOf the chosen path as soon as a name is chosen).
void rememberOpenChoice(FileState& state, QString& usualDirectory, const FileChoice& choice);

// Open: the file's reaction is in the fields; Save now writes back to it.
void markOpened(FileState& state);

// Save As: the file was written under the chosen name, which only now becomes
// the target of Save, so a refused overwrite or a failed write keeps the old one.
void markSavedAs(FileState& state, const FileChoice& choice);

// The main window's caption with a file: "Norvanta - " and its name in upper case.
QString windowCaption(const QString& fileTitle);

// The caption with no file.
QString plainWindowCaption();

} // namespace norvanta
