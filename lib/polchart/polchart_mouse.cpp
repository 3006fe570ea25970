// The mouse: the pointer report in polar coordinates, the left-button drags (pan, zoom drag,
// crosshair and label dragging) and the zoom box with its XOR outline on the control's canvas.
#include "polchart_mouse.h"

#include "ZNQ_math1.h"
#include "ZNQ_polchart.h"
#include "polchart_painters.h"

#include <QMetaMethod>
#include <algorithm>
#include <cmath>

namespace znq {

using painters::RoundPixel;
using painters::Saturate;

namespace {
    bool isDragMode(TMouseActMode mode)
    {
        switch (mode) {
        case TMouseActMode::maPan:
        case TMouseActMode::maPanHoriz:
        case TMouseActMode::maPanVert:
        case TMouseActMode::maZoomDrag:
        case TMouseActMode::maDragCrossH:
        case TMouseActMode::maDragLabel:
            return true;
        default:
            return false;
        }
    }

    bool isZoomBoxMode(TMouseActMode mode)
    {
        return mode == TMouseActMode::maZoomWind || mode == TMouseActMode::maZoomWindPos;
    }

    double squared(double value)
    {
        return value * value;
    }

    // offset + Round(value), halves to even, saturated to the 32-bit range. The value is rounded on
    // its own: rounding the sum could move an exact half.
    int32_t roundedCentre(int32_t offset, double value)
    {
        constexpr double limit = 4611686018427387904.0; // 2^62: the sum stays in 64 bits
        return Saturate(int64_t(offset) + RoundHalfEven(std::clamp(value, -limit, limit)));
    }
} // namespace

// ---------------------------------------------------------------------------------------------
// Geometry

bool InChartArea(int32_t x, int32_t y, int32_t width, int32_t height, int32_t shadowWidth)
{
    return x >= 0 && y >= 0 && int64_t(x) <= int64_t(width) - shadowWidth
        && int64_t(y) <= int64_t(height) - shadowWidth;
}

int32_t PanCoordinate(int32_t dragCenter, int32_t pointer, int32_t dragOrigin)
{
    return Saturate(int64_t(dragCenter) + (int64_t(pointer) - dragOrigin));
}

double ZoomDragMagFactor(double dragMagFactor, int64_t dy, int32_t height)
{
    if (height <= 0)
        return dragMagFactor;
    return std::max(0.01, dragMagFactor - static_cast<double>(dy) / height);
}

TPoint ZoomBoxCorner(
    TPoint anchor, int32_t x, int32_t y, int32_t width, int32_t height, int32_t shadowWidth)
{
    const int32_t right = std::max(0, width - shadowWidth);
    const int32_t bottom = std::max(0, height - shadowWidth);
    const int32_t cornerX = std::clamp(x, 0, right);
    const int64_t dx = int64_t(cornerX) - anchor.x;
    const int64_t dy = int64_t(y) - anchor.y;
    // The sign test stands for (dy * dx > 0), whose product could overflow.
    const bool sameDirection = (dx > 0 && dy > 0) || (dx < 0 && dy < 0);
    const int64_t cornerY = sameDirection ? anchor.y + dx : anchor.y - dx;
    return TPoint { cornerX, static_cast<int32_t>(std::clamp<int64_t>(cornerY, 0, bottom)) };
}

std::optional<TpcBoxZoom> ZoomToBox(TPoint anchor, TPoint corner, int32_t width, int32_t height,
    int32_t shadowWidth, int32_t centerX, int32_t centerY)
{
    const double left = std::min(anchor.x, corner.x), right = std::max(anchor.x, corner.x);
    const double top = std::min(anchor.y, corner.y), bottom = std::max(anchor.y, corner.y);
    if (left == right || top == bottom)
        return std::nullopt;
    const double w = width, h = height, sw = shadowWidth, cx = centerX, cy = centerY;
    TpcBoxZoom zoom;
    if (height < width) {
        zoom.Factor = (h - sw + 1) / (bottom - top);
        const double f = zoom.Factor;
        zoom.CenterY = roundedCentre(height, cy * f - bottom * f);
        zoom.CenterX = roundedCentre(0, cx * f + (w - h) / 2 - left * f);
    } else {
        zoom.Factor = (w - sw + 1) / (right - left);
        const double f = zoom.Factor;
        zoom.CenterY = roundedCentre(height, cy * f + (w - h) / 2 - bottom * f);
        zoom.CenterX = roundedCentre(0, cx * f - left * f);
    }
    // A control shrunk below its shadow while the box was open has nothing left to zoom into.
    if (!(zoom.Factor > 0))
        return std::nullopt;
    return zoom;
}

// ---------------------------------------------------------------------------------------------
// The control's mouse handling

void TCustomPolChart::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (!isZoomBoxMode(m_mouseAction) || m_gesture.ZoomBoxActive || button != TMouseButton::mbLeft
        || !InChartArea(x, y, Width(), Height(), m_shadowWidth))
        return;
    // Nothing is drawn yet: the first move draws the box.
    m_gesture.ZoomBoxActive = true;
    m_gesture.ZoomBoxAnchorX = m_gesture.ZoomBoxCornerX = x;
    m_gesture.ZoomBoxAnchorY = m_gesture.ZoomBoxCornerY = y;
}

