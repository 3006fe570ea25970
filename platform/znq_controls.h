// The control bases that the components derive from, over QWidget and QLineEdit.
//
// TControl carries what every control shares (name, bounds, visibility, font with change
// notification, the loading and designing states, the standard mouse and resize events).
// TCustomControl and TGraphicControl add the control's canvas: a backing image the size of the
// widget that Paint draws into and paintEvent copies to the screen, so the picture is current as
// soon as Paint returns. TCustomEdit is a single-line edit with text, caret, maximum length and
// change notification.
#pragma once

#include "znq_graphics.h"

#include <QLineEdit>
#include <QWidget>
#include <functional>
#include <string>

class QMouseEvent;

namespace znq {

// Component state flags, as a small set.
enum class TComponentStateFlag : uint8_t { csLoading = 0x1, csDesigning = 0x2 };
Q_DECLARE_FLAGS(TComponentState, TComponentStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TComponentState)

// The shift state of a mouse notification: keyboard modifiers and the buttons held.
TShiftState ShiftStateOf(
    Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick = false);
// And back, for the signals: the keyboard modifiers and the buttons held of a shift state.
Qt::KeyboardModifiers ModifiersOf(TShiftState shift);
Qt::MouseButtons ButtonsOf(TShiftState shift);
Qt::MouseButton QtButtonOf(TMouseButton button);

// Sets a flag for its own lifetime: marks a section, such as a paint, that must not run again
// inside itself.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~TFlagScope() { m_flag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& m_flag;
};

// The standard events, for the signals that follow their handlers.
enum class TStandardEvent : uint8_t { seMouseDown, seMouseMove, seMouseUp, seClick, seDblClick, seResize };

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent
    = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// The part common to every control. It is not a QObject itself; the concrete bases combine it
// with their widget class and forward the widget's events to it.
class TControl {
public:
    explicit TControl(QWidget& widget);
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name);

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    void SetBounds(int left, int top, int width, int height);

    // The control's own visibility flag (true after construction), independent of whether its
    // parent is shown.
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);

    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }

    TComponentState ComponentState() const { return m_state; }
    bool Loading() const { return m_state.testFlag(TComponentStateFlag::csLoading); }
    bool Designing() const { return m_state.testFlag(TComponentStateFlag::csDesigning); }
    // The form sets the loading state around the application of stored property values and ends
    // it by calling Loaded.
    void BeginLoading() { m_state |= TComponentStateFlag::csLoading; }
    void SetDesigning(bool designing)
    {
        m_state.setFlag(TComponentStateFlag::csDesigning, designing);
    }
    // Ends the loading state; overrides call this first.
    virtual void Loaded();

    QWidget& Widget() { return m_widget; }

    // Standard events; each fires before the component's own handling of the notification.
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;

protected:
    // Hooks. CreateWnd runs once, on the first show, before the first paint; the size
    // notification (Resized, OnResize) follows it, as for every new window.
    virtual void CreateWnd() { }
    virtual void FontChanged() { }
    // Called after every size change, before OnResize fires.
    virtual void Resized() { }
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();

    // Called right after each standard event's handler (the mouse position and shift state are
    // those of mouse events); the widget bases emit their signals here.
    virtual void standardEventFired(
        TStandardEvent /*event*/, TMouseButton /*button*/, TShiftState /*shift*/, int /*x*/, int /*y*/)
    {
    }

    // Forwarders for the widget's event handlers.
    void handleShow();
    void handleResize();
    void handleMousePress(QMouseEvent* event);
    void handleMouseMove(QMouseEvent* event);
    void handleMouseRelease(QMouseEvent* event);
    void handleDoubleClick(QMouseEvent* event);

    TObject* sender() { return &m_widget; }

private:
    void notifyResize();

    QWidget& m_widget;
    std::string m_name;
    bool m_visible = true;
    bool m_windowCreated = false;
    bool m_pressedLeft = false;
    QSize m_notifiedSize { -1, -1 };
    TComponentState m_state;
    TFont m_font;
};

// A control with a canvas of its own: the backing image that Paint draws into.
class TCanvasControl : public QWidget, public TControl {
    Q_OBJECT

public:
    explicit TCanvasControl(QWidget* parent = nullptr);

    TCanvas& Canvas() { return m_canvas; }
    const QImage& BackingImage() const { return m_backing; }

    // Draws the whole picture into the canvas and schedules its copy to the screen.
    virtual void Paint() { }
    // Paint, then update() so the new picture reaches the screen.
    void Repaint();
    // Marks the picture as out of date: the next paint event runs Paint before it copies.
    void Invalidate();

Q_SIGNALS:
    // The standard events, each emitted right after its handler.
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void clicked();
    void doubleClicked();
    void resized();

protected:
    void standardEventFired(
        TStandardEvent event, TMouseButton button, TShiftState shift, int x, int y) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void Resized() override;
    // Copies the backing image to the screen; a transparent control may combine it differently.
    virtual void presentBacking(QPainter& painter);
    // Gives the backing image the widget's size (its content is then undefined until painted).
    void fitBacking();
    // A Paint override calls this when it has finished the picture: it is current now, and
    // update() schedules its copy to the screen.
    void canvasPainted();
    // Whether the next paint event will run Paint (the picture is out of date).
    bool paintPending() const { return m_needsPaint; }

private:
    QImage m_backing;
    TCanvas m_canvas;
    bool m_needsPaint = true;
};

// A windowed control that can take the focus.
class TCustomControl : public TCanvasControl {
    Q_OBJECT

public:
    explicit TCustomControl(QWidget* parent = nullptr);
};

// A light control without focus that paints over its parent; where its picture is not opaque the
// parent shows through.
class TGraphicControl : public TCanvasControl {
    Q_OBJECT

public:
    explicit TGraphicControl(QWidget* parent = nullptr);
};

// A single-line edit field.
class TCustomEdit : public QLineEdit, public TControl {
    Q_OBJECT

public:
    explicit TCustomEdit(QWidget* parent = nullptr);

    std::string Text() const;
    // Writes the text, and thereby notifies a change, only when it differs from the current one.
    void SetText(const std::string& text);
    // Caret position (the selection start), 0-based in characters.
    int SelStart() const;
    void SetSelStart(int position);
    int MaxLength() const { return maxLength(); }
    void SetMaxLength(int length) { setMaxLength(length <= 0 ? 32767 : length); }

    TNotifyEvent OnChange;

Q_SIGNALS:
    // The standard events and OnChange, each emitted right after its handler.
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void clicked();
    void doubleClicked();
    void resized();
    void changed();

protected:
    // Runs on every change of the text, by the user or by the program; fires OnChange.
    virtual void Change();
    void standardEventFired(
        TStandardEvent event, TMouseButton button, TShiftState shift, int x, int y) override;

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace znq
