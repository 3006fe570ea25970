/// \file
/// The control bases that the components derive from, over QWidget and QLineEdit.
///
/// TControl carries what every control shares (name, bounds, visibility, font with change
/// notification, the loading and designing states, the standard mouse and resize events).
/// TCustomControl and TGraphicControl add the control's canvas: a backing image the size of the
/// widget that Paint draws into and paintEvent copies to the screen, so the picture is current as
/// soon as Paint returns. TCustomEdit is a single-line edit with text, caret, maximum length and
/// change notification.
#pragma once

#include "znq_graphics.h"

#include <QLineEdit>
#include <QWidget>
#include <functional>
#include <string>

class QMouseEvent;

namespace znq {

/// Component state flags, as a small set: csLoading while stored property values are being
/// applied (Loaded ends it), csDesigning while the component is edited in a form designer.
enum class TComponentStateFlag : uint8_t { csLoading = 0x1, csDesigning = 0x2 };
/// A set of component state flags.
Q_DECLARE_FLAGS(TComponentState, TComponentStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TComponentState)

/// The shift state of a mouse notification: keyboard modifiers and the buttons held.
TShiftState ShiftStateOf(
    Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick = false);
/// The keyboard modifiers of a shift state, for the signals.
Qt::KeyboardModifiers ModifiersOf(TShiftState shift);
/// The mouse buttons held in a shift state, for the signals.
Qt::MouseButtons ButtonsOf(TShiftState shift);
/// The Qt button of a mouse button.
Qt::MouseButton QtButtonOf(TMouseButton button);

/// The standard events, for the signals that follow their handlers: mouse down, move and up,
/// click, double click and resize.
enum class TStandardEvent : uint8_t {
    seMouseDown,
    seMouseMove,
    seMouseUp,
    seClick,
    seDblClick,
    seResize
};

/// A mouse button event: the button, the shift state and the pointer in control pixels.
using TMouseEvent
    = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
/// A mouse move event: the shift state and the pointer in control pixels.
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

/// The part common to every control. It is not a QObject itself; the concrete bases combine it
/// with their widget class and forward the widget's events to it.
class TControl {
public:
    /// The control part of widget, which owns it.
    explicit TControl(QWidget& widget);
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    /// The component's name, used in its error messages.
    const std::string& Name() const { return m_name; }
    /// Sets the name, also as the widget's object name.
    void SetName(const std::string& name);

    /// Position of the left edge in the parent, in pixels.
    int Left() const;
    /// Position of the top edge in the parent, in pixels.
    int Top() const;
    /// Width in pixels.
    int Width() const;
    /// Height in pixels.
    int Height() const;
    /// Moves the control horizontally.
    void SetLeft(int left);
    /// Moves the control vertically.
    void SetTop(int top);
    /// Sets the width; see SetBounds.
    void SetWidth(int width);
    /// Sets the height; see SetBounds.
    void SetHeight(int height);
    /// Sets position and size (negative sizes count as 0). A change of size is reported at once
    /// (Resized, OnResize), also while the control is hidden.
    void SetBounds(int left, int top, int width, int height);

    /// The control's own visibility flag (true after construction), independent of whether its
    /// parent is shown.
    bool Visible() const { return m_visible; }
    /// Stores the flag and shows or hides the widget.
    void SetVisible(bool visible);
    /// Whether the widget is enabled.
    bool Enabled() const;
    /// Enables or disables the widget.
    void SetEnabled(bool enabled);

    /// The control's font; a change of any attribute reaches the widget and FontChanged.
    TFont& Font() { return m_font; }
    /// The control's font.
    const TFont& Font() const { return m_font; }

    /// The loading and designing flags.
    TComponentState ComponentState() const { return m_state; }
    /// Whether stored values are being applied.
    bool Loading() const { return m_state.testFlag(TComponentStateFlag::csLoading); }
    /// Whether the control is being edited in a form designer.
    bool Designing() const { return m_state.testFlag(TComponentStateFlag::csDesigning); }
    /// The form sets the loading state around the application of stored property values and ends
    /// it by calling Loaded.
    void BeginLoading() { m_state |= TComponentStateFlag::csLoading; }
    /// Sets or clears the designing flag.
    void SetDesigning(bool designing)
    {
        m_state.setFlag(TComponentStateFlag::csDesigning, designing);
    }
    /// Ends the loading state; overrides call this first.
    virtual void Loaded();

