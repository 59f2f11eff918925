#include "support/gui_helpers.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace norvanta::testing {

void showActive(QWidget& window)
{
    // A pointer left over the place where the window appears would raise its events.
    QCursor::setPos(QPoint(-10000, -10000));
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window, 2000)) << "window did not become active";
}

void giveFocus(QWidget* widget, Qt::FocusReason reason)
{
    widget->setFocus(reason);
    QApplication::processEvents();
    EXPECT_TRUE(widget->hasFocus())
        << widget->objectName().toStdString() << " did not take the focus";
}

void pointAt(QWidget* widget, QPoint position)
{
    if (position.isNull())
        position = widget->rect().center();
    // Leave first, so that arriving at the point is a move even when the
    // pointer was already there.
    QTest::mouseMove(widget->window(), widget->window()->rect().bottomRight() + QPoint(50, 50));
    QTest::mouseMove(widget, position);
}

void typeOver(QWidget* widget, const QString& text)
{
    giveFocus(widget);
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        box->selectAll();
    QTest::keyClicks(widget, text);
}

} // namespace norvanta::testing
