#include "printer_choice.h"

#include "common/platform.h"

namespace norvanta {

QStringList selectablePrinters(Platform& platform)
{
    return platform.installedPrinters() << kPdfFilePrinter;
}

QString currentPrinterName(Platform& platform)
{
    const QString name = platform.currentPrinter();
    return name.isEmpty() ? kPdfFilePrinter : name;
}

} // namespace norvanta
