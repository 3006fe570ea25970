// A mouse event as the platform delivers it to a widget: position in the widget's pixels, the
// button that changed and the buttons held after it, and the keyboard modifiers.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace znq::testing_support {

inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint position,
    Qt::MouseButton button = Qt::NoButton, Qt::MouseButtons held = Qt::NoButton,
    Qt::KeyboardModifiers modifiers = {})
{
    QMouseEvent event(
        type, QPointF(position), QPointF(widget.mapToGlobal(position)), button, held, modifiers);
    QApplication::sendEvent(&widget, &event);
}

} // namespace znq::testing_support