void TCustomPolChart::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (isDragMode(m_mouseAction))
        dragMove(shift, x, y);
    else if (isZoomBoxMode(m_mouseAction) && m_gesture.ZoomBoxActive)
        zoomBoxMove(x, y);
    reportPointer(shift, x, y);
}

void TCustomPolChart::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    if (isZoomBoxMode(m_mouseAction) && m_gesture.ZoomBoxActive)
        zoomBoxRelease(button);
}

void TCustomPolChart::fireZoomPan()
{
    if (OnZoomPan)
        OnZoomPan(EventSender());
    Q_EMIT zoomPanned();
}

void TCustomPolChart::reportPointer(TShiftState shift, int32_t x, int32_t y)
{
    static const QMetaMethod signal = QMetaMethod::fromSignal(&TCustomPolChart::mouseMovedInChart);
    if (!OnMouseMoveInChart && !isSignalConnected(signal))
        return;
    const TpcPolarPoint polar = PixelToPolar(x, y);
    const bool inChart = InChartArea(x, y, Width(), Height(), m_shadowWidth);
    if (OnMouseMoveInChart)
        OnMouseMoveInChart(EventSender(), inChart, shift, polar.Rad, polar.Phi);
    Q_EMIT mouseMovedInChart(inChart, ModifiersOf(shift), polar.Rad, polar.Phi);
}

// ---------------------------------------------------------------------------------------------
// Drags: presses and releases play no part; the left button's state in each move starts, steps
// and ends them.

void TCustomPolChart::dragMove(TShiftState shift, int32_t x, int32_t y)
{
    const bool viewDrag = m_mouseAction == TMouseActMode::maPan
        || m_mouseAction == TMouseActMode::maPanHoriz || m_mouseAction == TMouseActMode::maPanVert
        || m_mouseAction == TMouseActMode::maZoomDrag;
    if (!shift.testFlag(TShiftStateFlag::ssLeft)) {
        if (m_gesture.DragActive && viewDrag)
            recordViewChange();
        m_gesture.DragActive = false;
        return;
    }
    if (m_gesture.DragActive) {
        dragStep(x, y);
        return;
    }
    // The first move of a drag records where it starts and changes nothing.
    m_gesture.DragOriginX = x;
    m_gesture.DragOriginY = y;
    m_gesture.DragCenterX = m_centerX;
    m_gesture.DragCenterY = m_centerY;
    m_gesture.DragMagFactor = m_magFactor;
    if (m_mouseAction == TMouseActMode::maDragCrossH)
        m_gesture.DraggedCrossHair = pickCrossHair(x, y);
    else if (m_mouseAction == TMouseActMode::maDragLabel)
        m_gesture.DraggedTextLabel = pickTextLabel(x, y);
    else if (viewDrag)
        beginViewChange();
    m_gesture.DragActive = true;
}

