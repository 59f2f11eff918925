#include "file_command_prompts.h"

#include "common/failure.h"
#include "common/number_text.h"
#include "common/text_file.h"

namespace norvanta {

namespace {

// The name is proposed as it was chosen, not as the upper-case title shows
// it: file names are case-sensitive here, and an upper-cased proposal names
// another file.
FileDialogRequest reactionFileDialog(const QString& title, const QString& usualDirectory,
                                     const QString& filePath)
{
    return {title, reactionFileFilter(), 0, usualDirectory,
            filePath.mid(DirectoryOf(filePath).size())};
}

} // namespace

QString reactionFileFilter()
{
    return QStringLiteral("標準テキスト(*.TXT)|*.txt|全てのファイル(*.*)|*.*");
}

FileDialogRequest openDialogRequest(const FileState& state, const QString& usualDirectory)
{
    return reactionFileDialog(QStringLiteral("反応系ファイルを開く"), usualDirectory,
                              state.OpenedFilePath);
}

FileDialogRequest saveAsDialogRequest(const FileState& state, const QString& usualDirectory)
{
    return reactionFileDialog(QStringLiteral("名前を付けて反応系ファイルを保存"), usualDirectory,
                              state.CurrentFilePath);
}

FileMessage replaceUnsavedQuestion()
{
    return {QStringLiteral("データの上書きの確認"),
            QStringLiteral("現在の反応系データを保存せずに新しい反応系ファイルの内容と入れ換えますか？"),
            MessageIcon::Question};
}

FileMessage overwriteQuestion(const QString& path)
{
    return {QStringLiteral("上書き保存の確認"),
            path.toUpper() + QStringLiteral("は既に存在します。上書きしますか？"),
            MessageIcon::Question};
}

FileMessage wrongFormatMessage()
{
    return {QStringLiteral("Norvanta"),
            QStringLiteral("このファイルはNorvantaの標準ファイル形式と異なります。別のファイルを指定して下さい。"),
            MessageIcon::Exclamation};
}

FileMessage openFailureMessage()
{
    return {QStringLiteral("Norvanta"),
            QStringLiteral("そのファイルは存在しません。ファイル名を確認して下さい。"),
            MessageIcon::Exclamation};
}

FileMessage saveAsFailureMessage(int failureCode)
{
    const QString text = failureCode == FailureCode::PermissionDenied
        ? QStringLiteral("ファイルに書き込みができません。使用中でないか、ディスク容量が十分あるか確認してください。")
        : QStringLiteral("内部エラー :") + blankSignedNumberText(failureCode);
    return {QStringLiteral("Norvanta"), text, MessageIcon::Exclamation};
}

} // namespace norvanta
