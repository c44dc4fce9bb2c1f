#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Sends one mouse event to a top-level window at a global position, as a drag delivers it.
inline void sendMouse(QWidget* window, QEvent::Type type, QPoint global, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(global - window->pos()), QPointF(global), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(window, &event);
}
