#pragma once

#include "results/canvas.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QString>

#include <memory>
#include <optional>

namespace norvanta {

// Where the printed page goes: a system printer by its device name, or a PDF
// file written by the program itself.
struct PrintTarget {
    QString printerName;
    QString pdfPath; // set when printing to a PDF file

    bool toPdfFile() const { return !pdfPath.isEmpty(); }
};

// One page, set up as the result page wants it: A4 portrait, the printer's
// high resolution, colour or grayscale. Twips count from the top-left of the
// printable area. A printer that cannot be opened (unknown, or a queue that
// turns jobs away) takes the drawing and sends nothing; isOpen() tells so
// before anything is drawn.
class PrinterPage {
public:
    PrinterPage(const PrintTarget& target, bool colour);
    ~PrinterPage();
    PrinterPage(const PrinterPage&) = delete;
    PrinterPage& operator=(const PrinterPage&) = delete;

    bool isOpen() const { return canvas_.has_value(); }
    Canvas& canvas();

    // Sends the page. A PDF file is made in memory, then written beside its
    // place, every byte checked, and put there in one step, so an earlier
    // file of that name stays whole unless the new one is complete. False
    // when nothing came out, or the print service shows no new job.
    bool finish();

private:
    QPagedPaintDevice* openPrinter(const QString& name, bool colour);
    QPagedPaintDevice* openPdfFile();

    std::unique_ptr<QPrinter> printer_;
    std::optional<int> jobBefore_; // the queue's last job number before printing, where known
    QString pdfPath_;
    QBuffer pdfBytes_;
    std::unique_ptr<QPdfWriter> pdfWriter_;
    QPainter painter_;
    std::optional<PainterCanvas> canvas_;
    RecordingCanvas nowhere_;
};

} // namespace norvanta
