#pragma once

#include "drawing_area.h"
#include "results_display_state.h"

#include "engine/constants.h"
#include "composition/gibbs_equilibrium.h"

#include "common/reaction_fields.h"

#include <QString>
#include <QWidget>

#include <array>
#include <optional>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace norvanta {

class Platform;

// The equilibrium-composition window: the mole fractions of every species
// the feed's elements allow, as a graph and a number table, computed from
// the main window's reactants, their ratios, the total pressure and the step
// option. It is not modal; it stays open beside the other windows.
class CompositionForm : public QWidget {
    Q_OBJECT

public:
    // `display` gives the temperature unit the results window toggles; it and
    // `constants` belong to the application and outlive the window.
    CompositionForm(Platform& platform, const ResultsDisplayState& display,
                    const PhysicalConstants& constants, QString databasePath,
                    QWidget* parent = nullptr);

    DrawingArea* GraphArea;
    QTableWidget* NumberTable;
    QGroupBox* ScaleFrame;
    std::array<QRadioButton*, 2> ScaleMode; // 0 linear, 1 logarithmic
    QCheckBox* GraphiteCheck;
    QPushButton* CopyButton;
    QPushButton* ExitButton;

    // Checks the reactant names and ratios as a run does, reads the species
    // from the compound data file and computes both temperature series. On
    // success the window shows the new composition and comes to the front;
    // otherwise the message is shown and the window stays as it was.
    bool calculate(const ReactionFields& fields, bool tetraPrecision);

    // The composition shown, if any.
    const std::optional<CompositionTable>& table() const { return table_; }

    // Draws graph and table again, in the current temperature unit.
    void redraw();

    void onGraphiteCheckClicked();
    void onScaleModeClicked();
    void onCopyButtonClicked();

private:
    QRect twipsRect(double left, double top, double width, double height) const;
    // Computes the table of system_; false after showing the solver's message.
    bool solve();
    void fillNumberTable();
    void showRunMessage(const RunMessage& message);

    Platform& platform_;
    const ResultsDisplayState& display_;
    const PhysicalConstants& constants_;
    const QString databasePath_;
    std::optional<CompositionSystem> system_;
    std::optional<CompositionTable> table_;
};

} // namespace norvanta
