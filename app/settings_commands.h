#pragma once

#include "files/settings_file.h"

#include <QString>

namespace norvanta {

class NorvantaApplication;

// The settings file Norvane.ini of the start folder, read once when the main
// window loads and written at load, by KeepNowMenu and at program end.

QString settingsFilePath(const NorvantaApplication& app);

// Reads Norvane.ini into the settings values and the main window: the
// reaction texts go into their fields with their change effects, in file
// order, and the TetraPrec box takes the TetraPrecision read.
void ReadSettings(NorvantaApplication& app);

// The edges the settings file is written with: each window's current edges,
// or the remembered ones while it is minimised.
WindowEdges currentWindowEdges(NorvantaApplication& app);

// Writes Norvane.ini from the settings values, the fields and the windows.
// A file that cannot be written is skipped without a message.
void WriteSettings(NorvantaApplication& app);

// Sets the TetraPrec box to 0 clear, 1 checked or 2 grey; any other value
// leaves the box as it is.
void setTetraPrecBox(NorvantaApplication& app, qint16 tetraPrecision);

} // namespace norvanta
