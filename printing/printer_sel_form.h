#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace norvanta {

class Platform;

// The printer selection window: lists the printers to choose from with the
// current one selected; OK makes the named printer current for the rest of
// the run, Cancel leaves it. The window is not modal and deletes itself
// when it closes.
class PrinterSelForm : public QWidget {
    Q_OBJECT

public:
    explicit PrinterSelForm(Platform& platform, QWidget* parent = nullptr);

    QLabel* Label1;
    // Editable: a typed name is taken when it names a printer exactly.
    QComboBox* PrinterList;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    // Fills the list, selects the current printer and shows the window
    // centred on the screen.
    void load();

    void onOKButtonClicked();
    void onCancelButtonClicked();

private:
    Platform& platform_;
};

} // namespace norvanta
