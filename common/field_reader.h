#pragma once

#include <QString>

namespace norvanta {

// Sequential reader of comma-separated items, the one reader behind the
// compound data file, constants.txt, reaction files and the settings file.
//
// Items are separated by commas and line ends (CR LF, LF or CR). Blanks and
// tabs before an item are skipped. An unquoted item runs to the next comma
// or line end, with its trailing blanks dropped. An item that begins with a
// double quote runs to the next double quote (or the end of the line); the
// rest of the line up to and including the next comma or line end is skipped.
// Reading when nothing is left throws Failure{62}.
class FieldReader {
public:
    explicit FieldReader(QString text);

    // True when no unread characters remain.
    bool atEnd() const { return pos_ >= text_.size(); }
    QString next();
    // True when the item last read was the last of its line: a line end or
    // the end of the text followed it.
    bool lineEnded() const { return lineEnded_; }

private:
    bool atLineEnd(qsizetype i) const;
    void consumeDelimiter();

    QString text_;
    qsizetype pos_ = 0;
    bool lineEnded_ = false;
};

} // namespace norvanta
