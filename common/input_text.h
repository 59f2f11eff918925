#pragma once

#include "common/reaction_fields.h"

#include <QString>
#include <QStringView>

namespace norvanta {

// What a compound or number box takes in, as the calculation reads it: the
// full-width forms of ASCII (U+FF01..U+FF5E, typed with the input method in
// full-width mode) become their ASCII characters, the ideographic space a
// blank, and subscript and superscript digits (a pasted "CO₂") plain digits.
// Kana, kanji, half-width katakana and everything else stay as they are.
// Each character maps to one character, so positions in the text keep.
QString inputText(QStringView text);

// The same for every text of a reaction's fields.
ReactionFields inputFields(ReactionFields fields);

} // namespace norvanta
