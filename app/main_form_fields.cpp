#include "app/main_form.h"

#include "common/number_text.h"
#include "common/platform.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

namespace {

const QColor kActiveCompoundColour(255, 255, 128);

} // namespace

void MainForm::connectFields()
{
    for (int row = 0; row < 4; ++row) {
        for (QLineEdit* box : {React[row], Product[row]}) {
            connect(box, &QLineEdit::textChanged, this, &MainForm::onCompoundTextChanged);
            connect(box, &QLineEdit::textChanged, this, [this, box] { showTextStart(box); });
        }
        connect(ReactNum[row], &QLineEdit::textChanged, this, &MainForm::onNumberTextChanged);
        connect(Molar[row], &QLineEdit::textChanged, this, &MainForm::onNumberTextChanged);
        connect(ProductNum[row], &QLineEdit::textChanged, this, &MainForm::onNumberTextChanged);
        connect(Restrict[row], &QRadioButton::clicked, this, &MainForm::onRestrictClicked);
    }
    connect(Pressure, &QLineEdit::textChanged, this, &MainForm::onPressureTextChanged);
    connect(TetraPrec, &QCheckBox::clicked, this, &MainForm::onTetraPrecClicked);

    const std::array<std::pair<StepColumn, std::array<QPushButton*, 2>>, 3> stepPairs{{
        {ReactNumColumn, AddSR},
        {MolarColumn, AddMR},
        {ProductNumColumn, AddSP},
    }};
    for (const auto& [column, pair] : stepPairs) {
        for (int index = 0; index < 2; ++index) {
            connect(pair[index], &QPushButton::clicked, this,
                    [this, column, index] { onStepButtonClicked(column, index); });
        }
    }

    connect(ResetButton, &QPushButton::clicked, this, &MainForm::onResetClicked);
    connect(ResetMenu, &QAction::triggered, this, &MainForm::onResetClicked);
    connect(ReverseButton, &QPushButton::clicked, this, &MainForm::onReverseClicked);
    connect(RevMenu, &QAction::triggered, this, &MainForm::onReverseClicked);
    connect(DispHelpMenu, &QAction::triggered, this, &MainForm::onDispHelpMenuTriggered);
    connect(ColorPrintModeMenu, &QAction::triggered, this,
            &MainForm::onColorPrintModeMenuTriggered);
}

void MainForm::watchFields()
{
    const auto watch = [this](QWidget* widget, FieldKind kind, int row) {
        m_fieldRefs.insert(widget, {kind, row});
        widget->installEventFilter(this);
    };
    for (int row = 0; row < 4; ++row) {
        watch(React[row], FieldKind::React, row);
        watch(Product[row], FieldKind::Product, row);
        watch(ReactNum[row], FieldKind::ReactNum, row);
        watch(Molar[row], FieldKind::Molar, row);
        watch(ProductNum[row], FieldKind::ProductNum, row);
        watch(Restrict[row], FieldKind::Restrict, row);
    }
    watch(Pressure, FieldKind::Pressure, 0);
    watch(CalButton, FieldKind::CalButton, 0);
}

ReactionFields MainForm::fields() const
{
    ReactionFields result;
    for (int row = 0; row < 4; ++row) {
        result.reactNum[row] = ReactNum[row]->text();
        result.react[row] = React[row]->text();
        result.molar[row] = Molar[row]->text();
        result.productNum[row] = ProductNum[row]->text();
        result.product[row] = Product[row]->text();
        if (Restrict[row]->isChecked())
            result.restrict = row;
    }
    result.pressure = Pressure->text();
    return result;
}

void MainForm::setFields(const ReactionFields& fields)
{
    for (int row = 0; row < 4; ++row) {
        ReactNum[row]->setText(fields.reactNum[row]);
        React[row]->setText(fields.react[row]);
        Molar[row]->setText(fields.molar[row]);
        ProductNum[row]->setText(fields.productNum[row]);
        Product[row]->setText(fields.product[row]);
    }
    selectRestrict(fields.restrict >= 0 && fields.restrict < 4 ? fields.restrict : -1);
    Pressure->setText(fields.pressure);
}

