// Telling assistive tools that what a control shows has changed, without flooding them: a burst
// of changes (a pointer dragging a crosshair, a read-out following it) ends in one event with the
// value that has settled.
#pragma once

#include <QAccessible>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QWidget;

namespace znq {

/// Makes Qt build an Interface (constructed from a Widget*) as what assistive tools see of every
/// widget of class Widget and its subclasses that have no interface of their own; once per pair.
template <typename Widget, typename Interface> void InstallAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString& key, QObject* object) {
            QAccessibleInterface* face = nullptr;
            if (key == QLatin1String(Widget::staticMetaObject.className()))
                if (auto* widget = qobject_cast<Widget*>(object))
                    face = new Interface(widget);
            return face;
        });
        return true;
    }();
    (void)installed;
}

/// Sends a widget's accessible value and description changes at most once per interval, never
/// from inside a paint: Changed() only arms a timer, and when it fires the texts read then are
/// compared with the last ones sent, and the events sent for those that differ.
class TAccessibleNotice : public QObject {
    Q_OBJECT

public:
    /// For widget; value and description read the texts that assistive tools would read (an
    /// empty function: that text is never sent).
    TAccessibleNotice(QWidget* widget, std::function<QString()> value,
        std::function<QString()> description = {}, int intervalMs = 100);

    /// Something the texts show may have changed: they are read and sent when the interval since
    /// the last event has passed. Nothing happens while no assistive tool is listening.
    void Changed();

private:
    void send();

    QWidget* m_widget;
    std::function<QString()> m_value;
    std::function<QString()> m_description;
    int m_interval;
    QTimer m_timer;
    QElapsedTimer m_sinceSent;
    QString m_sentValue;
    QString m_sentDescription;
};

} // namespace znq
