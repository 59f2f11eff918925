#include "app/registration_form.h"

#include "app/main_form.h"
#include "common/failure.h"
#include "common/number_text.h"
#include "common/platform.h"
#include "common/twips.h"
#include "database/atom_name.h"
#include "database/record_count.h"
#include "engine/constants.h"
#include "files/settings_file.h"
#include "results/fonts.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

namespace {

// The client area in twips.
constexpr int kClientWidth = 5310;
constexpr int kClientHeight = 4080;

constexpr int kBoxHeight = 330;
constexpr int kRowPitch = 390;
// The dG table: two columns of four rows, a temperature label and its box each.
constexpr int kGibbsTop = 1890;
constexpr std::array<int, 2> kTemperatureColumn{120, 2940};
constexpr std::array<int, 2> kGibbsColumn{960, 3900};
constexpr int kTemperatureWidth = 780;
constexpr int kGibbsWidth = 1260;
constexpr int kBottomTop = 3570;
constexpr int kButtonWidth = 840;
constexpr int kButtonHeight = 360;

void place(QWidget* widget, int x, int y, int width, int height)
{
    const double dpiX = widget->logicalDpiX();
    const double dpiY = widget->logicalDpiY();
    const int left = twipsToPixels(x, dpiX);
    const int top = twipsToPixels(y, dpiY);
    widget->setGeometry(left, top, twipsToPixels(x + width, dpiX) - left,
                        twipsToPixels(y + height, dpiY) - top);
}

QString indexed(const QString& name, int index)
{
    return name + QString::number(index);
}

QLineEdit* makeBox(QWidget* parent, const QString& name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QLabel* makeLabel(QWidget* parent, const QString& caption,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* label = new QLabel(caption, parent);
    label->setAlignment(alignment);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

RegistrationForm::RegistrationForm(Platform& platform, MainForm& mainForm,
                                   const SettingsValues& settings,
                                   const PhysicalConstants& constants, QString databasePath)
    : QWidget(&mainForm, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                             Qt::WindowCloseButtonHint),
      m_platform(platform), m_mainForm(mainForm), m_settings(settings), m_constants(constants),
      m_databasePath(std::move(databasePath))
{
    setObjectName(u"RegistrationForm"_s);
    setWindowTitle(u"化合物データの追加登録"_s);
    setFont(QFont(kUiGothicFont, 9));
    setFixedSize(twipsToPixels(kClientWidth, logicalDpiX()),
                 twipsToPixels(kClientHeight, logicalDpiY()));

    createControls();
    placeControls();
    watchControls();

    connect(RegisterTimer, &QTimer::timeout, this, &RegistrationForm::onRegisterTimerTick);
    connect(RegisterButton, &QPushButton::clicked, this,
            &RegistrationForm::onRegisterButtonClicked);
    connect(ResetButton, &QPushButton::clicked, this, &RegistrationForm::onResetButtonClicked);
    connect(ExitButton, &QPushButton::clicked, this, &RegistrationForm::onExitButtonClicked);
}

void RegistrationForm::createControls()
{
    // Created in the order the Tab key goes: name, atom counts, unit, dG, buttons.
    m_formulaLabel = makeLabel(this, u"新しく登録する化学式"_s);
    NewFormula = makeBox(this, u"NewFormula"_s);
    for (int i = 0; i < 3; ++i) {
        AtomLabel[i] = makeLabel(this, AtomName[i] + u":"_s, Qt::AlignRight | Qt::AlignVCenter);
        AtomLabel[i]->setObjectName(indexed(u"AtomLabel"_s, i));
        Number[i] = makeBox(this, indexed(u"Number"_s, i));
    }

    UnitFrame = new QGroupBox(u"dGの単位"_s, this);
    UnitFrame->setObjectName(u"UnitFrame"_s);
    const std::array<QString, 2> units{u"kcal/mol"_s, u"kJ/mol"_s};
    for (int i = 0; i < 2; ++i) {
        Unit[i] = new QRadioButton(units[i], UnitFrame);
        Unit[i]->setObjectName(indexed(u"Unit"_s, i));
    }
    Unit[0]->setChecked(true);

    for (int column = 0; column < 2; ++column) {
        m_headings[column * 2] = makeLabel(this, u"Temp./K"_s, Qt::AlignCenter);
        m_headings[column * 2 + 1] = makeLabel(this, u"dG"_s, Qt::AlignCenter);
    }
    for (int i = 0; i < 8; ++i) {
        // " 300" .. "1000", right-aligned as the blank pads them.
        const int kelvin = 300 + 100 * i;
        m_temperatureLabels[i] = makeLabel(
            this, kelvin < 1000 ? u" "_s + QString::number(kelvin) : u"1000"_s, Qt::AlignCenter);
        DeltaG[i] = makeBox(this, indexed(u"DeltaG"_s, i));
    }

    m_countLabel = makeLabel(this, u"現在の登録数:"_s);
    RegisterNumber = makeLabel(this, QString());
    RegisterNumber->setObjectName(u"RegisterNumber"_s);
    RegisterButton = makeButton(this, u"RegisterButton"_s, u"登録(&R)"_s);
    RegisterButton->setEnabled(false);
    ResetButton = makeButton(this, u"ResetButton"_s, u"ｸﾘｱ(&C)"_s);
    ExitButton = makeButton(this, u"ExitButton"_s, u"終了(&X)"_s);

    RegisterTimer = new QTimer(this);
    RegisterTimer->setObjectName(u"RegisterTimer"_s);
    RegisterTimer->setInterval(kRegisterTimerInterval);
}

void RegistrationForm::placeControls()
{
    place(m_formulaLabel, 120, 120, 2700, 240);
    place(NewFormula, 120, 390, 2700, kBoxHeight);
    for (int i = 0; i < 3; ++i) {
        place(AtomLabel[i], 2940, 120 + i * kRowPitch, 900, kBoxHeight);
        place(Number[i], kGibbsColumn[1], 120 + i * kRowPitch, kGibbsWidth, kBoxHeight);
    }
    place(UnitFrame, 120, 840, 2700, 630);
    place(Unit[0], 180, 270, 1200, 285);
    place(Unit[1], 1440, 270, 1200, 285);

    for (int column = 0; column < 2; ++column) {
        place(m_headings[column * 2], kTemperatureColumn[column], kGibbsTop - 300,
              kTemperatureWidth, 240);
        place(m_headings[column * 2 + 1], kGibbsColumn[column], kGibbsTop - 300, kGibbsWidth, 240);
    }
    for (int i = 0; i < 8; ++i) {
        const int column = i / 4;
        const int top = kGibbsTop + (i % 4) * kRowPitch;
        place(m_temperatureLabels[i], kTemperatureColumn[column], top, kTemperatureWidth,
              kBoxHeight);
        place(DeltaG[i], kGibbsColumn[column], top, kGibbsWidth, kBoxHeight);
    }

    place(m_countLabel, 120, kBottomTop + 30, 1260, 300);
    place(RegisterNumber, 1380, kBottomTop + 30, 900, 300);
    place(RegisterButton, 2400, kBottomTop, kButtonWidth, kButtonHeight);
    place(ResetButton, 3360, kBottomTop, kButtonWidth, kButtonHeight);
    place(ExitButton, 4320, kBottomTop, kButtonWidth, kButtonHeight);
}

void RegistrationForm::watchControls()
{
    const auto hint = [this](QWidget* widget, const QString& text) {
        m_hints.insert(widget, text);
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    };
    hint(NewFormula, u"追加する化学式･慣用名を入力します"_s);
    for (int i = 0; i < 3; ++i) {
        hint(Number[i], AtomName[i] + u"数を入力します"_s);
        hint(AtomLabel[i], QString());
    }
    for (QLineEdit* box : DeltaG)
        hint(box, u"dGを入力します"_s);
    hint(UnitFrame, u"dGの単位を指定します"_s);
    for (QRadioButton* option : Unit)
        hint(option, u"dGの単位を指定します"_s);
    hint(RegisterButton, u"登録します"_s);
    hint(ResetButton, u"表示データをクリアします"_s);
    hint(ExitButton, u"登録モードを終了します"_s);
    // The bare background of the window hides the help line.
    setMouseTracking(true);
    installEventFilter(this);
}

void RegistrationForm::open()
{
    if (m_mainForm.isListPanelOpen())
        m_mainForm.closeListPanel();
    Unit[0]->setChecked(true);
    try {
        RegisterNumber->setText(blankSignedNumberText(countRecordLinesInFile(m_databasePath)));
    } catch (const Failure& failure) {
        showMessage(m_platform, dataFileFailureMessage(failure.code(), DataFileAccess::Reading),
                    MessageIcon::Exclamation);
        return;
    }

    centreOnScreen();
    show();
    // A window shown for the first time has its frame only now.
    centreOnScreen();
    raise();
    activateWindow();
    NewFormula->setFocus(Qt::OtherFocusReason);
    // The focus reaches the box only when the window becomes active, with a
    // reason that keeps the old selection: select the name for every opening here.
    NewFormula->selectAll();

    m_mainForm.ListMenu->setEnabled(false);
    m_mainForm.ListButton->setEnabled(false);
    RegisterTimer->start();
}

void RegistrationForm::centreOnScreen()
{
    // The outer frame, caption included, is what stands centred.
    const QSize screen = m_platform.screenSize();
    const QSize frame = frameGeometry().size();
    move((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2);
}

void RegistrationForm::onRegisterTimerTick()
{
    bool filled = !NewFormula->text().isEmpty();
    for (const QLineEdit* box : DeltaG)
        filled = filled && !box->text().isEmpty();
    RegisterButton->setEnabled(filled);
}

RegistrationEntry RegistrationForm::entry() const
{
    RegistrationEntry result;
    result.name = NewFormula->text();
    for (int i = 0; i < 3; ++i)
        result.atomCounts[i] = Number[i]->text();
    for (int i = 0; i < 8; ++i)
        result.gibbs[i] = DeltaG[i]->text();
    result.kilojoules = Unit[1]->isChecked();
    return result;
}

QWidget* RegistrationForm::boxFor(EntryFocus focus) const
{
    switch (focus.box) {
    case EntryBox::NewFormula:
        return NewFormula;
    case EntryBox::Number:
        return Number[focus.index];
    case EntryBox::DeltaG:
        return DeltaG[focus.index];
    case EntryBox::None:
        break;
    }
    return nullptr;
}

void RegistrationForm::onRegisterButtonClicked()
{
    const RegistrationOutcome outcome =
        registerCompound(m_platform, m_databasePath, entry(), m_constants.calToJ);
    if (QWidget* box = boxFor(outcome.focus))
        box->setFocus(Qt::OtherFocusReason);
    // The boxes keep what they hold; the user clears them with ResetButton.
    if (outcome.registered)
        RegisterNumber->setText(blankSignedNumberText(leadingValue(RegisterNumber->text()) + 1));
}

void RegistrationForm::onResetButtonClicked()
{
    NewFormula->clear();
    for (QLineEdit* box : Number)
        box->clear();
    for (QLineEdit* box : DeltaG)
        box->clear();
}

void RegistrationForm::finish()
{
    m_mainForm.ListMenu->setEnabled(true);
    m_mainForm.ListButton->setEnabled(true);
    RegisterTimer->stop();
}

void RegistrationForm::onExitButtonClicked()
{
    finish();
    hide();
}

void RegistrationForm::closeEvent(QCloseEvent* event)
{
    finish();
    event->accept();
    Q_EMIT discarded();
}

void RegistrationForm::onPointerMoved(QWidget* widget, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        // A move that a child passed on to its parent belongs to the child.
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (widget->childAt(position))
            return;
        if (widget == this) {
            m_mainForm.hideHelpLine();
            return;
        }
    }
    if (m_hints.contains(widget) && m_settings.DispHelp != 0)
        m_mainForm.ShowHelpLine(m_hints.value(widget));
}

bool RegistrationForm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn: {
        // Coming back from another window keeps the selection the user left.
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (box && static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
            box->selectAll();
        break;
    }
    case QEvent::Enter:
    case QEvent::MouseMove:
        if (watched->isWidgetType())
            onPointerMoved(static_cast<QWidget*>(watched), event);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace norvanta
