#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

class QWidget;

namespace norvanta::testing {

// Shows the window, with the mouse pointer away from it, and makes it the
// active one, so that focus changes inside it deliver their focus events.
// Fails the test when it does not become active.
void showActive(QWidget& window);

// Gives the widget the keyboard focus as the Tab key would, and lets the focus
// events run.
void giveFocus(QWidget* widget, Qt::FocusReason reason = Qt::TabFocusReason);

// Moves the mouse pointer over the widget (its centre unless a point is
// given), as the user would, and lets the resulting events run.
void pointAt(QWidget* widget, QPoint position = {});

// Types the text into the widget after selecting what it holds.
void typeOver(QWidget* widget, const QString& text);

} // namespace norvanta::testing
