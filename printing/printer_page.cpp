#include "printer_page.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>

#include <filesystem>

namespace norvanta {

PrinterPage::PrinterPage(const PrintTarget& target, bool colour)
{
    printer_.setDocName(QStringLiteral("Norvanta"));
    if (!open(target))
        return;
    printer_.setPageOrientation(QPageLayout::Portrait);
    printer_.setPageSize(QPageSize(QPageSize::A4));
    // The page starts where the printer can print: its own smallest margins.
    printer_.setPageMargins(printer_.pageLayout().minimumMargins(), printer_.pageLayout().units());
    printer_.setColorMode(colour ? QPrinter::Color : QPrinter::GrayScale);
    if (!painter_.begin(&printer_))
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

bool PrinterPage::open(const PrintTarget& target)
{
    if (target.toPdfFile()) {
        const QFileInfo place(target.pdfPath);
        pdfFile_ = std::make_unique<QTemporaryFile>(
            place.absoluteDir().filePath(QStringLiteral(".Norvanta-XXXXXX.pdf")));
        if (!pdfFile_->open())
            return false;
        pdfFile_->close();
        pdfPath_ = target.pdfPath;
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(pdfFile_->fileName());
        return true;
    }
    // An unknown name would leave the printer on another device.
    if (!QPrinterInfo::availablePrinterNames().contains(target.printerName))
        return false;
    printer_.setPrinterName(target.printerName);
    return printer_.printerName() == target.printerName;
}

Canvas& PrinterPage::canvas()
{
    if (canvas_)
        return *canvas_;
    return nowhere_;
}

bool PrinterPage::finish()
{
    if (!painter_.isActive())
        return false;
    if (!painter_.end())
        return false;
    if (!pdfFile_)
        return true;
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(pdfFile_->fileName()).toStdString(),
                            QFile::encodeName(pdfPath_).toStdString(), error);
    if (error)
        return false;
    pdfFile_->setAutoRemove(false);
    return true;
}

} // namespace norvanta
