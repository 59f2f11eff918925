#include "printing/result_printing.h"

#include "common/text_file.h"
#include "page_fixture.h"
#include "printing/printer_sel_form.h"
#include "support/fake_platform.h"
#include "support/pdf_tools.h"
#include "support/test_files.h"

#include "results/fonts.h"
#include "results/results_form.h"

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace norvanta::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

QString startQuestion(const QString& mode, const QString& printer)
{
    if (printer == u"PDFファイル"_s)
        return u"計算結果をPDFファイルに"_s + mode + u"印刷しますか？"_s;
    return u"計算結果の"_s + mode + u"印刷を開始しますか？\r\n("_s + printer +
           u"にA4の用紙をｾｯﾄして下さい。)"_s;
}

RecordedMessage yesDefaultQuestion(const QString& text)
{
    return {u"Norvanta"_s, text, MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes};
}

// The print sequence between a real results window and the main window's
// progress bar and help line, printing the page of page_fixture.h.
class ResultPrintingTest : public ::testing::Test {
protected:
    ResultPrintingTest()
    {
        progBar->setRange(0, 100);
        progBar->hide();
        QObject::connect(progBar, &QProgressBar::valueChanged, [this](int value) {
            progress.emplace_back(value, results.PrintButton->isEnabled());
        });
    }

    // The job carries the time of the click; the page must carry the time it
    // is drawn, after the question (page_fixture.h's stamp).
    PrintJob job() const
    {
        PrintJob printJob{printedPage(kGothicFont).report, colour, kGothicFont, 10,
                          folder.path() + u'/'};
        printJob.report.timestamp = kClickTime;
        return printJob;
    }

    QDateTime clock() const
    {
        return platform.messages.empty() ? kClickTime : printedPage().report.timestamp;
    }

    const QDateTime kClickTime{QDate(2026, 12, 6), QTime(20, 40)};

    QString path(const QString& name) const { return folder.filePath(name); }

    // PrintButton pressed; the answers are scripted before.
    void print() { QTest::mouseClick(results.PrintButton, Qt::LeftButton); }

    // Nothing printed and nothing changed on either window.
    void expectUntouched()
    {
        EXPECT_TRUE(progress.empty());
        EXPECT_TRUE(progBar->isHidden());
        EXPECT_FALSE(message->isHidden());
        EXPECT_TRUE(results.PrintButton->isEnabled());
        EXPECT_FALSE(results.PrintTimer->isActive());
    }

    QTemporaryDir folder;
    FakePlatform platform;
    ResultsDisplayState display;
    ResultTable table;
    ResultsForm results{display, table};
    QWidget mainWindow;
    QProgressBar* progBar = new QProgressBar(&mainWindow);
    QLabel* message = new QLabel(&mainWindow);
    bool colour = true;
    ResultPrinting printing{platform, results, *progBar, *message, [this] { return job(); },
                            nullptr, [this] { return clock(); }};
    // Every value ProgBar took, with PrintButton's enabled state at that moment.
    std::vector<std::pair<int, bool>> progress;
};

TEST_F(ResultPrintingTest, NoAfterTheQuestionPrintsNothingAndTouchesNothing)
{
    for (const bool colourMode : {true, false}) {
        colour = colourMode;
        platform.messages.clear();
        platform.answerNext(MessageAnswer::No);
        print();
        EXPECT_EQ(platform.messages, std::vector{yesDefaultQuestion(startQuestion(
                                         colour ? u"カラー"_s : u"モノクロ"_s, u"Printer A"_s))});
        expectUntouched();
    }
}

TEST_F(ResultPrintingTest, TheQuestionNamesThePrinterChosenInTheSelectionWindow)
{
    auto* selection = new PrinterSelForm(platform, &mainWindow);
    selection->load();
    selection->PrinterList->setCurrentIndex(1);
    QTest::mouseClick(selection->OKButton, Qt::LeftButton);

    platform.answerNext(MessageAnswer::No);
    print();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, startQuestion(u"カラー"_s, u"Printer B"_s));
}

