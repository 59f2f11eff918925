#pragma once

#include <QDialog>

class QLabel;

namespace norvanta {

class Platform;

// The about window: the program's name, its version and its emblem. A click
// anywhere on it closes it.
class AboutForm : public QDialog {
    Q_OBJECT

public:
    explicit AboutForm(QWidget* parent = nullptr);

    QWidget* Emblem = nullptr;
    QLabel* TitleLabel = nullptr;
    QLabel* SubtitleLabel = nullptr;
    QLabel* VersionLabel = nullptr;
    QLabel* NoteLabel = nullptr;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// AboutMenu: the about window centred on the screen, modal until clicked.
void showAboutForm(Platform& platform, QWidget* parent);

} // namespace norvanta