    /// The widget this control part belongs to.
    QWidget& Widget() { return m_widget; }

    /// A mouse button went down over the control; fires before the component's own handling.
    TMouseEvent OnMouseDown;
    /// The mouse moved over the control (with or without a button); fires before the component's
    /// own handling.
    TMouseMoveEvent OnMouseMove;
    /// A mouse button was released; fires before the component's own handling.
    TMouseEvent OnMouseUp;
    /// A left press and release inside the control.
    TNotifyEvent OnClick;
    /// A double click.
    TNotifyEvent OnDblClick;
    /// The size changed (and once when the window is created).
    TNotifyEvent OnResize;

protected:
    /// Hook: CreateWnd runs once, on the first show, before the first paint; the size
    /// notification (Resized, OnResize) follows it, as for every new window.
    virtual void CreateWnd() { }
    /// Called after every change of a Font attribute.
    virtual void FontChanged() { }
    /// Called after every size change, before OnResize fires.
    virtual void Resized() { }
    /// A button went down; fires OnMouseDown.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    /// The pointer moved; fires OnMouseMove.
    virtual void MouseMove(TShiftState shift, int x, int y);
    /// A button was released; fires OnMouseUp.
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    /// A click; fires OnClick.
    virtual void Click();
    /// A double click; fires OnDblClick.
    virtual void DblClick();

    /// Called right after each standard event's handler (the mouse position and shift state are
    /// those of mouse events); the widget bases emit their signals here.
    virtual void standardEventFired(TStandardEvent /*event*/, TMouseButton /*button*/,
        TShiftState /*shift*/, int /*x*/, int /*y*/)
    {
    }

    /// Forwarders for the widget's event handlers.
    void handleShow();
    /// Forwards a resize.
    void handleResize();
    /// Forwards a button press.
    void handleMousePress(QMouseEvent* event);
    /// Forwards a pointer move.
    void handleMouseMove(QMouseEvent* event);
    /// Forwards a button release (and the click it completes).
    void handleMouseRelease(QMouseEvent* event);
    /// Forwards a double click.
    void handleDoubleClick(QMouseEvent* event);

    /// The Sender of the control's events: its widget.
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

/// A control with a canvas of its own: the backing image that Paint draws into. Mouse tracking is
/// on, so moves without a button arrive too.
class TCanvasControl : public QWidget, public TControl {
    Q_OBJECT

public:
    /// A child of parent (or a top-level widget without one).
    explicit TCanvasControl(QWidget* parent = nullptr);

    /// The control's canvas: it draws into the backing image.
    TCanvas& Canvas() { return m_canvas; }
    /// The picture as the last paint left it, the size of the widget.
    const QImage& BackingImage() const { return m_backing; }

    /// Draws the whole picture into the canvas and schedules its copy to the screen.
    virtual void Paint() { }
    /// Paint, then update() so the new picture reaches the screen.
    void Repaint();
    /// Marks the picture as out of date: the next paint event runs Paint before it copies.
    void Invalidate();

