#pragma once

#include <QString>

namespace norvanta {

// The count of registered records the registration window shows: the
// physical lines whose first character is not ";". Genre headers and
// comments starting in column 1 are not counted; blank lines and headers
// indented by blanks are.
int countRecordLines(const QString& text);

// The same for the file. Throws Failure{53} when it does not exist (76/70 as
// for any file read).
int countRecordLinesInFile(const QString& path);

} // namespace norvanta
