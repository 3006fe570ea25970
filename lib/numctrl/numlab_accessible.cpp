// The read-out's accessible interface.
#include "numlab_accessible.h"
#include "ZNQ_NumLab.h"

#include <QAccessible>

namespace znq {

TNumLabAccessible::TNumLabAccessible(TNumLab* label)
    : QAccessibleWidget(label, QAccessible::StaticText)
{
}

TNumLab* TNumLabAccessible::label() const
{
    return static_cast<TNumLab*>(widget());
}

QString TNumLabAccessible::shown() const
{
    return QString::fromStdString(label()->ShownText());
}

QString TNumLabAccessible::text(QAccessible::Text kind) const
{
    switch (kind) {
    case QAccessible::Name: {
        const QString name = widget()->accessibleName();
        return name.isEmpty() ? QString::fromStdString(label()->LeftText()).trimmed() : name;
    }
    case QAccessible::Value:
        return shown();
    default:
        return QAccessibleWidget::text(kind);
    }
}

void* TNumLabAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void TNumLabAccessible::selection(int, int* start, int* end) const
{
    *start = *end = 0;
}

QString TNumLabAccessible::text(int start, int end) const
{
    const QString all = shown();
    start = std::clamp(start, 0, int(all.size()));
    end = end < 0 ? int(all.size()) : std::clamp(end, start, int(all.size()));
    return all.mid(start, end - start);
}

int TNumLabAccessible::characterCount() const
{
    return int(shown().size());
}

// The characters are not placed one by one: each answers with the box's rectangle on the screen.
QRect TNumLabAccessible::characterRect(int) const
{
    return rect();
}

int TNumLabAccessible::offsetAtPoint(const QPoint&) const
{
    return -1;
}

QString TNumLabAccessible::attributes(int offset, int* start, int* end) const
{
    *start = *end = offset;
    return QString();
}

} // namespace znq
