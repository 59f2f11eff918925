#include "app/main_form.h"

#include <QAction>
#include <QPushButton>

namespace norvanta {

void MainForm::closeListPanel()
{
    setListPanelOpen(false);
    hideHelpLine();
    ListButton->setEnabled(true);
    ListMenu->setEnabled(true);
    if (CalButton->isEnabled())
        CalButton->setFocus(Qt::OtherFocusReason);
}

} // namespace norvanta