void MainForm::selectRestrict(int row)
{
    if (row < 0 || row >= int(Restrict.size())) {
        deselectRestrict();
        return;
    }
    Restrict[row]->setChecked(true);
    // The mark of the limiting compound in reports follows the option the
    // program selected, as it follows the one the user last focused.
    m_settings.LimitPos = qint16(row);
    onRestrictClicked();
}

void MainForm::focusFirstCoefficient()
{
    ReactNum[0]->setFocus(Qt::OtherFocusReason);
    // In a window that is not active yet the focus arrives only when the
    // window activates, and that focus keeps the selection as it is.
    ReactNum[0]->selectAll();
}

void MainForm::deselectRestrict()
{
    // An option of an exclusive group cannot be unchecked while exclusive.
    for (QRadioButton* option : Restrict)
        option->setAutoExclusive(false);
    for (QRadioButton* option : Restrict)
        option->setChecked(false);
    for (QRadioButton* option : Restrict)
        option->setAutoExclusive(true);
}

void MainForm::onCompoundTextChanged()
{
    CalButton->setEnabled(true);
    applyChangeEffect(false);
}

void MainForm::onNumberTextChanged()
{
    applyChangeEffect(false);
}

// A pressure edit leaves the Save menu item as it was; only the button follows.
void MainForm::onPressureTextChanged()
{
    applyChangeEffect(true);
}

void MainForm::onRestrictClicked()
{
    applyChangeEffect(false);
}

void MainForm::onTetraPrecClicked(bool checked)
{
    m_settings.TetraPrecision = checked ? 1 : 0;
    SaveResultItem->setEnabled(false);
}

void MainForm::applyChangeEffect(bool keepSaveItem)
{
    if (!keepSaveItem)
        SaveItem->setEnabled(m_file.FileNameKnown);
    SaveButton->setEnabled(m_file.FileNameKnown);
    m_file.DataModified = true;
    // The last results no longer match the fields.
    SaveResultItem->setEnabled(false);
}

void MainForm::onFieldFocusIn(FieldRef field, Qt::FocusReason reason)
{
    const auto selectAll = [reason](QLineEdit* box) {
        // Coming back from another window keeps the selection the user left.
        if (reason != Qt::ActiveWindowFocusReason)
            box->selectAll();
    };
    switch (field.kind) {
    case FieldKind::React:
    case FieldKind::Product: {
        const bool reactant = field.kind == FieldKind::React;
        const auto& boxes = reactant ? React : Product;
        selectAll(boxes[field.row]);
        for (QLineEdit* box : boxes)
            setBoxColour(box, false);
        if (isListPanelOpen())
            setBoxColour(boxes[field.row], true);
        m_input.activeCompoundField = reactant ? field.row : field.row + 4;
        setStepButtons(false, false, false);
        break;
    }
    case FieldKind::ReactNum:
    case FieldKind::Molar:
    case FieldKind::ProductNum: {
        const StepColumn column = field.kind == FieldKind::ReactNum ? ReactNumColumn
                                  : field.kind == FieldKind::Molar  ? MolarColumn
                                                                    : ProductNumColumn;
        selectAll(stepColumnBoxes(column)[field.row]);
        m_input.activeCompoundField = -1;
        m_input.stepTargets[column] = field.row;
        setStepButtons(column == ReactNumColumn, column == MolarColumn, column == ProductNumColumn);
        break;
    }
    case FieldKind::Pressure:
        selectAll(Pressure);
        m_input.activeCompoundField = -1;
        setStepButtons(false, false, false);
        break;
    case FieldKind::Restrict:
        m_input.activeCompoundField = -1;
        m_settings.LimitPos = qint16(field.row);
        setStepButtons(false, false, false);
        break;
    case FieldKind::CalButton:
        m_input.activeCompoundField = -1;
        setStepButtons(false, false, false);
        break;
    }
}

