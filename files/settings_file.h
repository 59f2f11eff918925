#pragma once

#include "common/reaction_fields.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace norvanta {

// The settings kept between runs in Norvane.ini, besides the reaction itself.
struct SettingsValues {
    qint16 LimitPos = -1;       // the Restrict row that last had the focus, -1 none yet
    qint16 PlotMode = 0;        // the results window's plot mode
    qint16 TetraPrecision = 1;  // 1: 25 K steps
    qint16 DispHelp = -1;       // mini help: -1 on, 0 off
    qint16 ColorPrintMode = -1; // colour printing: -1 on, 0 off
    float MainLeft = 0;         // window edges in twips as last written
    float MainTop = 0;
    float ResultsLeft = 0;
    float ResultsTop = 0;
    QString Search;             // carried through unchanged
    QString UsualDirectory;     // the folder the reaction-file dialogs start in
    QString PrintFontName = QStringLiteral("ＭＳ Ｐゴシック");
    float PrintFontSize = 10;

    bool operator==(const SettingsValues&) const = default;
};

// The values before any settings file is read: the dialogs start in the
// start-up folder.
SettingsValues defaultSettings(const QString& startDirectory);

// The settings file's name in the start-up folder.
QString settingsFileName();

enum class ReactionField { ReactNum, React, Molar, ProductNum, Product, Pressure };

// A reaction field text the settings file gives; row is 0 for Pressure.
struct FieldAssignment {
    ReactionField field;
    int row;
    QString text;

    bool operator==(const FieldAssignment&) const = default;
};

// Puts the assigned text into its field.
void applyAssignment(ReactionFields& fields, const FieldAssignment& assignment);

struct SettingsRead {
    SettingsValues values;
    // The reaction field texts in file order, later entries for the same
    // field included: the window sets each, with its change effects.
    std::vector<FieldAssignment> assignments;
};

// Reads the settings file's text over the given values. Each field is one
// KEY=VALUE entry; keys are compared in upper case without surrounding blanks,
// values are taken without them. Entries without a key, unknown keys and
// integers outside the 16-bit range change nothing; a later entry wins.
SettingsRead parseSettings(const QString& text, SettingsValues values);

// parseSettings on the file's contents; a file that cannot be read changes nothing.
SettingsRead readSettingsFile(const QString& path, const SettingsValues& values);

// The window edges a settings file is written with: the windows' current
// edges, or the remembered ones for a minimised window.
struct WindowEdges {
    float MainLeft = 0;
    float MainTop = 0;
    float ResultsLeft = 0;
    float ResultsTop = 0;
};

// The edges as the values remember them.
WindowEdges rememberedEdges(const SettingsValues& values);

// The 34 quoted KEY=VALUE lines, CR LF after each, in their fixed order.
//
// A text value that Shift_JIS cannot hold (a reaction typed as "CO₂", a
// folder named "josé") or that holds a line break or a double quote (which
// would end its quoted line early) is never written in part
// or with substitutes, so the next start reads a sound value instead of a
// changed one. A reaction row with such a text is written empty as a whole
// (coefficient, name and ratio; LimitPos too, as on a first start, when it
// points to that reactant row). Any other such entry is written with the
// value a first start gives it: empty for Search, "1" for Pressure,
// "ＭＳ Ｐゴシック" for PrintFontName and the start-up folder for
// UsualDirectory, or empty when that folder is unknown or cannot be stored
// itself (the file dialogs then start in the working folder). The values in
// memory and the window's fields are not changed.
QString settingsFileText(const SettingsValues& values, const ReactionFields& fields,
                         const WindowEdges& edges, const QString& startDirectory = {});

// Writes the settings file, replacing the old one only once all of it is
// written. False when it could not be written; the old file is then unchanged.
bool writeSettingsFile(const QString& path, const SettingsValues& values,
                       const ReactionFields& fields, const WindowEdges& edges,
                       const QString& startDirectory = {});

} // namespace norvanta
