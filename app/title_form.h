#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QTimer;

namespace norvanta {

class Platform;

// The picture of the title window: the program's name over its emblem.
// Clicking it is the title window's way of giving way to the main window.
class TitlePicture : public QWidget {
    Q_OBJECT

public:
    explicit TitlePicture(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// The title window shown while the program starts: it refuses a second
// instance, forms the start folder, and 250 ms after it appears loads the
// main window; 2000 ms after that it closes itself.
class TitleForm : public QWidget {
    Q_OBJECT

public:
    // Loads the main window for the start folder (its start-up shows it) and
    // returns it.
    using MainWindowLoader = std::function<QWidget*(const QString& startFolder)>;

    TitleForm(Platform& platform, MainWindowLoader loadMainWindow, QWidget* parent = nullptr);

    TitlePicture* TitleImage = nullptr;
    QLabel* VerLabel = nullptr;
    QTimer* Timer0 = nullptr; // 250 ms: load the main window
    QTimer* Timer1 = nullptr; // 2000 ms: close the title window

    // Shows the title window and arms Timer0. False, after the refusal
    // message, when the program is already running; nothing else is done then.
    bool start();
    // Arms Timer0 and shows the title window centred on the screen.
    void showTitle();

    // The start folder: the working folder when start() ran.
    const QString& startFolder() const { return m_startFolder; }
    QWidget* mainWindow() const { return m_mainWindow; }

    void onTimer0();
    void onTimer1();
    void onTitleImageClicked();

private:
    void placeControls();

    Platform& m_platform;
    MainWindowLoader m_loadMainWindow;
    QString m_startFolder;
    QWidget* m_mainWindow = nullptr;
};

} // namespace norvanta
