#include "reaction_file.h"

#include "unstorable_text.h"

#include "common/failure.h"
#include "common/field_reader.h"
#include "common/number_text.h"
#include "common/text_file.h"

#include <cmath>

namespace norvanta {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString quotedLine(const QString& text)
{
    return u'"' + text + u'"' + kLineEnd;
}

bool isStandardHeader(const QString& header)
{
    return header.startsWith(u';') || header.contains(u"標準") || header.contains(u"ファイル");
}

} // namespace

QString reactionFileText(const ReactionFields& fields, const QDateTime& savedAt)
{
    QString text = QStringLiteral("; 平衡計算標準ファイル:")
                   + savedAt.toString(QStringLiteral("MM-dd-yyyy HH:mm:ss")) + kLineEnd;
    for (int k = 0; k < 4; ++k) {
        text += quotedLine(fields.reactNum[k]);
        text += quotedLine(fields.react[k]);
        text += quotedLine(fields.molar[k]);
        text += quotedLine(fields.productNum[k]);
        text += quotedLine(fields.product[k]);
    }
    const int limitRow = fields.restrict >= 0 && fields.restrict <= 3 ? fields.restrict : 1;
    text += quotedLine(QString::number(limitRow));
    text += quotedLine(fields.pressure);
    return text;
}

FileMessage saveErrorMessage(int failureCode)
{
    const QString text = failureCode == FailureCode::PathNotFound
        ? QStringLiteral("ﾊﾟｽ名が見つかりません")
        : QStringLiteral("保存に失敗しました。ディスク容量が不足しているかもしれません。確認して下さい。");
    return {QStringLiteral("保存のエラー"), text, MessageIcon::Exclamation};
}

std::optional<FileMessage> saveReactionFile(const QString& path, const ReactionFields& fields,
                                            const QDateTime& savedAt)
{
    const QString text = reactionFileText(fields, savedAt);
    if (const QString outside = firstCharacterOutsideShiftJis(text); !outside.isEmpty())
        return FileMessage{QStringLiteral("保存のエラー"), unstorableTextMessage(outside),
                           MessageIcon::Exclamation};
    try {
        writeShiftJisFile(path, text);
        return std::nullopt;
    } catch (const Failure& failure) {
        return saveErrorMessage(failure.code());
    }
}

int limitRowOf(const QString& limitText)
{
    const double row = std::floor(leadingValue(limitText));
    return row < 0 || row > 3 ? 0 : int(row);
}

ReactionFileContent parseReactionFile(const QString& text)
{
    FieldReader reader(text);
    if (reader.atEnd())
        return {ReactionFileStatus::Unreadable, {}};
    if (!isStandardHeader(reader.next()))
        return {ReactionFileStatus::WrongFormat, {}};

    // A short file leaves the remaining texts empty.
    const auto readSlot = [&reader] { return reader.atEnd() ? QString() : reader.next(); };
    ReactionFields fields;
    for (int k = 0; k < 4; ++k) {
        fields.reactNum[k] = readSlot();
        fields.react[k] = readSlot();
        fields.molar[k] = readSlot();
        fields.productNum[k] = readSlot();
        fields.product[k] = readSlot();
    }
    fields.restrict = limitRowOf(readSlot());
    fields.pressure = readSlot();
    return {ReactionFileStatus::Read, fields};
}

ReactionFileContent openReactionFile(const QString& path)
{
    try {
        return parseReactionFile(readShiftJisFile(path));
    } catch (const Failure&) {
        return {ReactionFileStatus::Unreadable, {}};
    }
}

} // namespace norvanta
