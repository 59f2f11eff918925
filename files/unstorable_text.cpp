#include "unstorable_text.h"

#include <QList>

namespace norvanta {

QString unstorableTextMessage(const QString& character)
{
    const char32_t codePoint = character.isEmpty() ? 0 : character.toUcs4().constFirst();
    const QString code =
        QStringLiteral("U+%1").arg(uint(codePoint), 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("ファイルに保存できない文字「") + character + QStringLiteral("」(") +
           code + QStringLiteral(")が含まれています。入力を確認して下さい。");
}

} // namespace norvanta
