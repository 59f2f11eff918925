#pragma once

#include "app/input_state.h"
#include "common/reaction_fields.h"
#include "database/compound_database.h"
#include "database/compound_search.h"
#include "files/file_state.h"
#include "files/settings_file.h"

#include <QHash>
#include <QMainWindow>
#include <QString>

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace norvanta {

class Platform;

// The program's main window: the reaction input fields with their step
// buttons, the command buttons, the help line at the bottom, the compound
// list panel that widens the window to the right, and the menu bar.
//
// Controls and menu commands are public under their own names so that the
// windows and commands built around this one can read them and connect to them.
class MainForm : public QMainWindow {
    Q_OBJECT

public:
    // The compound list panel shows the compound data file at databasePath.
    MainForm(Platform& platform, InputState& input, FileState& file, SettingsValues& settings,
             QString databasePath, QWidget* parent = nullptr);

    // Reaction input fields, rows 0..3.
    std::array<QLineEdit*, 4> ReactNum{};
    std::array<QLineEdit*, 4> React{};
    std::array<QLineEdit*, 4> Molar{};
    std::array<QRadioButton*, 4> Restrict{};
    std::array<QLineEdit*, 4> ProductNum{};
    std::array<QLineEdit*, 4> Product{};
    QLabel* Arrow = nullptr;
    QLineEdit* Pressure = nullptr;
    QCheckBox* TetraPrec = nullptr;
    // Step buttons, index 0 "-" and 1 "+".
    std::array<QPushButton*, 2> AddSR{};
    std::array<QPushButton*, 2> AddMR{};
    std::array<QPushButton*, 2> AddSP{};

    QPushButton* CalButton = nullptr;
    QPushButton* ResetButton = nullptr;
    QPushButton* ReverseButton = nullptr;
    QPushButton* OpenButton = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* SaveAsButton = nullptr;
    QPushButton* ExitButton = nullptr;
    QPushButton* ListButton = nullptr;

    // The help line and, in its place while a calculation or a print runs, the progress bar.
    QLabel* Message = nullptr;
    QProgressBar* ProgBar = nullptr;

    // Compound list panel, shown while the window is wider than BaseWidth.
    QWidget* ListPanel = nullptr;
    QComboBox* ListName = nullptr;
    QPushButton* GenreUpButton = nullptr;
    QPushButton* GenreDownButton = nullptr;
    QListWidget* ListItem = nullptr;
    QGroupBox* FindFrame = nullptr;
    QLineEdit* FindText = nullptr;
    QPushButton* FindUpButton = nullptr;
    QPushButton* FindDownButton = nullptr;
    QPushButton* CloseButton = nullptr;

    QMenu* FileMenu = nullptr;
    QAction* OpenItem = nullptr;
    QAction* SaveItem = nullptr;
    QAction* SaveAsItem = nullptr;
    QAction* SaveResultItem = nullptr;
    QAction* KeepNowMenu = nullptr;
    QAction* ExitMenu = nullptr;
    QMenu* OptionMenu = nullptr;
    QAction* ListMenu = nullptr;
    QAction* RevMenu = nullptr;
    QAction* ResetMenu = nullptr;
    QAction* ChangePrinterItem = nullptr;
    QAction* ColorPrintModeMenu = nullptr;
    QMenu* RegisterMenu = nullptr;
    QAction* RegisterItem = nullptr;
    QMenu* CompositionMenu = nullptr;
    QAction* CompositionItem = nullptr;
    QMenu* Help = nullptr;
    QAction* DispHelpMenu = nullptr;
    QAction* AboutMenu = nullptr;

    // The field texts as they stand, and the selected Restrict option.
    ReactionFields fields() const;
    // Writes the texts into the fields and selects the option; every field
    // whose text changes raises its change effects as typing would.
    void setFields(const ReactionFields& fields);
    // Selects the Restrict option of the row (0..3) as a click would, and
    // makes it LimitPos; -1, or any row outside 0..3, deselects every option.
    void selectRestrict(int row);
    // The focus on the first coefficient box ReactNum 0, with its text
    // selected, as the window comes up.
    void focusFirstCoefficient();

    // Shows the text on the help line, unless a calculation runs.
    void ShowHelpLine(const QString& text);
    void hideHelpLine();
    void setCalculationIdle(bool idle);

    // The compound list panel: the window is BaseWidth wide while it is
    // closed and ListPanelWidth wider while it is open.
    bool isListPanelOpen() const;
    void setListPanelOpen(bool open);
    // The command of ListButton and ListMenu: reads the compound data file
    // into the browser table, shows its first genre, disables the openers and
    // widens the window. A failed read shows its message; the panel stays closed.
    void openListPanel();
    // CloseButton's command, also run by registration: narrows the window to
    // BaseWidth, hides the help line, enables the openers again and gives
    // CalButton the focus when it is enabled.
    void closeListPanel();

    void disableStepButtons();

    // Command handlers.
    void onStepButtonClicked(StepColumn column, int index);
    void onResetClicked();
    void onReverseClicked();
    void onDispHelpMenuTriggered(bool checked);
    void onColorPrintModeMenuTriggered(bool checked);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class FieldKind {
        React,
        Product,
        ReactNum,
        Molar,
        ProductNum,
        Pressure,
        Restrict,
        CalButton
    };
    struct FieldRef {
        FieldKind kind;
        int row;
    };

    void createControls(QWidget* central);
    void createListPanel(QWidget* central);
    void createMenus();
    void placeControls();
    void placeListPanel();
    void connectFields();
    void watchFields();
    void watchHints();
    void applyWindowSize();

    void connectListPanel();
    // The first genre row whose name ListName shows, 0 when there is none.
    int currentGenreNumber() const;
    // Fills ListItem with the names of the genre ListName shows.
    void ShowTables();
    void showGenre(int position);
    int selectedListEntry() const;
    void onGenreUpClicked();
    void onGenreDownClicked();
    void onFindClicked(SearchDirection direction);
    void onListItemDoubleClicked();

    void onCompoundTextChanged();
    void onNumberTextChanged();
    void onPressureTextChanged();
    void onRestrictClicked();
    void onTetraPrecClicked(bool checked);
    void applyChangeEffect(bool keepSaveItem);

    void onFieldFocusIn(FieldRef field, Qt::FocusReason reason);
    void onCompoundFocusOut(QLineEdit* box, Qt::FocusReason reason);
    void showTextStart(QLineEdit* box);
    void setStepButtons(bool reactNum, bool molar, bool productNum);
    void setBoxColour(QLineEdit* box, bool highlighted);
    QLineEdit* compoundBox(int activeField) const;
    const std::array<QLineEdit*, 4>& stepColumnBoxes(StepColumn column) const;
    void deselectRestrict();

    void onPointerMoved(QWidget* widget, QEvent* event);
    QString hintFor(const QWidget* widget) const;

    Platform& m_platform;
    InputState& m_input;
    FileState& m_file;
    SettingsValues& m_settings;
    const QString m_databasePath;
    // The browser table, read again at every opening of the panel.
    CompoundDatabase m_database;
    QWidget* m_central = nullptr;
    std::array<QLabel*, 6> m_headings{};
    QGroupBox* m_pressureFrame = nullptr;
    QGroupBox* m_precisionFrame = nullptr;
    QHash<const QObject*, FieldRef> m_fieldRefs;
    QHash<const QObject*, QString> m_hints;
};

} // namespace norvanta
