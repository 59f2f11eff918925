#pragma once

namespace norvanta {

class NorvantaApplication;

// Ties result printing to the results window's PrintButton and PrintTimer
// and the main window's progress bar, and opens the printer selection
// window from ChangePrinterItem.
void connectPrintCommands(NorvantaApplication& app);

} // namespace norvanta
