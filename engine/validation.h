#pragma once

#include "engine/reaction_definition.h"
#include "engine/run_message.h"

#include "common/reaction_fields.h"

#include <optional>

namespace norvanta {

class CompoundIndex;
class PolynomialFile;

// The input field a failed check puts the focus on. Rows count from 0, as the
// controls React0..React3 do. The window gives the focus only when the field
// is enabled.
enum class FocusControl { None, React, ReactNum, Molar, Product, ProductNum, Restrict, Pressure };

struct FocusTarget {
    FocusControl control = FocusControl::None;
    int row = 0;

    bool operator==(const FocusTarget&) const = default;
};

// A check that stopped the run: its warning and where the focus goes.
struct ValidationFailure {
    RunMessage message;
    FocusTarget focus;

    bool operator==(const ValidationFailure&) const = default;
};

// The four validation steps of a run, one per timer tick. Each later step
// expects the earlier ones to have passed on the same fields and definition.

// Step 1: trims every compound name in the fields and clears the definition.
void prepareReaction(ReactionFields& fields, ReactionDefinition& definition);

// A name as typed without the blanks around it, as the run and the
// composition read the reactant boxes.
QString trimmedBlanks(const QString& text);

// Step 2: collects the filled rows into the definition, writes "1" into empty
// coefficient fields and closes up empty rows in the fields and the slots.
// Numbers are the fields' leading values. One too large for a double is
// refused as its field's invalid number: a ratio as an empty one, a
// coefficient as one that cannot balance, with the focus on its box.
std::optional<ValidationFailure> collectRows(ReactionFields& fields,
                                             ReactionDefinition& definition);

// Step 3: every compound registered, then the carbon, hydrogen and oxygen
// balance from the records. Where the polynomial file holds every compound of
// the reaction, every other element must balance too (its message names the
// element: "窒素の化学量論が合っていません"). Throws Failure{62} when a record
// ends before its atom counts.
std::optional<ValidationFailure> checkCompounds(const ReactionDefinition& definition,
                                                const CompoundIndex& database,
                                                const PolynomialFile* polynomials = nullptr);

// Step 4: the limiting compound into slot 1, everything relative to one mole
// of it, then the total pressure (a pressure too large for a double is
// refused as a pressure of 0). Throws Failure{11} when the limiting
// compound's coefficient or ratio is 0.
std::optional<ValidationFailure> normaliseReaction(const ReactionFields& fields,
                                                   ReactionDefinition& definition);

// The refusal of the total pressure, with the focus on Pressure.
ValidationFailure pressureFailure();

// Steps 1 to 4 in order, stopping at the first failure.
std::optional<ValidationFailure> validateReaction(ReactionFields& fields,
                                                  ReactionDefinition& definition,
                                                  const CompoundIndex& database,
                                                  const PolynomialFile* polynomials = nullptr);

} // namespace norvanta
