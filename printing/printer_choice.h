#pragma once

#include <QString>
#include <QStringList>

namespace norvanta {

class Platform;

// The printer that writes the page to a PDF file of the user's choice. It
// stands after the installed printers, so that a system without printers
// can still print.
inline const QString kPdfFilePrinter = QStringLiteral("PDFファイル");

// The printers to choose from: the installed ones in the system's order,
// then the PDF file.
QStringList selectablePrinters(Platform& platform);

// The printer printing goes to: the one chosen in this run, or the system's
// default, or the PDF file when the system has no default printer.
QString currentPrinterName(Platform& platform);

} // namespace norvanta
