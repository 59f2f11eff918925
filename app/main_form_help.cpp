#include "app/main_form.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

void MainForm::watchHints()
{
    const auto hint = [this](QWidget* widget, const QString& text) {
        m_hints.insert(widget, text);
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    };
    for (int row = 0; row < 4; ++row) {
        hint(ReactNum[row], u"量論係数を入力します"_s);
        hint(ProductNum[row], u"量論係数を入力します"_s);
        hint(React[row], u"化学式･慣用名を入力します"_s);
        hint(Product[row], u"化学式･慣用名を入力します"_s);
        hint(Molar[row], u"分圧(比)を入力します"_s);
        hint(Restrict[row], u"制限化合物を指定します"_s);
    }
    hint(Pressure, u"反応全圧を入力します"_s);
    for (const auto& pair : {AddSR, AddMR, AddSP}) {
        hint(pair[0], u"数値を1減少させます"_s);
        hint(pair[1], u"数値を1増加させます"_s);
    }
    hint(CalButton, u"計算を開始します"_s);
    hint(ResetButton, u"表示データをクリアします"_s);
    hint(ReverseButton, u"反応･生成系を反転します"_s);
    // TetraPrec's hint names the mode a click would set; hintFor reads its state.
    hint(TetraPrec, QString());
    hint(ExitButton, u"Norvanta"_s + u"を終了します"_s);
    hint(OpenButton, u"反応系を開きます"_s);
    hint(SaveButton, u"反応系を上書き保存します"_s);
    hint(SaveAsButton, u"反応系に名前を付けて保存します"_s);

    hint(ListButton, u"登録データ一覧を表示します"_s);
    hint(CloseButton, u"一覧を閉じます"_s);
    hint(GenreUpButton, u"前の化合物ジャンルを表示します"_s);
    hint(GenreDownButton, u"次の化合物ジャンルを表示します"_s);
    hint(FindText, u"検索語句を入力します"_s);
    hint(FindUpButton, u"前方検索します"_s);
    hint(FindDownButton, u"後方検索します"_s);
    hint(ListItem, u"ダブルクリックしてデータを移します"_s);
    hint(ListItem->viewport(), u"ダブルクリックしてデータを移します"_s);
    hint(FindFrame, u"指定文字を含む化合物名を検索します"_s);

    // The help line itself and the bare background of the window.
    for (QWidget* widget : {static_cast<QWidget*>(Message), m_central, ListPanel}) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
}

QString MainForm::hintFor(const QWidget* widget) const
{
    if (widget == TetraPrec) {
        return TetraPrec->isChecked() ? u"100K計算モードに設定します"_s
                                      : u"25K計算モードに設定します"_s;
    }
    return m_hints.value(widget);
}

void MainForm::onPointerMoved(QWidget* widget, QEvent* event)
{
    if (widget == Message) {
        ShowHelpLine(QString());
        return;
    }
    if (event->type() == QEvent::MouseMove) {
        // A move that a child passed on to its parent belongs to the child.
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (widget->childAt(position))
            return;
        if (widget == m_central || widget == ListPanel) {
            hideHelpLine();
            return;
        }
    }
    if (m_hints.contains(widget) && m_settings.DispHelp != 0)
        ShowHelpLine(hintFor(widget));
}

void MainForm::ShowHelpLine(const QString& text)
{
    if (!m_input.calculationIdle)
        return;
    Message->setText(text);
    Message->show();
}

void MainForm::hideHelpLine()
{
    Message->hide();
}

void MainForm::setCalculationIdle(bool idle)
{
    m_input.calculationIdle = idle;
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        const auto field = m_fieldRefs.constFind(watched);
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Opening a menu does not move the focus away from the field.
        if (field == m_fieldRefs.constEnd() || reason == Qt::PopupFocusReason)
            break;
        if (event->type() == QEvent::FocusIn)
            onFieldFocusIn(*field, reason);
        else if (field->kind == FieldKind::React || field->kind == FieldKind::Product)
            onCompoundFocusOut(static_cast<QLineEdit*>(watched), reason);
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
    return QMainWindow::eventFilter(watched, event);
}

} // namespace norvanta
