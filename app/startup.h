#pragma once

#include <QString>

namespace norvanta {

class NorvantaApplication;

// A file of the start folder: Norvane.ini, Norvane.env, constants.txt.
QString startFolderFile(const NorvantaApplication& app, const QString& name);

// The main window's load: constants, settings, remembered placement, the
// placement marker, then the window is shown with the focus on ReactNum 0.
// A step that fails is skipped and the load goes on with the next.
void startMainWindow(NorvantaApplication& app);

} // namespace norvanta
