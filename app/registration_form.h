#pragma once

#include "database/compound_registration.h"

#include <QHash>
#include <QString>
#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace norvanta {

class MainForm;
class Platform;
struct PhysicalConstants;
struct SettingsValues;

// The registration window: a new compound's name, its carbon, hydrogen and
// oxygen atom counts and its dG of formation at 300..1000 K in kcal/mol or
// kJ/mol, appended to Norvane.dat as one record line. It does not block the
// main window; while it is open the compound list cannot be opened.
class RegistrationForm : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRegisterTimerInterval = 500;

    RegistrationForm(Platform& platform, MainForm& mainForm, const SettingsValues& settings,
                     const PhysicalConstants& constants, QString databasePath);

    QLineEdit* NewFormula = nullptr;
    std::array<QLabel*, 3> AtomLabel{};
    std::array<QLineEdit*, 3> Number{};
    std::array<QLineEdit*, 8> DeltaG{};
    QGroupBox* UnitFrame = nullptr;
    // 0 kcal/mol, 1 kJ/mol.
    std::array<QRadioButton*, 2> Unit{};
    QLabel* RegisterNumber = nullptr;
    QPushButton* RegisterButton = nullptr;
    QPushButton* ResetButton = nullptr;
    QPushButton* ExitButton = nullptr;
    // Keeps RegisterButton enabled exactly while the name and every dG are filled in.
    QTimer* RegisterTimer = nullptr;

    // Selects kcal/mol, shows the count of records in Norvane.dat, centres
    // the window on the screen and shows it with the focus in NewFormula,
    // disables the main window's list openers and starts RegisterTimer.
    // When the data file cannot be counted, a message says so and the window
    // stays hidden.
    void open();

    void onRegisterTimerTick();
    void onRegisterButtonClicked();
    void onResetButtonClicked();
    // Hides the window; it keeps what it holds for the next opening.
    void onExitButtonClicked();

Q_SIGNALS:
    // The window was closed by its frame; its owner discards it, so the next
    // opening starts empty.
    void discarded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void placeControls();
    void watchControls();
    void centreOnScreen();
    // Closing either way: the list openers come back and RegisterTimer stops.
    void finish();
    RegistrationEntry entry() const;
    QWidget* boxFor(EntryFocus focus) const;
    void onPointerMoved(QWidget* widget, QEvent* event);

    Platform& m_platform;
    MainForm& m_mainForm;
    const SettingsValues& m_settings;
    const PhysicalConstants& m_constants;
    const QString m_databasePath;
    QLabel* m_formulaLabel = nullptr;
    QLabel* m_countLabel = nullptr;
    std::array<QLabel*, 4> m_headings{};
    std::array<QLabel*, 8> m_temperatureLabels{};
    QHash<const QObject*, QString> m_hints;
};

} // namespace norvanta
