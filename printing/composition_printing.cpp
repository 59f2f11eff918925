#include "composition_printing.h"

#include "printer_choice.h"
#include "printer_page.h"

#include "common/failure.h"
#include "common/platform.h"
#include "common/text_file.h"
#include "files/file_command_prompts.h"

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

QString startQuestion(bool colour, const QString& printer)
{
    const QString mode = colour ? u"カラー"_s : u"モノクロ"_s;
    if (printer == kPdfFilePrinter)
        return u"平衡組成をPDFファイルに"_s + mode + u"印刷しますか？"_s;
    return u"平衡組成の"_s + mode + u"印刷を開始しますか？\r\n("_s + printer +
           u"にA4の用紙をｾｯﾄして下さい。)"_s;
}

} // namespace

void printComposition(Platform& platform, CompositionPrintJob job)
{
    PrintTarget target{currentPrinterName(platform), {}};
    if (!askYesNo(platform, u"Norvanta"_s, startQuestion(job.page.colour, target.printerName),
                  MessageAnswer::Yes))
        return;
    if (target.printerName == kPdfFilePrinter) {
        const std::optional<FileChoice> choice = platform.saveFileDialog(
            {u"PDFファイルに印刷"_s, u"PDFファイル(*.PDF)|*.pdf|全てのファイル(*.*)|*.*"_s, 0,
             job.usualDirectory, QString()});
        if (!choice)
            return;
        if (FileExists(choice->fullPath)) {
            const FileMessage question = overwriteQuestion(choice->fullPath);
            if (!askYesNo(platform, question.title, question.text))
                return;
        }
        target.pdfPath = choice->fullPath;
    }

    PrinterPage page(target, job.page.colour);
    job.page.timestamp = QDateTime::currentDateTime();
    if (page.isOpen())
        DrawCompositionPage(page.canvas(), job.page);
    if (page.isOpen() && page.finish())
        return;
    const FileMessage message =
        target.toPdfFile()
            ? saveAsFailureMessage(FailureCode::PermissionDenied)
            : FileMessage{u"Norvanta"_s,
                          target.printerName +
                              u"に印刷できません。プリンタの状態を確認してください。"_s,
                          MessageIcon::Exclamation};
    showMessage(platform, message.text, message.icon, message.title);
}

} // namespace norvanta
