#include "app/main_form.h"

#include "common/platform.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace norvanta {

namespace {

// ListName discards every key and wheel turn, so that the genre changes only
// by a choice from its list or by the genre buttons; Tab still moves on.
// FindText selects its whole text when it gets the focus.
class ListPanelInput : public QObject {
public:
    ListPanelInput(QComboBox* listName, QLineEdit* findText, QObject* parent)
        : QObject(parent), m_listName(listName), m_findText(findText)
    {
        listName->installEventFilter(this);
        findText->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_listName) {
            if (event->type() == QEvent::Wheel)
                return true;
            if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
                const int key = static_cast<QKeyEvent*>(event)->key();
                return key != Qt::Key_Tab && key != Qt::Key_Backtab;
            }
        } else if (watched == m_findText && event->type() == QEvent::FocusIn) {
            // Coming back from another window keeps the selection the user left.
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
                m_findText->selectAll();
        }
        return false;
    }

private:
    QComboBox* m_listName;
    QLineEdit* m_findText;
};

} // namespace

void MainForm::connectListPanel()
{
    new ListPanelInput(ListName, FindText, this);
    connect(ListButton, &QPushButton::clicked, this, &MainForm::openListPanel);
    connect(ListMenu, &QAction::triggered, this, &MainForm::openListPanel);
    connect(CloseButton, &QPushButton::clicked, this, &MainForm::closeListPanel);
    connect(ListName, &QComboBox::activated, this, &MainForm::ShowTables);
    connect(GenreUpButton, &QPushButton::clicked, this, &MainForm::onGenreUpClicked);
    connect(GenreDownButton, &QPushButton::clicked, this, &MainForm::onGenreDownClicked);
    connect(FindDownButton, &QPushButton::clicked, this,
            [this] { onFindClicked(SearchDirection::TowardBottom); });
    connect(FindUpButton, &QPushButton::clicked, this,
            [this] { onFindClicked(SearchDirection::TowardTop); });
    connect(ListItem, &QListWidget::itemDoubleClicked, this, &MainForm::onListItemDoubleClicked);
}

void MainForm::openListPanel()
{
    CompoundDatabaseLoad load = CompoundDatabase::load(m_databasePath);
    m_database = std::move(load.database);
    ListName->clear();
    ListItem->clear();
    // After a failure the list keeps the genres read up to it.
    ListName->addItems(m_database.genreNames());
    if (load.failure) {
        showMessage(m_platform, load.failure->text, load.failure->icon);
        return;
    }
    showGenre(0);
    ListButton->setEnabled(false);
    ListMenu->setEnabled(false);
    setListPanelOpen(true);
}

void MainForm::closeListPanel()
{
    setListPanelOpen(false);
    hideHelpLine();
    ListButton->setEnabled(true);
    ListMenu->setEnabled(true);
    if (CalButton->isEnabled())
        CalButton->setFocus(Qt::OtherFocusReason);
}

int MainForm::currentGenreNumber() const
{
    return m_database.genreNumber(ListName->currentText());
}

void MainForm::ShowTables()
{
    ListItem->clear();
    ListItem->addItems(m_database.genreEntries(currentGenreNumber()));
}

void MainForm::showGenre(int position)
{
    ListName->setCurrentIndex(position);
    ShowTables();
}

int MainForm::selectedListEntry() const
{
    const QList<QListWidgetItem*> selected = ListItem->selectedItems();
    return selected.isEmpty() ? -1 : ListItem->row(selected.first());
}

// With a repeated genre name the shown genre counts as the first of its name.
void MainForm::onGenreUpClicked()
{
    const int genre = currentGenreNumber();
    if (genre > 1)
        showGenre(genre - 2);
}

void MainForm::onGenreDownClicked()
{
    const int genre = currentGenreNumber();
    if (genre < ListName->count() && !ListName->itemText(genre).isEmpty() &&
        genre < CompoundDatabase::MaxGenres)
        showGenre(genre);
}

void MainForm::onFindClicked(SearchDirection direction)
{
    const int genre = currentGenreNumber();
    const auto hit =
        findCompound(m_database, genre, selectedListEntry(), FindText->text(), direction);
    if (!hit)
        return;
    if (hit->genre != genre)
        showGenre(hit->genre - 1);
    // A name behind an empty one is not in the list: its genre is shown unselected.
    if (hit->entry < ListItem->count()) {
        ListItem->setCurrentRow(hit->entry);
        ListItem->scrollToItem(ListItem->item(hit->entry));
    }
}

void MainForm::onListItemDoubleClicked()
{
    QLineEdit* box = compoundBox(m_input.activeCompoundField);
    const int entry = selectedListEntry();
    if (!box || entry < 0)
        return;
    // The whole text is replaced; the box's change handling runs as for typing.
    box->setText(ListItem->item(entry)->text());
}

} // namespace norvanta