// Pan and zoom steps measure from the drag's start, so the centre follows the pointer without
// accumulating rounding. They write the centre and magnification directly, past the setters'
// clamps and AutoCenter, and paint whatever AutoRedraw says.
void TCustomPolChart::dragStep(int32_t x, int32_t y)
{
    const bool inChart = InChartArea(x, y, Width(), Height(), m_shadowWidth);
    switch (m_mouseAction) {
    case TMouseActMode::maPan:
    case TMouseActMode::maPanHoriz:
    case TMouseActMode::maPanVert:
        if (!inChart)
            return;
        if (m_mouseAction != TMouseActMode::maPanVert)
            m_centerX = PanCoordinate(m_gesture.DragCenterX, x, m_gesture.DragOriginX);
        if (m_mouseAction != TMouseActMode::maPanHoriz)
            m_centerY = PanCoordinate(m_gesture.DragCenterY, y, m_gesture.DragOriginY);
        break;
    case TMouseActMode::maZoomDrag:
        if (!inChart)
            return;
        m_magFactor = ZoomDragMagFactor(
            m_gesture.DragMagFactor, int64_t(y) - m_gesture.DragOriginY, Height());
        break;
    case TMouseActMode::maDragCrossH: {
        // A drag that began in another mode has picked nothing yet.
        if (m_gesture.DraggedCrossHair < 1 || m_gesture.DraggedCrossHair > CrossHairCount)
            m_gesture.DraggedCrossHair = pickCrossHair(x, y);
        TpcCrossHair* crossHair = CrossHair(m_gesture.DraggedCrossHair);
        if (!crossHair->SnapSilentlyToPixel(TPoint { x, y })) {
            const TpcPolarPoint polar = PixelToPolar(x, y);
            crossHair->MovePositionSilently(polar.Rad, polar.Phi);
        }
        crossHairMovedByUser(crossHair, m_gesture.DraggedCrossHair);
        return;
    }
    case TMouseActMode::maDragLabel: {
        if (m_gesture.DraggedTextLabel < 1 || m_gesture.DraggedTextLabel > TextLabelCount)
            m_gesture.DraggedTextLabel = pickTextLabel(x, y);
        TpcTextLabel* label = TextLabel(m_gesture.DraggedTextLabel);
        if (label->AttachToData()) {
            const TpcPolarPoint polar = PixelToPolar(x, y);
            label->MovePositionSilently(polar.Rad, polar.Phi);
        } else {
            label->MovePositionSilently(x, y);
        }
        Paint();
        if (OnTextLabelMove)
            OnTextLabelMove(EventSender(), label);
        Q_EMIT textLabelMoved(m_gesture.DraggedTextLabel);
        return;
    }
    default:
        return;
    }
    UpdateScaling();
    Paint();
    fireZoomPan();
}

// The crosshair whose vertical or horizontal line through its point is nearest to the pointer,
// measured along one axis; on equal distances the earlier comparison wins (crosshair 1 before 2,
// x before y). Crosshair 1 when none is shown.
int32_t TCustomPolChart::pickCrossHair(int32_t x, int32_t y) const
{
    double best = 1.7e308;
    int32_t picked = 1;
    for (int32_t i = 1; i <= CrossHairCount; ++i) {
        const TpcCrossHair& crossHair = *CrossHair(i);
        if (crossHair.Mode() == TpcCrossHMode::chOff)
            continue;
        const TPoint p = PolarToPixel(crossHair.PosRad(), crossHair.PosPhi());
        for (const double d : { squared(double(p.x) - x), squared(double(p.y) - y) }) {
            if (d < best) {
                best = d;
                picked = i;
            }
        }
    }
    return picked;
}

