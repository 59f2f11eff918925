#pragma once

#include <QValidator>

namespace norvanta {

// Keeps a one-line text box free of line breaks and other control
// characters (CR, LF, TAB, the C0 and C1 controls, and the Unicode line and
// paragraph separators): whatever enters the box, typed, pasted or set by
// the program from a file, has each inner run of them replaced by one blank
// and those at its ends removed. A line break that reached
// a reaction file or the settings file would break its line layout, so every
// later field would shift.
//
// Full-width ASCII, the ideographic space and subscript and superscript
// digits become what the calculation reads (inputText), so that a reaction
// typed in full-width mode is the one typed in ASCII.
//
// The box takes the rest of the text as it is; nothing else is refused here.
class SingleLineValidator : public QValidator {
public:
    explicit SingleLineValidator(QObject* parent) : QValidator(parent) {}

    State validate(QString& input, int& position) const override;
};

} // namespace norvanta
