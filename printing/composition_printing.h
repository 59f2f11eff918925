#pragma once

#include "composition_page.h"

#include <QString>

namespace norvanta {

class Platform;

// What printing the composition reads at the moment of the click: the page
// and where the PDF file dialog starts.
struct CompositionPrintJob {
    CompositionPageInput page;
    QString usualDirectory;
};

// The composition window's PrintButton: asks, then prints the page on the
// current printer, or into a PDF file chosen in the save dialog when the
// printer is "PDFファイル"; a page that did not come out is reported. The
// page's time stamp is taken when it is drawn.
void printComposition(Platform& platform, CompositionPrintJob job);

} // namespace norvanta
