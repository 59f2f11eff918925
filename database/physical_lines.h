#pragma once

#include <QStringList>

namespace norvanta {

// The physical lines of a data file's text. CR LF, LF alone and CR alone each
// end a line; a line end at the very end of the text does not start another
// line, so "a\r\nb\r\n" is two lines and "a\r\n\r\n" is "a" and a blank line.
QStringList physicalLines(const QString& text);

} // namespace norvanta
