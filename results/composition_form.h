#pragma once

#include "composition_view.h"
#include "drawing_area.h"
#include "results_display_state.h"

#include "composition/gibbs_equilibrium.h"
#include "engine/constants.h"

#include "common/reaction_fields.h"

#include <QString>
#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTimer;

namespace norvanta {

class Platform;

// The composition the window shows: what it was computed from and the
// engine's table, with a series (or series pair) per total pressure.
struct ShownComposition {
    ReactionFields fields; // the main window's fields it was computed from
    bool tetraPrecision = false;
    std::vector<double> pressures;
    std::optional<double> adiabaticFeedKelvin;
    CompositionTable table;
};

// The equilibrium-composition window: the mole fractions of every species
// the feed's elements allow, as a graph and a number table, computed from
// the main window's reactants, their ratios, the total pressure (or the
// pressures typed here) and the step option. It is not modal; while it is
// open it follows the main window's input.
class CompositionForm : public QWidget {
    Q_OBJECT

public:
    // `display` gives the temperature unit the results window toggles; it,
    // `constants` and `fileFolder` (where the save dialogs start, the result
    // files' folder) belong to the application and outlive the window.
    CompositionForm(Platform& platform, const ResultsDisplayState& display,
                    const PhysicalConstants& constants, QString databasePath, QString& fileFolder,
                    QWidget* parent = nullptr);

    QLabel* HeadingLabel;
    DrawingArea* GraphArea;
    QTableWidget* NumberTable;
    QLabel* NoticeLabel;
    // The temperatures: from, to and step in the unit of RangeUnit (0 K, 1 ﾟC);
    // all empty for the two default series.
    QLineEdit* FromBox;
    QLineEdit* ToBox;
    QLineEdit* StepBox;
    QComboBox* RangeUnit;
    QLineEdit* PressureBox;
    QLineEdit* CutoffBox;
    QLabel* HiddenLabel;
    QGroupBox* ScaleFrame;
    std::array<QRadioButton*, 2> ScaleMode; // 0 linear, 1 logarithmic
    QCheckBox* GraphiteCheck;
    QCheckBox* CondensedCheck;
    // Adiabatic mode: the composition where the products' enthalpy equals
    // that of the feed at FeedTemperatureBox (K).
    QCheckBox* AdiabaticCheck;
    QLineEdit* FeedTemperatureBox;
    QCheckBox* DryCheck; // mole fractions without water vapour
    QPushButton* CalButton;
    QPushButton* SaveButton;
    QPushButton* SavePictureButton;
    QPushButton* PrintButton;
    QPushButton* CopyButton;
    QPushButton* ExitButton;
    // Recomputes a short while after the main window's input last changed.
    QTimer* InputTimer;

    // Checks the reactant names and ratios as a run does, reads the species
    // from the compound data file and computes both temperature series at
    // every pressure. On success the window shows the new composition and
    // comes to the front; otherwise the message is shown and the window
    // stays as it was.
    bool calculate(const ReactionFields& fields, bool tetraPrecision);

    // The main window's input as it now stands. When it differs from what
    // the shown composition was computed from, the window says so at once and
    // computes it anew when InputTimer fires; an input it cannot compute
    // leaves the older composition on show, marked as such.
    void inputChanged(const ReactionFields& fields, bool tetraPrecision);
    // True while the composition shown is not that of the main window's input.
    bool showsOlderInput() const { return pending_.has_value(); }

    const std::optional<ShownComposition>& shown() const { return shown_; }
    // The shown composition in the current unit; empty before the first.
    CompositionView view() const;
    // The species the table lists, most abundant first, and how many it hides.
    ListedSpecies listed() const;
    // The heading line of the shown composition.
    QString heading() const;
    // The composition as norvanta-calc --composition --derived writes it
    // (with --dry when DryCheck is on), lines ended by CR LF.
    QString compositionFileText() const;

    // Draws graph and table again, in the current temperature unit.
    void redraw();

    void onCalButtonClicked();
    void onComputeOptionClicked();
    void onDryCheckClicked();
    void onScaleModeClicked();
    void onCutoffEdited();
    void onCopyButtonClicked();
    void onSaveButtonClicked();
    void onSavePictureButtonClicked();
    void onInputTimerTick();

private:
    QRect twipsRect(double left, double top, double width, double height) const;
    // Computes the composition of the fields with the window's options;
    // throws CompositionError.
    ShownComposition compute(const ReactionFields& fields, bool tetraPrecision) const;
    // Computes and shows; false after showing the message.
    bool recompute(const ReactionFields& fields, bool tetraPrecision);
    void fillNumberTable();
    void showNotice();
    void showRunMessage(const RunMessage& message);

    Platform& platform_;
    const ResultsDisplayState& display_;
    const PhysicalConstants& constants_;
    const QString databasePath_;
    QString& fileFolder_;
    std::optional<ShownComposition> shown_;
    double cutoff_ = 1e-6;
    QString cutoffText_ = QStringLiteral("1E-06"); // the cut-off as last accepted
    // The main window's input the shown composition does not follow yet, and
    // why it could not be computed (empty while it waits for InputTimer).
    struct PendingInput {
        ReactionFields fields;
        bool tetraPrecision = false;
        QString failure;
    };
    std::optional<PendingInput> pending_;
    QString fileName_;    // the name the save dialog proposes next
    QString pictureName_; // likewise for the picture
};

} // namespace norvanta
