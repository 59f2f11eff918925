#include "result_printing.h"

#include "print_font.h"
#include "printer_choice.h"
#include "printer_page.h"
#include "result_page.h"

#include "common/failure.h"
#include "common/platform.h"
#include "common/text_file.h"
#include "files/file_command_prompts.h"
#include "results/results_form.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace norvanta {

namespace {

QString startQuestion(bool colour, const QString& printer)
{
    // A file needs no paper: its question names the file instead.
    if (printer == kPdfFilePrinter)
        return colour ? QStringLiteral("計算結果をPDFファイルにカラー印刷しますか？")
                      : QStringLiteral("計算結果をPDFファイルにモノクロ印刷しますか？");
    return (colour ? QStringLiteral("計算結果のカラー印刷を開始しますか？")
                   : QStringLiteral("計算結果のモノクロ印刷を開始しますか？")) +
           QStringLiteral("\r\n(") + printer + QStringLiteral("にA4の用紙をｾｯﾄして下さい。)");
}

FileDialogRequest pdfFileDialog(const QString& usualDirectory)
{
    return {QStringLiteral("PDFファイルに印刷"),
            QStringLiteral("PDFファイル(*.PDF)|*.pdf|全てのファイル(*.*)|*.*"), 0, usualDirectory,
            QString()};
}

FileMessage printerFailureMessage(const QString& printer)
{
    return {QStringLiteral("Norvanta"),
            printer + QStringLiteral("に印刷できません。プリンタの状態を確認してください。"),
            MessageIcon::Exclamation};
}

} // namespace

ResultPrinting::ResultPrinting(Platform& platform, ResultsForm& resultsForm, QProgressBar& progBar,
                               QLabel& message, JobSource jobSource, QObject* parent, Clock clock)
    : QObject(parent), platform_(platform), resultsForm_(resultsForm), progBar_(progBar),
      message_(message), jobSource_(std::move(jobSource)), clock_(std::move(clock))
{
    connect(resultsForm_.PrintButton, &QPushButton::clicked, this,
            &ResultPrinting::onPrintButtonClicked);
    connect(resultsForm_.PrintTimer, &QTimer::timeout, this, &ResultPrinting::onPrintTimerTick);
}

std::optional<QString> ResultPrinting::choosePdfFile(const QString& usualDirectory)
{
    const std::optional<FileChoice> choice =
        platform_.saveFileDialog(pdfFileDialog(usualDirectory));
    if (!choice)
        return std::nullopt;
    if (FileExists(choice->fullPath)) {
        const FileMessage question = overwriteQuestion(choice->fullPath);
        if (!askYesNo(platform_, question.title, question.text))
            return std::nullopt;
    }
    return choice->fullPath;
}

void ResultPrinting::onPrintButtonClicked()
{
    const PrintJob job = jobSource_();
    PrintTarget target{currentPrinterName(platform_), {}};
    if (!askYesNo(platform_, QStringLiteral("Norvanta"),
                  startQuestion(job.colour, target.printerName), MessageAnswer::Yes))
        return;
    if (target.printerName == kPdfFilePrinter) {
        const std::optional<QString> path = choosePdfFile(job.usualDirectory);
        if (!path)
            return;
        target.pdfPath = *path;
    }

    message_.hide();
    progBar_.setValue(0);
    progBar_.show();

    PrinterPage page(target, job.colour);
    resultsForm_.PrintButton->setEnabled(false);
    progBar_.setValue(10);

    ResultPageInput input{job.report, job.colour, printFontFamily(job.printFontName),
                          job.printFontSize};
    input.report.timestamp = clock_();
    bool sent = false;
    if (page.isOpen()) {
        DrawResultPage(page.canvas(), input, [this](int value) { progBar_.setValue(value); });
        sent = page.finish();
    }
    // The bar reaches 100 only for a page that came out.
    if (sent)
        progBar_.setValue(100);
    resultsForm_.PrintButton->setEnabled(true);
    resultsForm_.PrintTimer->start();

    if (!sent) {
        const FileMessage message = target.toPdfFile()
                                        ? saveAsFailureMessage(FailureCode::PermissionDenied)
                                        : printerFailureMessage(target.printerName);
        showMessage(platform_, message.text, message.icon, message.title);
    }
}

void ResultPrinting::onPrintTimerTick()
{
    resultsForm_.PrintTimer->stop();
    progBar_.hide();
}

} // namespace norvanta
