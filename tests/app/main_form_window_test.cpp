#include "main_form_fixture.h"

#include "common/twips.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

namespace {

double widthTwips(const QWidget& w)
{
    return pixelsToTwips(w.width(), w.logicalDpiX());
}
double heightTwips(const QWidget& w)
{
    return pixelsToTwips(w.height(), w.logicalDpiY());
}

// One pixel's worth of twips at the widget's resolution.
double pixelTwips(const QWidget& w)
{
    return pixelsToTwips(1, w.logicalDpiX());
}

QString withoutMnemonic(QString caption)
{
    return caption.remove(u'&');
}

} // namespace

TEST_F(MainFormTest, WindowSizeAndCaption)
{
    EXPECT_EQ(form.windowTitle(), u"Norvanta"_s);
    EXPECT_NEAR(widthTwips(form), 6045, pixelTwips(form));
    EXPECT_NEAR(heightTwips(form), 4110, pixelTwips(form));
    EXPECT_FALSE(form.ListPanel->isVisible());

    form.setListPanelOpen(true);
    EXPECT_NEAR(widthTwips(form), 8595, pixelTwips(form));
    EXPECT_NEAR(heightTwips(form), 4110, pixelTwips(form));
    EXPECT_TRUE(form.ListPanel->isVisible());

    form.setListPanelOpen(false);
    EXPECT_NEAR(widthTwips(form), 6045, pixelTwips(form));
    EXPECT_FALSE(form.isListPanelOpen());
}

TEST_F(MainFormTest, ControlsCarryTheirNamesAndCaptions)
{
    // clang-format off
    const struct {
        const char16_t* name;
        const char16_t* caption;
        bool enabled;
    } buttons[] = {
        {u"CalButton", u"計算開始(&S)", false}, {u"ResetButton", u"クリア", true},
        {u"ReverseButton", u"反転", true},      {u"OpenButton", u"開く", true},
        {u"SaveButton", u"上書", false},        {u"SaveAsButton", u"名前", true},
        {u"ExitButton", u"終了(&X)", true},     {u"ListButton", u"一覧", true},
        {u"CloseButton", u"閉じる", true},      {u"GenreUpButton", u"△", true},
        {u"GenreDownButton", u"▽", true},       {u"FindUpButton", u"▲", true},
        {u"FindDownButton", u"▼", true},        {u"AddSR0", u"-", true},
        {u"AddSR1", u"+", true},                {u"AddMR0", u"-", false},
        {u"AddMR1", u"+", false},               {u"AddSP0", u"-", false},
        {u"AddSP1", u"+", false},               {u"Restrict0", u"1", true},
        {u"Restrict3", u"4", true},             {u"TetraPrec", u"25K", true},
    };
    // clang-format on
    for (const auto& b : buttons) {
        const QString name = QString::fromUtf16(b.name);
        SCOPED_TRACE(name.toStdString());
        auto* button = form.findChild<QAbstractButton*>(name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromUtf16(b.caption));
        // At start only the first coefficient box's step buttons are enabled.
        EXPECT_EQ(button->isEnabled(), b.enabled);
    }

    for (const QString& row : {u"0"_s, u"1"_s, u"2"_s, u"3"_s}) {
        for (const QString& field :
             {u"ReactNum"_s, u"React"_s, u"Molar"_s, u"ProductNum"_s, u"Product"_s}) {
            auto* box = form.findChild<QLineEdit*>(field + row);
            ASSERT_NE(box, nullptr) << (field + row).toStdString();
            EXPECT_TRUE(box->text().isEmpty());
        }
    }
    ASSERT_NE(form.findChild<QLineEdit*>(u"Pressure"_s), nullptr);
    EXPECT_EQ(form.Pressure->text(), u"1"_s);
    EXPECT_EQ(form.findChild<QLabel*>(u"Arrow"_s)->text(), u"="_s);
    EXPECT_NE(form.findChild<QComboBox*>(u"ListName"_s), nullptr);
    EXPECT_NE(form.findChild<QListWidget*>(u"ListItem"_s), nullptr);
    EXPECT_NE(form.findChild<QLineEdit*>(u"FindText"_s), nullptr);
    EXPECT_FALSE(form.Message->isVisible());
    EXPECT_FALSE(form.ProgBar->isVisible());
    EXPECT_EQ(form.findChild<QProgressBar*>(u"ProgBar"_s), form.ProgBar);
    for (QRadioButton* option : form.Restrict)
        EXPECT_FALSE(option->isChecked());
}

TEST_F(MainFormTest, HeadingsAndFramesAreShown)
{
    QStringList texts;
    for (const QLabel* label : form.centralWidget()->findChildren<QLabel*>())
        texts += label->text();
    for (const QGroupBox* frame : form.centralWidget()->findChildren<QGroupBox*>())
        texts += frame->title();
    for (const QString& text :
         {u"量論"_s, u"反応系"_s, u"分圧"_s, u"制限"_s, u"生成系"_s, u"全圧(atm)"_s, u"計算精度"_s})
        EXPECT_TRUE(texts.contains(text)) << text.toStdString();
    EXPECT_EQ(texts.count(u"量論"_s), 2);
}