TEST_F(ResultPrintingTest, WithoutDefaultPrinterThePdfFileGetsOneA4PageOfTheResults)
{
    platform.printer.clear();
    platform.answerNext(MessageAnswer::Yes);
    platform.chooseInSaveDialog(FileChoice{path(u"result.pdf"_s), u"result.pdf"_s});
    print();

    EXPECT_EQ(platform.messages,
              std::vector{yesDefaultQuestion(startQuestion(u"カラー"_s, u"PDFファイル"_s))});
    ASSERT_EQ(platform.saveRequests.size(), 1u);
    EXPECT_EQ(platform.saveRequests[0].title, u"PDFファイルに印刷"_s);
    EXPECT_EQ(platform.saveRequests[0].filter,
              u"PDFファイル(*.PDF)|*.pdf|全てのファイル(*.*)|*.*"_s);
    EXPECT_EQ(platform.saveRequests[0].initialDirectory, folder.path() + u'/');

    // PrintButton is off from the page set-up until the page is out.
    const std::vector<std::pair<int, bool>> expected = {
        {0, true},   {10, false}, {20, false}, {30, false}, {40, false}, {50, false},
        {60, false}, {70, false}, {80, false}, {90, false}, {100, false}};
    EXPECT_EQ(progress, expected);
    EXPECT_TRUE(results.PrintButton->isEnabled());
    EXPECT_TRUE(message->isHidden());
    EXPECT_FALSE(progBar->isHidden());
    EXPECT_EQ(progBar->value(), 100);
    EXPECT_TRUE(results.PrintTimer->isActive());
    EXPECT_EQ(results.PrintTimer->interval(), 2000);
    // Written beside its place and moved there: nothing else is left in the folder.
    EXPECT_EQ(entriesOf(folder.path()), QStringList{u"result.pdf"_s});

    // PrintTimer's first tick hides the bar and stops the timer.
    EXPECT_TRUE(QTest::qWaitFor([this] { return progBar->isHidden(); }, 5000));
    EXPECT_FALSE(results.PrintTimer->isActive());

    NORVANTA_REQUIRE(missingPdfTools());
    const QString info = pdfInfo(path(u"result.pdf"_s));
    EXPECT_TRUE(info.contains(QRegularExpression(u"Pages:\\s+1\\n"_s))) << info.toStdString();
    EXPECT_TRUE(info.contains(
        QRegularExpression(u"Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"_s)))
        << info.toStdString();
    const QString text = pdfText(path(u"result.pdf"_s));
    for (const QString& expectedText :
         {u"化学平衡計算の結果"_s, u"日時 12-06-2026 20:45:36"_s, u"ﾟCO2+CH4=2CO+2H2"_s,
          u"CO2:CH4=1:1"_s, u"全圧:1 atm"_s, u"転化率./%"_s, u"log(Kp)"_s}) {
        EXPECT_TRUE(text.contains(expectedText)) << expectedText.toStdString();
    }
    EXPECT_TRUE(
        text.contains(QRegularExpression(u"\\b0\\s+-12\\.500\\s+3\\.25E-05\\s+45\\.60\\b"_s)))
        << text.toStdString();
    EXPECT_TRUE(
        text.contains(QRegularExpression(u"\\b800\\s+-22\\.000\\s+2\\.00E\\+00\\s+45\\.60\\b"_s)))
        << text.toStdString();
}

TEST_F(ResultPrintingTest, AnExistingPdfFileIsReplacedOnlyAfterYes)
{
    platform.printer = u"PDFファイル"_s;
    const QString existing = path(u"old.pdf"_s);
    writeBytes(existing, "kept");
    const RecordedMessage overwrite = question(
        u"上書き保存の確認"_s, existing.toUpper() + u"は既に存在します。上書きしますか？"_s);

    // Cancel in the dialog, then No to the overwrite question: nothing printed.
    platform.answerNext(MessageAnswer::Yes);
    platform.chooseInSaveDialog(std::nullopt);
    print();
    platform.answerNext(MessageAnswer::Yes);
    platform.chooseInSaveDialog(FileChoice{existing, u"old.pdf"_s});
    platform.answerNext(MessageAnswer::No);
    print();
    EXPECT_EQ(platform.messages.back(), overwrite);
    EXPECT_EQ(readBytes(existing), QByteArray("kept"));
    expectUntouched();

    platform.answerNext(MessageAnswer::Yes);
    platform.chooseInSaveDialog(FileChoice{existing, u"old.pdf"_s});
    platform.answerNext(MessageAnswer::Yes);
    print();
    EXPECT_TRUE(readBytes(existing).startsWith("%PDF-"));
    EXPECT_EQ(entriesOf(folder.path()), QStringList{u"old.pdf"_s});
}

