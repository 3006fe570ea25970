#include "znq_accessible.h"

#include <QAccessible>
#include <QWidget>

#include <algorithm>

namespace znq {

TAccessibleNotice::TAccessibleNotice(QWidget* widget, std::function<QString()> value,
    std::function<QString()> description, int intervalMs)
    : QObject(widget)
    , m_widget(widget)
    , m_value(std::move(value))
    , m_description(std::move(description))
    , m_interval(std::max(0, intervalMs))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { send(); });
}

void TAccessibleNotice::Changed()
{
    if (!QAccessible::isActive() || m_timer.isActive())
        return;
    const qint64 since = m_sinceSent.isValid() ? m_sinceSent.elapsed() : m_interval;
    m_timer.start(int(std::max<qint64>(0, m_interval - since)));
}

void TAccessibleNotice::send()
{
    if (!QAccessible::isActive())
        return;
    bool sent = false;
    if (m_value) {
        const QString value = m_value();
        if (value != m_sentValue) {
            m_sentValue = value;
            QAccessibleValueChangeEvent event(m_widget, value);
            QAccessible::updateAccessibility(&event);
            sent = true;
        }
    }
    if (m_description) {
        const QString description = m_description();
        if (description != m_sentDescription) {
            m_sentDescription = description;
            QAccessibleEvent event(m_widget, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&event);
            sent = true;
        }
    }
    if (sent)
        m_sinceSent.start();
}

} // namespace znq
