#include "app/main_form.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

namespace {

QAction* addItem(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QMenu* addMenu(QMenuBar* bar, const QString& name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    // Menus are windows of their own and do not inherit the window's font.
    menu->setFont(bar->font());
    return menu;
}

} // namespace

void MainForm::createMenus()
{
    QMenuBar* bar = menuBar();

    FileMenu = addMenu(bar, u"FileMenu"_s, u"ファイル(&F)"_s);
    OpenItem = addItem(FileMenu, u"OpenItem"_s, u"反応系を開く(&O)"_s);
    SaveItem = addItem(FileMenu, u"SaveItem"_s, u"上書き保存(&S)"_s);
    SaveItem->setEnabled(false);
    SaveAsItem = addItem(FileMenu, u"SaveAsItem"_s, u"名前を付けて保存(&A)"_s);
    FileMenu->addSeparator();
    SaveResultItem = addItem(FileMenu, u"SaveResultItem"_s, u"現在の計算結果の保存(&R)"_s);
    SaveResultItem->setEnabled(false);
    KeepNowMenu = addItem(FileMenu, u"KeepNowMenu"_s, u"現在の状態を保存(&K)"_s);
    KeepNowMenu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    FileMenu->addSeparator();
    ExitMenu = addItem(FileMenu, u"ExitMenu"_s, u"終了(&X)"_s);
    ExitMenu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    OptionMenu = addMenu(bar, u"OptionMenu"_s, u"オプション(&O)"_s);
    ListMenu = addItem(OptionMenu, u"ListMenu"_s, u"登録データ一覧の表示(&L)"_s);
    RevMenu = addItem(OptionMenu, u"RevMenu"_s, u"反応･生成系反転(&V)"_s);
    ResetMenu = addItem(OptionMenu, u"ResetMenu"_s, u"表示データのクリア(&R)"_s);
    OptionMenu->addSeparator();
    ChangePrinterItem = addItem(OptionMenu, u"ChangePrinterItem"_s, u"プリンタの変更...(&P)"_s);
    ColorPrintModeMenu = addItem(OptionMenu, u"ColorPrintModeMenu"_s, u"カラーで印刷(&C)"_s);
    ColorPrintModeMenu->setCheckable(true);
    ColorPrintModeMenu->setChecked(m_settings.ColorPrintMode != 0);

    RegisterMenu = addMenu(bar, u"RegisterMenu"_s, u"追加(&A)"_s);
    RegisterItem = addItem(RegisterMenu, u"RegisterItem"_s, u"新しいデータの追加...(&A)"_s);

    CompositionMenu = addMenu(bar, u"CompositionMenu"_s, u"平衡組成(&E)"_s);
    CompositionItem = addItem(CompositionMenu, u"CompositionItem"_s, u"平衡組成の計算...(&E)"_s);

    Help = addMenu(bar, u"Help"_s, u"ヘルプ(&H)"_s);
    DispHelpMenu = addItem(Help, u"DispHelpMenu"_s, u"ミニヘルプの表示(&D)"_s);
    DispHelpMenu->setCheckable(true);
    DispHelpMenu->setChecked(m_settings.DispHelp != 0);
    AboutMenu = addItem(Help, u"AboutMenu"_s, u"このソフトについて...(&A)"_s);
}

} // namespace norvanta