void MainForm::onCompoundFocusOut(QLineEdit* box, Qt::FocusReason reason)
{
    if (QLineEdit* active = compoundBox(m_input.activeCompoundField))
        setBoxColour(active, false);
    // Switching to another window leaves the cursor for the user's return.
    if (reason != Qt::ActiveWindowFocusReason)
        box->setCursorPosition(0);
}

// A compound name is often longer than its box. A box that is not being
// edited shows where the name begins ("propylene oxide", not "ylene oxide"):
// the cursor, which the box scrolls to keep in view, goes to the start.
void MainForm::showTextStart(QLineEdit* box)
{
    if (!box->hasFocus())
        box->setCursorPosition(0);
}

QLineEdit* MainForm::compoundBox(int activeField) const
{
    if (activeField >= 0 && activeField < 4)
        return React[activeField];
    if (activeField >= 4 && activeField < 8)
        return Product[activeField - 4];
    return nullptr;
}

const std::array<QLineEdit*, 4>& MainForm::stepColumnBoxes(StepColumn column) const
{
    switch (column) {
    case ReactNumColumn:
        return ReactNum;
    case MolarColumn:
        return Molar;
    case ProductNumColumn:
        break;
    }
    return ProductNum;
}

void MainForm::setBoxColour(QLineEdit* box, bool highlighted)
{
    if (!highlighted) {
        // Back to the system's colours, whatever they are now.
        box->setPalette(QPalette());
        return;
    }
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, kActiveCompoundColour);
    box->setPalette(palette);
}

void MainForm::setStepButtons(bool reactNum, bool molar, bool productNum)
{
    for (int index = 0; index < 2; ++index) {
        AddSR[index]->setEnabled(reactNum);
        AddMR[index]->setEnabled(molar);
        AddSP[index]->setEnabled(productNum);
    }
}

void MainForm::disableStepButtons()
{
    setStepButtons(false, false, false);
}

void MainForm::onStepButtonClicked(StepColumn column, int index)
{
    QLineEdit* box = stepColumnBoxes(column)[m_input.stepTargets[column]];
    double value = leadingValue(box->text());
    // A number too large for a double counts as no number, like any other text.
    if (!std::isfinite(value))
        value = 0;
    if (index == 1)
        box->setText(generalNumberText(value + 1));
    else
        box->setText(value > 1 ? generalNumberText(value - 1) : QString());
}

void MainForm::onResetClicked()
{
    if (!askYesNo(m_platform, u"クリア"_s, u"表示されている反応系をクリアしますか？"_s))
        return;
    for (int row = 0; row < 4; ++row) {
        ProductNum[row]->setText(QString());
        Product[row]->setText(QString());
        Molar[row]->setText(QString());
        ReactNum[row]->setText(QString());
        React[row]->setText(QString());
    }
    deselectRestrict();
    Pressure->setText(QString());
    // The emptied fields raised their change effects; a cleared reaction has nothing to save.
    m_file.DataModified = false;
    CalButton->setEnabled(false);
}

void MainForm::onReverseClicked()
{
    for (int row = 0; row < 4; ++row) {
        const QString coefficient = ProductNum[row]->text();
        ProductNum[row]->setText(ReactNum[row]->text());
        ReactNum[row]->setText(coefficient);
        const QString name = Product[row]->text();
        Product[row]->setText(React[row]->text());
        React[row]->setText(name);
        Molar[row]->setText(QString());
    }
    deselectRestrict();
}

void MainForm::onDispHelpMenuTriggered(bool checked)
{
    m_settings.DispHelp = checked ? -1 : 0;
}

void MainForm::onColorPrintModeMenuTriggered(bool checked)
{
    m_settings.ColorPrintMode = checked ? -1 : 0;
}

} // namespace norvanta