TEST_F(ResultPrintingTest, APageThatDidNotComeOutIsReportedAndTheBarStopsShortOf100)
{
    const QString fileFailure =
        u"ファイルに書き込みができません。使用中でないか、ディスク容量が十分あるか確認してください。"_s;
    const struct {
        const char* name;
        QString printer;
        QString pdfFile;
        rlim_t sizeLimit; // 0: none
        QString message;
    } cases[] = {
        {"missing folder", u"PDFファイル"_s, u"missing/result.pdf"_s, 0, fileFailure},
        {"short write", u"PDFファイル"_s, u"old.pdf"_s, 4096, fileFailure},
        {"uninstalled printer",
         u"Printer A"_s,
         {},
         0,
         u"Printer Aに印刷できません。プリンタの状態を確認してください。"_s},
        {"a pipe as the file", u"PDFファイル"_s, u"pipe.pdf"_s, 0, fileFailure},
    };
    ASSERT_EQ(mkfifo(QFile::encodeName(path(u"pipe.pdf"_s)).constData(), 0600), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform.messages.clear();
        progress.clear();
        platform.printer = c.printer;
        writeBytes(path(u"old.pdf"_s), "kept");
        platform.answerNext(MessageAnswer::Yes);
        if (!c.pdfFile.isEmpty()) {
            platform.chooseInSaveDialog(FileChoice{path(c.pdfFile), c.pdfFile});
            if (FileExists(path(c.pdfFile)))
                platform.answerNext(MessageAnswer::Yes);
        }
        platform.answerNext(MessageAnswer::Ok);
        {
            std::optional<FileSizeLimit> limit;
            if (c.sizeLimit)
                ASSERT_TRUE(limit.emplace(c.sizeLimit).active());
            print();
        }
        EXPECT_EQ(platform.messages.back(), exclamation(u"Norvanta"_s, c.message));
        ASSERT_FALSE(progress.empty());
        EXPECT_LT(progress.back().first, 100);
        EXPECT_TRUE(results.PrintButton->isEnabled());
        EXPECT_EQ(readBytes(path(u"old.pdf"_s)), QByteArray("kept"));
        EXPECT_EQ(entriesOf(folder.path()), QStringList{u"old.pdf"_s});
        EXPECT_FALSE(QFileInfo(path(u"pipe.pdf"_s)).isFile()); // still the pipe
    }
}

// A queue that turns jobs away (made here beside the cups-pdf queue and set
// to reject) prints nothing and says so.
TEST_F(ResultPrintingTest, AQueueThatRefusesJobsIsReported)
{
    const QString queue = u"NorvantaRefusing"_s;
    if (QProcess::execute(u"lpadmin"_s, {u"-p"_s, queue, u"-v"_s, u"cups-pdf:/"_s, u"-E"_s}) != 0 ||
        QProcess::execute(u"cupsreject"_s, {queue}) != 0)
        GTEST_SKIP() << "no CUPS here that lets this user add a queue (scripts/printing-setup.sh)";
    platform.printer = queue;
    platform.answerNext(MessageAnswer::Yes);
    platform.answerNext(MessageAnswer::Ok);
    print();
    QProcess::execute(u"lpadmin"_s, {u"-x"_s, queue});
    EXPECT_EQ(platform.messages.back(),
              exclamation(u"Norvanta"_s,
                          queue + u"に印刷できません。プリンタの状態を確認してください。"_s));
    ASSERT_FALSE(progress.empty());
    EXPECT_LT(progress.back().first, 100);
}

} // namespace
} // namespace norvanta::testing
