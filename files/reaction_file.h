#pragma once

#include "file_message.h"

#include "common/reaction_fields.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace norvanta {

// A reaction file: the header line "; 平衡計算標準ファイル:MM-DD-YYYY HH:MM:SS",
// then 22 quoted lines (ReactNum, React, Molar, ProductNum, Product for rows
// 0..3, the limiting compound's row, Pressure), Shift_JIS, CR LF after every
// line. Texts are stored exactly as typed, nothing escaped.

// The file's text for the fields, saved at the given moment. With no limiting
// compound selected the row written is 1.
QString reactionFileText(const ReactionFields& fields, const QDateTime& savedAt);

// Writes the reaction file, replacing the target only once all of it is
// written. Nothing when saved; otherwise the save-error message to show.
// A text Shift_JIS cannot hold is refused before anything is written, so
// the previous file stays as it was.
std::optional<FileMessage> saveReactionFile(const QString& path, const ReactionFields& fields,
                                            const QDateTime& savedAt);

enum class ReactionFileStatus {
    Read,         // the fields hold the file's reaction
    WrongFormat,  // the header is not a reaction file's; nothing to apply
    Unreadable,   // the file is missing, unreadable or empty
};

struct ReactionFileContent {
    ReactionFileStatus status = ReactionFileStatus::Unreadable;
    // When read: the twenty texts and the pressure (empty where the file ends
    // early) and the limiting compound's row, always 0..3.
    ReactionFields fields;
};

// Reads a reaction file's text. The header is accepted when its first field
// begins with ";" or contains "標準" or "ファイル"; the 22 fields follow in
// order for as long as the text lasts.
ReactionFileContent parseReactionFile(const QString& text);

// Reads and parses the reaction file at the path, used exactly as given.
ReactionFileContent openReactionFile(const QString& path);

// The limiting compound's row a file's limit field selects: its leading value
// rounded down, row 0 when that is outside 0..3.
int limitRowOf(const QString& limitText);

// The message of a failed save with the given failure number: the path
// message when the folder does not exist, the disk message otherwise.
FileMessage saveErrorMessage(int failureCode);

} // namespace norvanta