    // The standard events, each emitted right after its handler.
Q_SIGNALS:
    /// After OnMouseDown (also for the press of a double click).
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    /// After OnMouseMove.
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    /// After OnMouseUp.
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    /// After OnClick.
    void clicked();
    /// After OnDblClick.
    void doubleClicked();
    /// After OnResize.
    void resized();

protected:
    /// Emits the standard signals.
    void standardEventFired(
        TStandardEvent event, TMouseButton button, TShiftState shift, int x, int y) override;
    /// Runs Paint when the picture is out of date, then copies it to the screen.
    void paintEvent(QPaintEvent* event) override;
    /// The first show runs CreateWnd.
    void showEvent(QShowEvent* event) override;
    /// Reports the new size (Resized, OnResize).
    void resizeEvent(QResizeEvent* event) override;
    /// Forwards to MouseDown.
    void mousePressEvent(QMouseEvent* event) override;
    /// Forwards to MouseMove.
    void mouseMoveEvent(QMouseEvent* event) override;
    /// Forwards to Click and MouseUp.
    void mouseReleaseEvent(QMouseEvent* event) override;
    /// Forwards to DblClick and MouseDown.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    /// Fits the backing image to the new size and marks the picture out of date.
    void Resized() override;
    /// Copies the backing image to the screen; a transparent control may combine it differently.
    virtual void presentBacking(QPainter& painter);
    /// Gives the backing image the widget's size (its content is then undefined until painted).
    void fitBacking();
    /// Shows image, which has the backing's size, format and device pixel ratio, without copying
    /// it: the backing shares its pixels (Qt's implicit sharing), so that the first drawing on the
    /// canvas afterwards copies them. Whoever gave them keeps a share, and changes them only to
    /// change the picture shown, when nobody else holds them. False, and nothing shown, for an
    /// image that does not fit.
    bool showImage(const QImage& image);
    /// A Paint override calls this when it has finished the picture: it is current now, and
    /// update() schedules its copy to the screen.
    void canvasPainted();
    /// Whether the next paint event will run Paint (the picture is out of date).
    bool paintPending() const { return m_needsPaint; }
    /// Whether the backing image has the widget's size at its device pixel ratio.
    bool backingFits() const;
    /// Runs paint as the control's paint, unless one is in progress: a paint asked for meanwhile
    /// (by a handler or slot of the rendering) follows it from the event loop, so that a paint
    /// never runs inside another.
    void runPaint(const std::function<void()>& paint);
    /// Whether a paint of the control is in progress.
    bool painting() const { return m_painting; }

private:
    QImage m_backing;
    QSize m_backingSize { -1, -1 };
    double m_backingRatio = 1.0;
    TCanvas m_canvas;
    bool m_needsPaint = true;
    bool m_painting = false;
    bool m_paintAgain = false;
};

/// A windowed control that can take the focus.
class TCustomControl : public TCanvasControl {
    Q_OBJECT

public:
    /// A child of parent (or a top-level widget without one).
    explicit TCustomControl(QWidget* parent = nullptr);
};

/// A light control without focus that paints over its parent; where its picture is not opaque the
/// parent shows through.
class TGraphicControl : public TCanvasControl {
    Q_OBJECT

public:
    /// A child of parent (or a top-level widget without one).
    explicit TGraphicControl(QWidget* parent = nullptr);
};

/// A single-line edit field.
class TCustomEdit : public QLineEdit, public TControl {
    Q_OBJECT

public:
    /// An empty field, a child of parent.
    explicit TCustomEdit(QWidget* parent = nullptr);

    /// The text, UTF-8.
    std::string Text() const;
    /// Writes the text, and thereby notifies a change, only when it differs from the current one.
    void SetText(const std::string& text);
    /// Caret position (the selection start), 0-based in characters.
    int SelStart() const;
    /// Puts the caret at the 0-based position.
    void SetSelStart(int position);
    /// The longest text the field takes.
    int MaxLength() const { return maxLength(); }
    /// Sets the longest text; 0 or less means 32767.
    void SetMaxLength(int length) { setMaxLength(length <= 0 ? 32767 : length); }

    /// Fires from Change.
    TNotifyEvent OnChange;

    // The standard events and OnChange, each emitted right after its handler.
Q_SIGNALS:
    /// After OnMouseDown (also for the press of a double click).
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    /// After OnMouseMove.
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    /// After OnMouseUp.
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    /// After OnClick.
    void clicked();
    /// After OnDblClick.
    void doubleClicked();
    /// After OnResize.
    void resized();
    /// After OnChange.
    void changed();

protected:
    /// Runs on every change of the text, by the user or by the program; fires OnChange.
    virtual void Change();
    /// Emits the standard signals.
    void standardEventFired(
        TStandardEvent event, TMouseButton button, TShiftState shift, int x, int y) override;

    /// The first show runs CreateWnd.
    void showEvent(QShowEvent* event) override;
    /// Reports the new size (Resized, OnResize).
    void resizeEvent(QResizeEvent* event) override;
    /// Forwards to MouseDown.
    void mousePressEvent(QMouseEvent* event) override;
    /// Forwards to MouseMove.
    void mouseMoveEvent(QMouseEvent* event) override;
    /// Forwards to Click and MouseUp.
    void mouseReleaseEvent(QMouseEvent* event) override;
    /// Forwards to DblClick and MouseDown.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace znq
