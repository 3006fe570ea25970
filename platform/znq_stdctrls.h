// The standard widgets a form is built from: form, panel, static label, horizontal scroll bar,
// edit, radio group and pop-up menu, with the properties and events the components' users know.
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

// A top-level window. Its client area holds the form's controls at pixel positions.
class TForm : public QWidget {
    Q_OBJECT

public:
    enum class TPosition : uint8_t { poDesigned, poScreenCenter };

    explicit TForm(QWidget* parent = nullptr);

    std::string Caption() const { return windowTitle().toStdString(); }
    void SetCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }
    int ClientWidth() const { return width(); }
    int ClientHeight() const { return height(); }
    void SetClientSize(int width, int height) { resize(width, height); }
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TFont& Font() { return m_font; }
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition position) { m_position = position; }

    TNotifyEvent OnShow;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TColor m_color = clBtnFace;
    TFont m_font;
    TPosition m_position = TPosition::poDesigned;
};

// A raised panel that groups controls.
class TPanel : public QFrame {
    Q_OBJECT

public:
    explicit TPanel(QWidget* parent = nullptr);
};

// A static text.
class TLabel : public QLabel {
    Q_OBJECT

public:
    explicit TLabel(QWidget* parent = nullptr);
    std::string Caption() const { return text().toStdString(); }
    void SetCaption(const std::string& caption) { setText(QString::fromStdString(caption)); }
};

// A horizontal scroll bar. Any assigned position is clamped to Min..Max; OnChange fires exactly
// when the position changes, whether by the user or by the program.
class TScrollBar : public QScrollBar {
    Q_OBJECT

public:
    explicit TScrollBar(QWidget* parent = nullptr);

    int Min() const { return minimum(); }
    int Max() const { return maximum(); }
    void SetMin(int value) { setMinimum(value); }
    void SetMax(int value) { setMaximum(value); }
    int Position() const { return value(); }
    void SetPosition(int position) { setValue(position); }
    int PageSize() const { return pageStep(); }
    void SetPageSize(int size) { setPageStep(size); }

    TNotifyEvent OnChange;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A single-line edit with its text published.
class TEdit : public TCustomEdit {
    Q_OBJECT

public:
    explicit TEdit(QWidget* parent = nullptr);
};

// A group of radio buttons laid out in Columns columns, item by item down each column.
// ItemIndex is the checked item (-1: none). OnClick fires whenever ItemIndex changes, by the user
// or by the program.
class TRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    std::string Caption() const { return title().toStdString(); }
    void SetCaption(const std::string& caption) { setTitle(QString::fromStdString(caption)); }
    const std::vector<std::string>& Items() const { return m_items; }
    void SetItems(const std::vector<std::string>& items);
    int Columns() const { return m_columns; }
    // Clamped to 1..16.
    void SetColumns(int columns);
    int ItemIndex() const { return m_itemIndex; }
    // Values outside -1..count-1 are ignored.
    void SetItemIndex(int index);

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

class TMenuItem : public QObject {
    Q_OBJECT

public:
    TMenuItem(const std::string& name, const std::string& caption, QObject* parent = nullptr);

    std::string Caption() const { return m_action->text().toStdString(); }
    QAction* Action() { return m_action; }
    // Runs the item as a click on it does.
    void Click();

    TNotifyEvent OnClick;

private:
    QAction* m_action;
};

// A pop-up menu shown by a right click on the control it is attached to.
class TPopupMenu : public QMenu {
    Q_OBJECT

public:
    explicit TPopupMenu(QWidget* parent = nullptr);

    TMenuItem* Add(const std::string& name, const std::string& caption);
    const std::vector<TMenuItem*>& Items() const { return m_items; }
    // Attaches the menu to a widget: a context-menu request on it pops the menu up.
    void AttachTo(QWidget* widget);

private:
    std::vector<TMenuItem*> m_items;
};

} // namespace znq
