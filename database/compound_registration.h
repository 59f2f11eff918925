#pragma once

#include <QString>

#include <array>
#include <optional>

namespace norvanta {

class Platform;

// The registration window's boxes, as far as a register click names one to
// take the focus.
enum class EntryBox { None, NewFormula, Number, DeltaG };

struct EntryFocus {
    EntryBox box = EntryBox::None;
    int index = 0;

    bool operator==(const EntryFocus&) const = default;
};

// What the registration window holds when its register button is clicked.
struct RegistrationEntry {
    QString name;                      // NewFormula, exactly as typed
    std::array<QString, 3> atomCounts; // Number 0..2: carbon, hydrogen, oxygen
    std::array<QString, 8> gibbs;      // DeltaG 0..7: 300..1000 K
    bool kilojoules = false;           // Unit 1 (kJ/mol) selected
};

struct RegistrationOutcome {
    bool registered = false;
    // The box that takes the focus after a refusal.
    EntryFocus focus;
};

// The register click: the name and the numbers are taken as inputText makes
// them. With an empty name nothing happens; otherwise, in this
// order, a missing dG, a name the data file cannot hold and a number too
// large to write are refused with a message; the user confirms the name and
// unit; a name already in the file in any case is refused with its stored
// spelling; then the record line is appended, dG divided by calToJ when it
// was typed in kJ/mol. A refusal or a failure of Norvane.dat shows one
// message and leaves the file unchanged.
RegistrationOutcome registerCompound(Platform& platform, const QString& databasePath,
                                     const RegistrationEntry& entry, double calToJ);

// Why the data file cannot hold the name, in the words of the message that
// refuses it; empty when it can. Refused are a double quote and control
// characters (the record line would split), a leading ";" (every reader
// would skip the name) and characters outside Shift_JIS (the name would be
// written as another text, which nobody could type).
std::optional<QString> unstorableNameMessage(const QString& name);

// The message for a failure of Norvane.dat while it is read (the record
// count, the duplicate test) or appended to.
enum class DataFileAccess { Reading, Appending };
QString dataFileFailureMessage(int failureCode, DataFileAccess access);

} // namespace norvanta
