#pragma once

#include <QDialog>

class QLabel;

namespace norvanta {

class MainForm;
class Platform;

// The about window: the program's name, its version and its emblem. A click
// anywhere on it closes it; the pointer over it hides the main window's help line.
class AboutForm : public QDialog {
    Q_OBJECT

public:
    explicit AboutForm(QWidget* parent = nullptr);

    QWidget* Emblem = nullptr;
    QLabel* TitleLabel = nullptr;
    QLabel* SubtitleLabel = nullptr;
    QLabel* VersionLabel = nullptr;
    QLabel* NoteLabel = nullptr;

Q_SIGNALS:
    // The labels and the emblem let the pointer through: all of the window is background.
    void pointerOverBackground();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

// AboutMenu: the about window centred on the screen, modal until clicked.
void showAboutForm(Platform& platform, MainForm& mainForm);

} // namespace norvanta
