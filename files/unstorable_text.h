#pragma once

#include <QString>

namespace norvanta {

// The refusal to save a file that would hold a character Shift_JIS cannot
// store: the message names the first such character and its code point, so
// that an invisible one (a pasted non-breaking space) can be found as well.
// "ファイルに保存できない文字「₂」(U+2082)が含まれています。入力を確認して下さい。"
QString unstorableTextMessage(const QString& character);

} // namespace norvanta
