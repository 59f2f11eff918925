#pragma once

#include <QByteArray>
#include <QString>

namespace norvanta {

// The program's text files are Shift_JIS (code page 932) with CR LF line ends.
QString decodeShiftJis(const QByteArray& bytes);
QByteArray encodeShiftJis(const QString& text);

// The text codecs' name of the program's code page.
inline constexpr char kShiftJisCodec[] = "windows-31j";

// True when the named codec can both encode and decode. Without the Shift_JIS
// codec every file would be written empty, so the program refuses to start.
bool codecAvailable(const char* name);

// True when Shift_JIS holds every character of the text, so that the text
// reads back exactly as written. Where it does not, the encoder would put a
// substitute byte in its place: such text is refused, never written.
bool canStoreInShiftJis(QStringView text);

// The first character (one code point) of the text that Shift_JIS cannot
// hold; empty when it holds them all.
QString firstCharacterOutsideShiftJis(QStringView text);

// Reads a whole Shift_JIS file. Throws Failure{53} when it does not exist,
// {76} when its folder does not exist, {70} when it cannot be opened, {57}
// when reading fails.
QString readShiftJisFile(const QString& path);

// The file's bytes as they are, with the failures of readShiftJisFile.
QByteArray readFileBytes(const QString& path);

// Writes the text as Shift_JIS through a temporary file that replaces the
// target only when everything was written, so a failed write leaves the
// previous file whole. The text's line ends are written as they are.
// Throws Failure{5} when Shift_JIS cannot hold the text (nothing is written
// then; callers that can say why check canStoreInShiftJis first),
// Failure{76} when the folder does not exist, {70} when the file or
// folder may not be written or the name is anything but a regular file (a
// pipe, a device, a socket: never replaced), {61} for any other write failure.
void writeShiftJisFile(const QString& path, const QString& text);

// Writes the bytes as they are, the same way and with the same failures
// (except {5}) as writeShiftJisFile.
void writeFileBytes(const QString& path, const QByteArray& bytes);

// True when the file can be opened for reading (it is closed again at once).
// Anything but a regular file (a folder, a pipe, a device) counts as missing.
bool FileExists(const QString& path);

// The path up to and including its last separator ("/" here; "\\" and "/" on
// Windows); empty when the path is empty or has no separator.
QString DirectoryOf(const QString& path);

} // namespace norvanta
