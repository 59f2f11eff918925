#include "printer_page.h"

#include "common/failure.h"
#include "common/text_file.h"
#include "cups_queue.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>

namespace norvanta {

namespace {

const QString kDocumentName = QStringLiteral("Norvanta");
// The printers' high-quality resolution, also used for the PDF file.
constexpr int kPdfResolution = 1200;

} // namespace

PrinterPage::PrinterPage(const PrintTarget& target, bool colour)
{
    pdfPath_ = target.pdfPath;
    QPagedPaintDevice* device =
        target.toPdfFile() ? openPdfFile() : openPrinter(target.printerName, colour);
    if (!device || !painter_.begin(device))
        return;
    canvas_.emplace(painter_);
    // The page sets no line width: lines keep the device's thinnest pen.
    canvas_->setLineWidth(0);
}

PrinterPage::~PrinterPage()
{
    if (painter_.isActive())
        painter_.end();
}

QPagedPaintDevice* PrinterPage::openPrinter(const QString& name, bool colour)
{
    // An unknown name would leave the printer on another device; a queue that
    // turns jobs away would take the page and print nothing.
    if (!QPrinterInfo::availablePrinterNames().contains(name) || queueRefusesJobs(name))
        return nullptr;
    jobBefore_ = lastJobNumber(name);
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setPrinterName(name);
    if (printer_->printerName() != name)
        return nullptr;
    printer_->setDocName(kDocumentName);
    printer_->setPageOrientation(QPageLayout::Portrait);
    printer_->setPageSize(QPageSize(QPageSize::A4));
    // The page starts where the printer can print: its own smallest margins.
    const QPageLayout layout = printer_->pageLayout();
    printer_->setPageMargins(layout.minimumMargins(), layout.units());
    printer_->setColorMode(colour ? QPrinter::Color : QPrinter::GrayScale);
    return printer_.get();
}

// A file has no unprintable edge: the page's twips count from its corner.
// Colour needs no setting here, as the monochrome page draws in black only.
QPagedPaintDevice* PrinterPage::openPdfFile()
{
    if (!pdfBytes_.open(QIODevice::WriteOnly))
        return nullptr;
    pdfWriter_ = std::make_unique<QPdfWriter>(&pdfBytes_);
    pdfWriter_->setTitle(kDocumentName);
    pdfWriter_->setCreator(kDocumentName);
    pdfWriter_->setResolution(kPdfResolution);
    pdfWriter_->setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    return pdfWriter_.get();
}

Canvas& PrinterPage::canvas()
{
    if (canvas_)
        return *canvas_;
    return nowhere_;
}

bool PrinterPage::finish()
{
    if (!painter_.isActive() || !painter_.end())
        return false;
    if (pdfPath_.isEmpty()) {
        if (printer_->printerState() == QPrinter::Error)
            return false;
        // The print layer does not say whether the queue took the job: a
        // job numbered after the last one before printing says it did.
        const std::optional<int> jobAfter = lastJobNumber(printer_->printerName());
        return !jobBefore_ || (jobAfter && *jobAfter > *jobBefore_);
    }
    try {
        writeFileBytes(pdfPath_, pdfBytes_.data());
    } catch (const Failure&) {
        return false;
    }
    return true;
}

} // namespace norvanta
