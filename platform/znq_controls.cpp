#include "znq_controls.h"

#include "znq_application.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace znq {

TShiftState ShiftStateOf(
    Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick)
{
    TShiftState shift;
    shift.setFlag(TShiftStateFlag::ssShift, modifiers.testFlag(Qt::ShiftModifier));
    shift.setFlag(TShiftStateFlag::ssAlt, modifiers.testFlag(Qt::AltModifier));
    shift.setFlag(TShiftStateFlag::ssCtrl, modifiers.testFlag(Qt::ControlModifier));
    shift.setFlag(TShiftStateFlag::ssLeft, buttons.testFlag(Qt::LeftButton));
    shift.setFlag(TShiftStateFlag::ssRight, buttons.testFlag(Qt::RightButton));
    shift.setFlag(TShiftStateFlag::ssMiddle, buttons.testFlag(Qt::MiddleButton));
    shift.setFlag(TShiftStateFlag::ssDouble, doubleClick);
    return shift;
}

namespace {
    std::optional<TMouseButton> buttonOf(Qt::MouseButton button)
    {
        switch (button) {
        case Qt::LeftButton:
            return TMouseButton::mbLeft;
        case Qt::RightButton:
            return TMouseButton::mbRight;
        case Qt::MiddleButton:
            return TMouseButton::mbMiddle;
        default:
            return std::nullopt;
        }
    }

    QPoint positionOf(const QMouseEvent* event)
    {
        return event->position().toPoint();
    }
} // namespace

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(QWidget& widget)
    : m_widget(widget)
{
    m_font.OnChange = [this](TObject*) {
        m_widget.setFont(m_font.ToQFont());
        FontChanged();
    };
}

TControl::~TControl() = default;

void TControl::SetName(const std::string& name)
{
    m_name = name;
    m_widget.setObjectName(QString::fromStdString(name));
}

int TControl::Left() const
{
    return m_widget.x();
}
int TControl::Top() const
{
    return m_widget.y();
}
int TControl::Width() const
{
    return m_widget.width();
}
int TControl::Height() const
{
    return m_widget.height();
}

void TControl::SetLeft(int left)
{
    SetBounds(left, Top(), Width(), Height());
}
void TControl::SetTop(int top)
{
    SetBounds(Left(), top, Width(), Height());
}
void TControl::SetWidth(int width)
{
    SetBounds(Left(), Top(), width, Height());
}
void TControl::SetHeight(int height)
{
    SetBounds(Left(), Top(), Width(), height);
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    m_widget.setGeometry(left, top, std::max(width, 0), std::max(height, 0));
    // A hidden widget gets its resize event only when it is shown; the control reports the new
    // size at once, as its users expect.
    notifyResize();
}

void TControl::SetVisible(bool visible)
{
    m_visible = visible;
    m_widget.setVisible(visible);
}

bool TControl::Enabled() const
{
    return m_widget.isEnabled();
}
void TControl::SetEnabled(bool enabled)
{
    m_widget.setEnabled(enabled);
}

