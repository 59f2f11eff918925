#include "app/result_outlets.h"

#include "app/application.h"
#include "app/main_form.h"
#include "files/file_command_prompts.h"
#include "files/unstorable_text.h"
#include "results/report_text.h"
#include "results/results_form.h"

#include "common/failure.h"
#include "common/platform.h"
#include "common/text_file.h"

#include <QDateTime>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

FileDialogRequest resultFileDialog(const QString& folder, const QString& proposedName)
{
    return {
        u"名前を付けて結果ファイルを保存"_s,
        u"標準テキスト型Excelファイル(*.XLS)|*.xls|標準テキスト(*.TXT)|*.txt|全てのファイル(*.*)|*.*"_s,
        0, folder, proposedName};
}

} // namespace

ResultOutlets::ResultOutlets(NorvantaApplication& app, QObject* parent)
    : QObject(parent), m_app(app)
{
}

ResultReportInput currentReportInput(NorvantaApplication& app)
{
    ResultReportInput input;
    input.fields = app.mainForm().fields();
    input.limitPos = app.settings().LimitPos;
    input.temperatureUnit = app.resultsDisplay().temperatureUnit;
    input.energyUnit = app.resultsDisplay().energyUnit;
    // The rows of the mode the shown results were computed in: a TetraPrec
    // click after the calculation must not bring out points it did not compute.
    input.tetraPrecision = app.resultsForm().tetraPrecision();
    input.table = app.results();
    input.caltoj = app.constants().calToJ;
    input.timestamp = QDateTime::currentDateTime();
    return input;
}

QString ResultOutlets::reportText() const
{
    return MakeResultText(currentReportInput(m_app));
}

void ResultOutlets::onCopyButtonClicked()
{
    Platform& platform = m_app.platform();
    platform.setClipboardText(reportText());
    showMessage(platform, u"クリップボードに数値データをコピーしました"_s,
                MessageIcon::Information);
}

void ResultOutlets::onSaveResultItemTriggered()
{
    Platform& platform = m_app.platform();
    QString& folder = m_app.resultFileFolder();
    const std::optional<FileChoice> choice =
        platform.saveFileDialog(resultFileDialog(folder, m_resultFileName));
    if (!choice)
        return;

    // The file is written under the path as chosen, and the next dialog
    // proposes the name and opens the folder as they were chosen.
    const QString& path = choice->fullPath;
    m_resultFileName = choice->fileName;
    folder = DirectoryOf(path);

    if (FileExists(path)) {
        const FileMessage question = overwriteQuestion(path);
        if (!askYesNo(platform, question.title, question.text))
            return;
    }
    const QString text = reportText() + u"\r\n"_s;
    // The report carries the pressure text as typed; a character the code
    // page cannot hold would be written as a substitute byte, so the save is
    // refused and an existing file stays.
    if (const QString outside = firstCharacterOutsideShiftJis(text); !outside.isEmpty()) {
        showMessage(platform, unstorableTextMessage(outside), MessageIcon::Exclamation);
        return;
    }
    try {
        writeShiftJisFile(path, text);
    } catch (const Failure& failure) {
        const FileMessage message = saveAsFailureMessage(failure.code());
        showMessage(platform, message.text, message.icon, message.title);
    }
}

} // namespace norvanta
