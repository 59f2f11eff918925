// Printing from the program: the results window's PrintButton and the main
// window's ChangePrinterItem, down to the system's printing.
#include "calculation_fixture.h"

#include "printing/printer_sel_form.h"
#include "support/pdf_tools.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QLockFile>
#include <QPrinterInfo>
#include <QRegularExpression>

#include <pwd.h>
#include <unistd.h>

using namespace norvanta;
using namespace norvanta::testing;
using namespace Qt::StringLiterals;

namespace {

// The cups-pdf queue scripts/printing-setup.sh adds.
const QString kQueue = u"PDF"_s;

std::optional<QString> missingPdfQueue()
{
    if (QPrinterInfo::availablePrinterNames().contains(kQueue))
        return std::nullopt;
    return u"the system has no printer \"PDF\" (scripts/printing-setup.sh adds the cups-pdf queue)"_s;
}

// Where the queue puts its pages: PDF in the job owner's home folder. The
// tests' own HOME is a temporary folder, so the owner's comes from passwd.
QDir queueOutput()
{
    const passwd* user = getpwuid(getuid());
    return QDir(QString::fromLocal8Bit(user ? user->pw_dir : "/") + u"/PDF"_s);
}

// A complete PDF in the folder written since `since`; empty when none is there yet.
QString pdfWrittenSince(const QDir& folder, const QDateTime& since)
{
    for (const QFileInfo& file : folder.entryInfoList({u"*.pdf"_s}, QDir::Files)) {
        if (file.lastModified() >= since && pdfInfo(file.filePath()).contains(u"Pages:"_s))
            return file.filePath();
    }
    return {};
}

} // namespace

TEST_F(CalculationTest, PrintQuestionFollowsColorPrintModeMenu)
{
    typeOverviewReaction();
    calculate();
    form.ColorPrintModeMenu->trigger();
    ASSERT_EQ(settings.ColorPrintMode, 0);
    platform.answerNext(MessageAnswer::No);
    QTest::mouseClick(results.PrintButton, Qt::LeftButton);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(
        platform.messages[0].text,
        u"計算結果のモノクロ印刷を開始しますか？\r\n(Printer AにA4の用紙をｾｯﾄして下さい。)"_s);
}

TEST_F(CalculationTest, PrintsOneA4PageThroughTheSystemsPrinterChosenByTheUser)
{
    NORVANTA_REQUIRE(missingPdfQueue());
    NORVANTA_REQUIRE(missingPdfTools());
    platform.printers = QPrinterInfo::availablePrinterNames();
    platform.printer = QPrinterInfo::defaultPrinterName();
    typeOverviewReaction();
    calculate();

    form.ChangePrinterItem->trigger();
    auto* selection = form.findChild<PrinterSelForm*>(u"PrinterSelForm"_s);
    ASSERT_NE(selection, nullptr);
    selection->PrinterList->setEditText(kQueue);
    QTest::mouseClick(selection->OKButton, Qt::LeftButton);
    ASSERT_EQ(platform.printer, kQueue);

    // The queue's pages are told apart by their time: one printing test at a
    // time (the ja_JP run of this program may run beside this one).
    QLockFile queueLock(QDir::temp().filePath(u"norvanta-cups-pdf-test.lock"_s));
    ASSERT_TRUE(queueLock.lock());
    // File times on disk count whole seconds at worst.
    const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
    platform.answerNext(MessageAnswer::Yes);
    QTest::mouseClick(results.PrintButton, Qt::LeftButton);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.endsWith(u"(PDFにA4の用紙をｾｯﾄして下さい。)"_s));
    EXPECT_EQ(form.ProgBar->value(), 100);

    const QDir output = queueOutput();
    QString arrived;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            arrived = pdfWrittenSince(output, start);
            return !arrived.isEmpty();
        },
        60000))
        << "no page arrived in " << output.path().toStdString();
    const QString info = pdfInfo(arrived);
    EXPECT_TRUE(info.contains(QRegularExpression(u"Pages:\\s+1\\n"_s))) << info.toStdString();
    EXPECT_TRUE(info.contains(
        QRegularExpression(u"Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"_s)))
        << info.toStdString();
    QFile::remove(arrived);
}
