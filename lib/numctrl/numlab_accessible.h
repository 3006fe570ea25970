// What assistive tools see of the numeric read-out: a static text whose name is its caption (or
// the application's accessible name) and whose value and text are exactly what the box shows.
// Internal to the read-out.
#pragma once

#include <QAccessibleWidget>

namespace znq {

class TNumLab;

/// The read-out as a static text with a read-only text interface (without one, Qt's AT-SPI bridge
/// drops the value and a screen reader hears only the name).
class TNumLabAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    /// The interface of label.
    explicit TNumLabAccessible(TNumLab* label);

    /// Name: accessibleName when set, else the caption (LeftText); value: the text shown.
    QString text(QAccessible::Text kind) const override;
    /// The text interface, besides the widget's own.
    void* interface_cast(QAccessible::InterfaceType type) override;

    /// @{
    /// The shown text, read only: no selection, the cursor at its start.
    void selection(int index, int* start, int* end) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override { }
    void removeSelection(int) override { }
    void setSelection(int, int, int) override { }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override { }
    QString text(int start, int end) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int, int) override { }
    QString attributes(int offset, int* start, int* end) const override;
    /// @}

private:
    QString shown() const;
    TNumLab* label() const;
};

} // namespace znq