// The label whose anchor point (not its text box) is nearest to the pointer; the lower index on a
// tie. Labels not in use are passed over, Visible is not asked. Label 1 when none is in use.
int32_t TCustomPolChart::pickTextLabel(int32_t x, int32_t y) const
{
    double best = 1.7e308;
    int32_t picked = 1;
    for (int32_t i = 1; i <= TextLabelCount; ++i) {
        const TpcTextLabel& label = *TextLabel(i);
        if (label.Mode() == TTxtLblMode::tlOff)
            continue;
        const TPoint anchor = label.AttachToData()
            ? PolarToPixel(label.PosRad(), label.PosPhi())
            : TPoint { RoundPixel(label.PosRad()), RoundPixel(label.PosPhi()) };
        const double d = squared(double(anchor.x) - x) + squared(double(anchor.y) - y);
        if (d < best) {
            best = d;
            picked = i;
        }
    }
    return picked;
}

// ---------------------------------------------------------------------------------------------
// The zoom box: drawn with an XOR pen straight onto the control's canvas and erased by drawing it
// again, so the chart renders only once, when the box is released.

void TCustomPolChart::drawZoomBox(TPoint corner)
{
    TCanvas& canvas = Canvas();
    TPen& pen = canvas.Pen();
    pen.SetMode(TPenMode::pmXor);
    pen.SetColor(clWhite);
    pen.SetStyle(TPenStyle::psSolid);
    pen.SetWidth(1);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Rectangle(m_gesture.ZoomBoxAnchorX, m_gesture.ZoomBoxAnchorY, corner.x, corner.y);
    pen.SetMode(TPenMode::pmCopy);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    update();
}

void TCustomPolChart::zoomBoxMove(int32_t x, int32_t y)
{
    const TPoint anchor { m_gesture.ZoomBoxAnchorX, m_gesture.ZoomBoxAnchorY };
    const TPoint corner = ZoomBoxCorner(anchor, x, y, Width(), Height(), m_shadowWidth);
    drawZoomBox(TPoint { m_gesture.ZoomBoxCornerX, m_gesture.ZoomBoxCornerY });
    drawZoomBox(corner);
    m_gesture.ZoomBoxCornerX = corner.x;
    m_gesture.ZoomBoxCornerY = corner.y;
}

// Right: cancel. Middle: the box stays and keeps following the pointer. Left: zoom when the box
// has width and height. Whatever follows, the outline is erased first, so that no stale box is
// left on the screen when no repaint comes (a box without area, a zoom that is not applied,
// painting suspended by the caller).
void TCustomPolChart::zoomBoxRelease(TMouseButton button)
{
    if (button == TMouseButton::mbMiddle)
        return;
    drawZoomBox(TPoint { m_gesture.ZoomBoxCornerX, m_gesture.ZoomBoxCornerY });
    m_gesture.ZoomBoxActive = false;
    if (button == TMouseButton::mbLeft)
        zoomToBox();
}

// The centre and magnification are written directly, without the setters' clamps. A zoom whose
// magnification or scale would not be finite is not applied.
void TCustomPolChart::zoomToBox()
{
    const auto zoom = ZoomToBox(TPoint { m_gesture.ZoomBoxAnchorX, m_gesture.ZoomBoxAnchorY },
        TPoint { m_gesture.ZoomBoxCornerX, m_gesture.ZoomBoxCornerY }, Width(), Height(),
        m_shadowWidth, m_centerX, m_centerY);
    if (!zoom)
        return;
    const double magFactor = m_magFactor * zoom->Factor;
    const auto scale = static_cast<double>(TpcTransform::ScaleFor(
        magFactor, Width(), Height(), m_shadowWidth, m_rangeLow, m_rangeHigh));
    if (!std::isfinite(magFactor) || !std::isfinite(scale))
        return;
    beginViewChange();
    const bool suspended = m_paintingSuspended;
    SetPaintingSuspended(true);
    m_centerX = zoom->CenterX;
    m_centerY = zoom->CenterY;
    m_magFactor = magFactor;
    UpdateScaling();
    SetPaintingSuspended(suspended);
    recordViewChange();
    fireZoomPan();
}

} // namespace znq