TEST_F(MainFormTest, EveryControlFitsTheWindowAndItsCaptionFitsTheControl)
{
    form.setListPanelOpen(true);
    const QRect client = form.centralWidget()->rect();
    for (QWidget* widget : form.centralWidget()->findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->isWindow())
            continue;
        SCOPED_TRACE(widget->objectName().toStdString());
        const QRect area(widget->mapTo(form.centralWidget(), QPoint()), widget->size());
        EXPECT_TRUE(client.contains(area))
            << area.x() << "," << area.y() << " " << area.width() << "x" << area.height();
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            const int textWidth =
                button->fontMetrics().horizontalAdvance(withoutMnemonic(button->text()));
            EXPECT_LE(textWidth + 4, button->width());
        } else if (qobject_cast<QRadioButton*>(widget) || qobject_cast<QCheckBox*>(widget)) {
            EXPECT_LE(widget->sizeHint().width(), widget->width());
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
        }
    }
}

TEST_F(MainFormTest, MenuBarHoldsTheFiveMenusWithTheirItems)
{
    // "-" stands for a separator; "*" after a name marks a checked item.
    // clang-format off
    const std::vector<std::pair<QString, QStringList>> expected{
        {u"FileMenu ファイル(&F)"_s,
         {u"OpenItem 反応系を開く(&O)"_s, u"SaveItem 上書き保存(&S)"_s,
          u"SaveAsItem 名前を付けて保存(&A)"_s, u"-"_s,
          u"SaveResultItem 現在の計算結果の保存(&R)"_s, u"KeepNowMenu 現在の状態を保存(&K)"_s,
          u"-"_s, u"ExitMenu 終了(&X)"_s}},
        {u"OptionMenu オプション(&O)"_s,
         {u"ListMenu 登録データ一覧の表示(&L)"_s, u"RevMenu 反応･生成系反転(&V)"_s,
          u"ResetMenu 表示データのクリア(&R)"_s, u"-"_s,
          u"ChangePrinterItem プリンタの変更...(&P)"_s,
          u"ColorPrintModeMenu* カラーで印刷(&C)"_s}},
        {u"RegisterMenu 追加(&A)"_s, {u"RegisterItem 新しいデータの追加...(&A)"_s}},
        {u"CompositionMenu 平衡組成(&E)"_s, {u"CompositionItem 平衡組成の計算...(&E)"_s}},
        {u"Help ヘルプ(&H)"_s,
         {u"DispHelpMenu* ミニヘルプの表示(&D)"_s, u"AboutMenu このソフトについて...(&A)"_s}},
    };
    // clang-format on

    std::vector<std::pair<QString, QStringList>> actual;
    for (QAction* menuAction : form.menuBar()->actions()) {
        QMenu* menu = menuAction->menu();
        ASSERT_NE(menu, nullptr);
        QStringList items;
        for (QAction* item : menu->actions()) {
            if (item->isSeparator()) {
                items += u"-"_s;
                continue;
            }
            EXPECT_EQ(item->isCheckable(), item->isChecked()) << item->objectName().toStdString();
            items +=
                item->objectName() + (item->isChecked() ? u"*"_s : QString()) + u' ' + item->text();
        }
        actual.emplace_back(menu->objectName() + u' ' + menu->title(), items);
    }
    EXPECT_EQ(actual, expected);
}

TEST_F(MainFormTest, MenuItemShortcutsAndInitialStates)
{
    for (QAction* item : form.findChildren<QAction*>()) {
        if (item->isSeparator() || item->menu() || item->objectName().isEmpty())
            continue;
        SCOPED_TRACE(item->objectName().toStdString());
        QKeySequence shortcut;
        if (item == form.ExitMenu)
            shortcut = QKeySequence(u"Ctrl+X"_s);
        else if (item == form.KeepNowMenu)
            shortcut = QKeySequence(u"Ctrl+K"_s);
        EXPECT_EQ(item->shortcut(), shortcut);
        const bool startsDisabled = item == form.SaveItem || item == form.SaveResultItem;
        EXPECT_EQ(item->isEnabled(), !startsDisabled);
    }
}

TEST_F(MainFormTest, CtrlXCutsInATextBoxAndEndsTheProgramElsewhere)
{
    QSignalSpy exits(form.ExitMenu, &QAction::triggered);
    typeOver(form.React[0], u"CH4"_s);
    form.React[0]->selectAll();
    QTest::keyClick(form.React[0], Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(form.React[0]->text(), QString());
    EXPECT_EQ(exits.count(), 0);

    giveFocus(form.Restrict[1]);
    // The typed reaction is unsaved: the exit asks, and No keeps the program.
    platform.answerNext(MessageAnswer::No);
    QTest::keyClick(form.Restrict[1], Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(exits.count(), 1);
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(form.isVisible());
}