void TControl::Loaded()
{
    m_state.setFlag(TComponentStateFlag::csLoading, false);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(sender(), button, shift, x, y);
    standardEventFired(TStandardEvent::seMouseDown, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(sender(), shift, x, y);
    standardEventFired(TStandardEvent::seMouseMove, TMouseButton::mbLeft, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(sender(), button, shift, x, y);
    standardEventFired(TStandardEvent::seMouseUp, button, shift, x, y);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(sender());
    standardEventFired(TStandardEvent::seClick, TMouseButton::mbLeft, {}, 0, 0);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(sender());
    standardEventFired(TStandardEvent::seDblClick, TMouseButton::mbLeft, {}, 0, 0);
}

void TControl::handleShow()
{
    if (m_windowCreated)
        return;
    m_windowCreated = true;
    Guarded([this] { CreateWnd(); });
    // A new window reports its size once, as a resize does.
    m_notifiedSize = QSize(-1, -1);
    notifyResize();
}

void TControl::notifyResize()
{
    if (m_widget.size() == m_notifiedSize)
        return;
    m_notifiedSize = m_widget.size();
    Guarded([this] {
        Resized();
        if (OnResize)
            OnResize(sender());
        standardEventFired(TStandardEvent::seResize, TMouseButton::mbLeft, {}, 0, 0);
    });
}

void TControl::handleResize()
{
    notifyResize();
}

void TControl::handleMousePress(QMouseEvent* event)
{
    const auto button = buttonOf(event->button());
    if (!button)
        return;
    if (*button == TMouseButton::mbLeft)
        m_pressedLeft = true;
    const QPoint p = positionOf(event);
    Guarded([&] {
        MouseDown(*button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
}

void TControl::handleMouseMove(QMouseEvent* event)
{
    const QPoint p = positionOf(event);
    Guarded([&] { MouseMove(ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y()); });
}

void TControl::handleMouseRelease(QMouseEvent* event)
{
    const auto button = buttonOf(event->button());
    if (!button)
        return;
    const QPoint p = positionOf(event);
    const bool click
        = *button == TMouseButton::mbLeft && m_pressedLeft && m_widget.rect().contains(p);
    if (*button == TMouseButton::mbLeft)
        m_pressedLeft = false;
    Guarded([&] {
        if (click)
            Click();
        MouseUp(*button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
}

void TControl::handleDoubleClick(QMouseEvent* event)
{
    const auto button = buttonOf(event->button());
    if (!button)
        return;
    const QPoint p = positionOf(event);
    Guarded([&] {
        DblClick();
        MouseDown(*button, ShiftStateOf(event->modifiers(), event->buttons(), true), p.x(), p.y());
    });
}

Qt::KeyboardModifiers ModifiersOf(TShiftState shift)
{
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ShiftModifier, shift.testFlag(TShiftStateFlag::ssShift));
    modifiers.setFlag(Qt::AltModifier, shift.testFlag(TShiftStateFlag::ssAlt));
    modifiers.setFlag(Qt::ControlModifier, shift.testFlag(TShiftStateFlag::ssCtrl));
    return modifiers;
}

Qt::MouseButtons ButtonsOf(TShiftState shift)
{
    Qt::MouseButtons buttons;
    buttons.setFlag(Qt::LeftButton, shift.testFlag(TShiftStateFlag::ssLeft));
    buttons.setFlag(Qt::RightButton, shift.testFlag(TShiftStateFlag::ssRight));
    buttons.setFlag(Qt::MiddleButton, shift.testFlag(TShiftStateFlag::ssMiddle));
    return buttons;
}

Qt::MouseButton QtButtonOf(TMouseButton button)
{
    switch (button) {
    case TMouseButton::mbRight:
        return Qt::RightButton;
    case TMouseButton::mbMiddle:
        return Qt::MiddleButton;
    case TMouseButton::mbLeft:
        break;
    }
    return Qt::LeftButton;
}

namespace {
    // The standard signals are declared alike in both widget bases.
    template <typename Widget>
    void emitStandardSignal(
        Widget& widget, TStandardEvent event, TMouseButton button, TShiftState shift, int x, int y)
    {
        switch (event) {
        case TStandardEvent::seMouseDown:
            Q_EMIT widget.mousePressed(QtButtonOf(button), ModifiersOf(shift), x, y);
            break;
        case TStandardEvent::seMouseMove:
            Q_EMIT widget.mouseMoved(ButtonsOf(shift), ModifiersOf(shift), x, y);
            break;
        case TStandardEvent::seMouseUp:
            Q_EMIT widget.mouseReleased(QtButtonOf(button), ModifiersOf(shift), x, y);
            break;
        case TStandardEvent::seClick:
            Q_EMIT widget.clicked();
            break;
        case TStandardEvent::seDblClick:
            Q_EMIT widget.doubleClicked();
            break;
        case TStandardEvent::seResize:
            Q_EMIT widget.resized();
            break;
        }
    }
} // namespace

// ---------------------------------------------------------------------------------------------
// TCanvasControl

void TCanvasControl::standardEventFired(
    TStandardEvent event, TMouseButton button, TShiftState shift, int x, int y)
{
    emitStandardSignal(*this, event, button, shift, x, y);
}

TCanvasControl::TCanvasControl(QWidget* parent)
    : QWidget(parent)
    , TControl(static_cast<QWidget&>(*this))
    , m_canvas(&m_backing)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// On a screen of more than one device pixel per logical pixel the backing image has the device's
// resolution and the canvas draws at that scale, so that lines and text are sharp; coordinates
// stay logical.
void TCanvasControl::fitBacking()
{
    const double ratio = std::clamp(devicePixelRatioF(), 1.0, 8.0);
    if (backingFits())
        return;
    m_canvas.EndPainting();
    const QSize device = ratio == 1.0
        ? size()
        : QSize(int(std::lround(width() * ratio)), int(std::lround(height() * ratio)));
    m_backing = (width() > 0 && height() > 0) ? QImage(device, QImage::Format_RGB32) : QImage();
    if (!m_backing.isNull()) {
        m_backing.setDevicePixelRatio(ratio);
        m_backing.fill(ColorToRGB(clBtnFace));
    }
    m_backingSize = size();
    m_backingRatio = ratio;
    m_canvas.SetScale(ratio, width(), height());
}

bool TCanvasControl::backingFits() const
{
    return m_backingSize == size() && m_backingRatio == std::clamp(devicePixelRatioF(), 1.0, 8.0);
}

bool TCanvasControl::showImage(const QImage& image)
{
    if (!backingFits() || image.size() != m_backing.size() || image.format() != m_backing.format()
        || image.devicePixelRatio() != m_backing.devicePixelRatio())
        return false;
    m_canvas.EndPainting();
    m_backing = image;
    return true;
}

void TCanvasControl::Resized()
{
    fitBacking();
    m_needsPaint = true;
}

void TCanvasControl::runPaint(const std::function<void()>& paint)
{
    if (m_painting) {
        m_paintAgain = true;
        return;
    }
    m_painting = true;
    try {
        paint();
    } catch (...) {
        m_painting = false;
        throw;
    }
    m_painting = false;
    if (m_paintAgain) {
        m_paintAgain = false;
        Invalidate();
    }
}

void TCanvasControl::Invalidate()
{
    m_needsPaint = true;
    update();
}

void TCanvasControl::Repaint()
{
    fitBacking();
    Paint();
    canvasPainted();
}

void TCanvasControl::canvasPainted()
{
    m_needsPaint = false;
    update();
}

void TCanvasControl::presentBacking(QPainter& painter)
{
    painter.drawImage(0, 0, m_backing);
}

void TCanvasControl::paintEvent(QPaintEvent*)
{
    if (m_needsPaint || !backingFits()) {
        fitBacking();
        m_needsPaint = false;
        Guarded([this] { Paint(); });
    }
    QPainter painter(this);
    presentBacking(painter);
}

void TCanvasControl::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    handleShow();
}

void TCanvasControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    handleResize();
}

void TCanvasControl::mousePressEvent(QMouseEvent* event)
{
    handleMousePress(event);
    QWidget::mousePressEvent(event);
}

void TCanvasControl::mouseMoveEvent(QMouseEvent* event)
{
    handleMouseMove(event);
}

void TCanvasControl::mouseReleaseEvent(QMouseEvent* event)
{
    handleMouseRelease(event);
}

void TCanvasControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    handleDoubleClick(event);
}

TCustomControl::TCustomControl(QWidget* parent)
    : TCanvasControl(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

TGraphicControl::TGraphicControl(QWidget* parent)
    : TCanvasControl(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

// ---------------------------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(QWidget* parent)
    : QLineEdit(parent)
    , TControl(static_cast<QWidget&>(*this))
{
    QObject::connect(this, &QLineEdit::textChanged, this,
        [this](const QString&) { Guarded([this] { Change(); }); });
}

std::string TCustomEdit::Text() const
{
    return text().toStdString();
}

void TCustomEdit::SetText(const std::string& text)
{
    const QString value = QString::fromStdString(text);
    if (value == this->text())
        return;
    setText(value);
}

int TCustomEdit::SelStart() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TCustomEdit::SetSelStart(int position)
{
    setCursorPosition(std::clamp(position, 0, int(text().size())));
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
    Q_EMIT changed();
}

void TCustomEdit::standardEventFired(
    TStandardEvent event, TMouseButton button, TShiftState shift, int x, int y)
{
    emitStandardSignal(*this, event, button, shift, x, y);
}

void TCustomEdit::showEvent(QShowEvent* event)
{
    QLineEdit::showEvent(event);
    handleShow();
}

void TCustomEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    handleResize();
}

void TCustomEdit::mousePressEvent(QMouseEvent* event)
{
    handleMousePress(event);
    QLineEdit::mousePressEvent(event);
}

void TCustomEdit::mouseMoveEvent(QMouseEvent* event)
{
    handleMouseMove(event);
    QLineEdit::mouseMoveEvent(event);
}

void TCustomEdit::mouseReleaseEvent(QMouseEvent* event)
{
    handleMouseRelease(event);
    QLineEdit::mouseReleaseEvent(event);
}

void TCustomEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    handleDoubleClick(event);
    QLineEdit::mouseDoubleClickEvent(event);
}

} // namespace znq
