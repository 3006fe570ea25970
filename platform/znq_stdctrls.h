/// \file
/// The standard widgets a form is built from: form, panel, static label, horizontal scroll bar,
/// edit, radio group and pop-up menu, with the properties and events the components' users know.
#pragma once

#include "znq_controls.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <vector>

class QButtonGroup;
class QGridLayout;

namespace znq {

/// A top-level window. Its client area holds the form's controls at pixel positions.
class TForm : public QWidget {
    Q_OBJECT

public:
    /// Where the window appears: poDesigned where the window system puts it, poScreenCenter
    /// centred on the primary screen at every show.
    enum class TPosition : uint8_t { poDesigned, poScreenCenter };

    /// A form in clBtnFace with the default TFont.
    explicit TForm(QWidget* parent = nullptr);

    /// The window title.
    std::string Caption() const { return windowTitle().toStdString(); }
    /// Sets the window title.
    void SetCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }
    /// Width of the client area.
    int ClientWidth() const { return width(); }
    /// Height of the client area.
    int ClientHeight() const { return height(); }
    /// Resizes the client area.
    void SetClientSize(int width, int height) { resize(width, height); }
    /// The background colour.
    TColor Color() const { return m_color; }
    /// Sets the background colour (the palette's window colour).
    void SetColor(TColor color);
    /// The form's font; its changes reach the widget.
    TFont& Font() { return m_font; }
    /// Where the window appears.
    TPosition Position() const { return m_position; }
    /// Sets where the window appears.
    void SetPosition(TPosition position) { m_position = position; }

    /// Fires at every show, after the window is placed.
    TNotifyEvent OnShow;

protected:
    /// Places the window by Position, then fires OnShow.
    void showEvent(QShowEvent* event) override;

private:
    TColor m_color = clBtnFace;
    TFont m_font;
    TPosition m_position = TPosition::poDesigned;
};

/// A raised panel that groups controls.
class TPanel : public QFrame {
    Q_OBJECT

public:
    /// A raised panel, a child of parent.
    explicit TPanel(QWidget* parent = nullptr);
};

/// A static text.
class TLabel : public QLabel {
    Q_OBJECT

public:
    /// An empty label, a child of parent.
    explicit TLabel(QWidget* parent = nullptr);
    /// The text.
    std::string Caption() const { return text().toStdString(); }
    /// Sets the text.
    void SetCaption(const std::string& caption) { setText(QString::fromStdString(caption)); }
    /// The control the label names (its buddy): assistive tools read the caption as that
    /// control's name, and a mnemonic in the caption focuses it. None by default.
    QWidget* FocusControl() const { return buddy(); }
    /// Sets the control the label names; nullptr for none.
    void SetFocusControl(QWidget* control) { setBuddy(control); }
};

/// A horizontal scroll bar. Any assigned position is clamped to Min..Max; OnChange fires exactly
/// when the position changes, whether by the user or by the program. It is a tab stop, and Left
/// moves the thumb left.
class TScrollBar : public QScrollBar {
    Q_OBJECT

public:
    /// A horizontal bar, a child of parent.
    explicit TScrollBar(QWidget* parent = nullptr);

    /// The smallest position.
    int Min() const { return minimum(); }
    /// The largest position.
    int Max() const { return maximum(); }
    /// Sets the smallest position.
    void SetMin(int value) { setMinimum(value); }
    /// Sets the largest position.
    void SetMax(int value) { setMaximum(value); }
    /// The thumb's position.
    int Position() const { return value(); }
    /// Moves the thumb, clamped to Min..Max.
    void SetPosition(int position) { setValue(position); }
    /// The page step (0 after construction).
    int PageSize() const { return pageStep(); }
    /// Sets the page step.
    void SetPageSize(int size) { setPageStep(size); }

    /// Fires when the position changes.
    TNotifyEvent OnChange;

protected:
    /// Left and Right step the thumb left and right.
    void keyPressEvent(QKeyEvent* event) override;
};

/// A single-line edit with its text published.
class TEdit : public TCustomEdit {
    Q_OBJECT

public:
    /// An empty field, a child of parent.
    explicit TEdit(QWidget* parent = nullptr);
};

/// A group of radio buttons laid out in Columns columns, item by item down each column.
/// ItemIndex is the checked item (-1: none). OnClick fires whenever ItemIndex changes, by the user
/// or by the program.
class TRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    /// An empty group, a child of parent.
    explicit TRadioGroup(QWidget* parent = nullptr);

    /// The group's title.
    std::string Caption() const { return title().toStdString(); }
    /// Sets the group's title.
    void SetCaption(const std::string& caption) { setTitle(QString::fromStdString(caption)); }
    /// The captions of the buttons.
    const std::vector<std::string>& Items() const { return m_items; }
    /// Replaces the buttons.
    void SetItems(const std::vector<std::string>& items);
    /// The number of columns.
    int Columns() const { return m_columns; }
    /// Clamped to 1..16.
    void SetColumns(int columns);
    /// The checked item, -1 for none.
    int ItemIndex() const { return m_itemIndex; }
    /// Values outside -1..count-1 are ignored.
    void SetItemIndex(int index);

    /// Fires whenever ItemIndex changes.
    TNotifyEvent OnClick;

private:
    void rebuild();
    void buttonClicked(int index);

    std::vector<std::string> m_items;
    int m_columns = 1;
    int m_itemIndex = -1;
    QButtonGroup* m_group;
    QGridLayout* m_layout;
};

/// An item of a pop-up menu.
class TMenuItem : public QObject {
    Q_OBJECT

public:
    /// An item with an object name and a caption.
    TMenuItem(const std::string& name, const std::string& caption, QObject* parent = nullptr);

    /// The text shown in the menu.
    std::string Caption() const { return m_action->text().toStdString(); }
    /// The Qt action behind the item.
    QAction* Action() { return m_action; }
    /// Runs the item as a click on it does.
    void Click();

    /// Fires when the item is chosen.
    TNotifyEvent OnClick;

private:
    QAction* m_action;
};

/// A pop-up menu shown by a right click on the control it is attached to.
class TPopupMenu : public QMenu {
    Q_OBJECT

public:
    /// An empty menu, a child of parent.
    explicit TPopupMenu(QWidget* parent = nullptr);

    /// Appends an item; the menu owns it.
    TMenuItem* Add(const std::string& name, const std::string& caption);
    /// The items in menu order.
    const std::vector<TMenuItem*>& Items() const { return m_items; }
    /// Attaches the menu to a widget: a context-menu request on it pops the menu up.
    void AttachTo(QWidget* widget);

private:
    std::vector<TMenuItem*> m_items;
};

} // namespace znq
