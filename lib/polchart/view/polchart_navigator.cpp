// The navigator: drags, the zoom box, the wheel, the view keys and the view history, each turned
// into views the viewport applies and into crosshair and label moves.
#include "view/polchart_navigator.h"

#include "view/polchart_geometry.h"
#include "znq_application.h"

#include <algorithm>
#include <cmath>

namespace znq {

using geometry::RoundPixel;
using geometry::Saturate;

namespace {
    constexpr double wheelFactor = 1.2;
    constexpr int wheelStep = 120;
    constexpr int wheelBurstMs = 500;

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

    bool isViewDrag(TMouseActMode mode)
    {
        return mode == TMouseActMode::maPan || mode == TMouseActMode::maPanHoriz
            || mode == TMouseActMode::maPanVert || mode == TMouseActMode::maZoomDrag;
    }

    bool isZoomBoxMode(TMouseActMode mode)
    {
        return mode == TMouseActMode::maZoomWind || mode == TMouseActMode::maZoomWindPos;
    }

    double squared(double value)
    {
        return value * value;
    }
} // namespace

TpcNavigator::TpcNavigator(TpcViewport& viewport, Host& host)
    : m_viewport(viewport)
    , m_host(host)
{
    m_gesture.DragCenterX = viewport.View().CenterX;
    m_gesture.DragCenterY = viewport.View().CenterY;
    m_gesture.DragMagFactor = viewport.View().MagFactor;
    m_wheelBurst.setSingleShot(true);
    m_wheelBurst.setInterval(wheelBurstMs);
    QObject::connect(&m_wheelBurst, &QTimer::timeout, [this] { endUserChange(); });
}

TpcView TpcNavigator::view() const
{
    const TpcViewState& v = m_viewport.View();
    return TpcView { v.CenterX, v.CenterY, v.MagFactor };
}

TpcViewArea TpcNavigator::area() const
{
    return m_viewport.Area();
}

bool TpcNavigator::inChart(int32_t x, int32_t y) const
{
    const TpcViewArea a = area();
    return geometry::InChartArea(x, y, a.Width, a.Height, a.ShadowWidth);
}

void TpcNavigator::ViewApplied(TpcViewCause cause)
{
    if (cause == TpcViewCause::vcUserChange)
        endUserChange();
    else if (cause == TpcViewCause::vcHistory)
        m_wheelAnchor.Valid = false;
}

// ---------------------------------------------------------------------------------------------
// The view history. A user's view change begins by recording the view before it (unless it is the
// last record, or a wheel burst is still open, which is recorded first) and ends by recording the
// view after it: at the end of a drag, a box zoom, a key, going home, or half a second after the
// last wheel step.

bool TpcNavigator::CanViewBack() const
{
    return m_viewHistoryPos > 0;
}

bool TpcNavigator::CanViewForward() const
{
    return m_viewHistoryPos >= 0 && m_viewHistoryPos + 1 < int32_t(m_viewHistory.size());
}

void TpcNavigator::pushView(const TpcView& view)
{
    if (!m_homeView)
        m_homeView = view;
    m_viewHistory.resize(size_t(m_viewHistoryPos + 1));
    m_viewHistory.push_back(view);
    if (m_viewHistory.size() > size_t(chart_limits::ViewHistory))
        m_viewHistory.erase(m_viewHistory.begin());
    m_viewHistoryPos = int32_t(m_viewHistory.size()) - 1;
}

void TpcNavigator::endWheelBurst()
{
    if (m_wheelBurst.isActive()) {
        m_wheelBurst.stop();
        endUserChange();
    }
}

void TpcNavigator::beginUserChange()
{
    endWheelBurst();
    endUserChange();
}

void TpcNavigator::endUserChange()
{
    if (m_viewHistoryPos < 0 || m_viewHistory[size_t(m_viewHistoryPos)] != view())
        pushView(view());
}

void TpcNavigator::restoreView(const TpcView& target)
{
    TpcViewState v = m_viewport.View();
    v.CenterX = target.CenterX;
    v.CenterY = target.CenterY;
    v.MagFactor = target.MagFactor;
    m_viewport.Apply(v, TpcViewCause::vcHistory);
    m_host.NavPaint();
    m_host.NavZoomPanned();
}

void TpcNavigator::ViewBack()
{
    endWheelBurst();
    if (!CanViewBack())
        return;
    --m_viewHistoryPos;
    restoreView(m_viewHistory[size_t(m_viewHistoryPos)]);
}

// A wheel burst still going on is recorded first, which drops the forward part.
void TpcNavigator::ViewForward()
{
    endWheelBurst();
    if (!CanViewForward())
        return;
    ++m_viewHistoryPos;
    restoreView(m_viewHistory[size_t(m_viewHistoryPos)]);
}

void TpcNavigator::ViewHome()
{
    if (!m_homeView)
        return;
    beginUserChange();
    restoreView(*m_homeView);
    endUserChange();
}

// ---------------------------------------------------------------------------------------------
// Zoom and pan by wheel and keys

// The offset of the polar point under the pixel from the centre, in radial units, is kept; the new
// centre puts it back under the pixel at the new scale. Within one burst at one pixel the offset of
// the first step is kept, so that the rounding of the centre does not add up over the steps.
// The magnification limits hold only in the direction of the step: a magnification that a box
// zoom or a zoom drag took beyond them is never moved the wrong way. False when the step changed
// nothing.
bool TpcNavigator::zoomAbout(TPoint pixel, double factor, bool sameAnchor, TpcViewCause cause)
{
    TpcViewState v = m_viewport.View();
    const double magFactor = factor > 1
        ? std::min(v.MagFactor * factor, std::max(viewlimits::MaxMagFactor, v.MagFactor))
        : std::max(v.MagFactor * factor, std::min(viewlimits::MinMagFactor, v.MagFactor));
    if (magFactor == v.MagFactor || !std::isfinite(magFactor))
        return false;
    const long double scale = m_viewport.Scale();
    if (!(sameAnchor && m_wheelAnchor.Valid && m_wheelAnchor.Pixel == pixel
            && m_wheelAnchor.After == view())) {
        m_wheelAnchor.Valid = scale != 0;
        m_wheelAnchor.Pixel = pixel;
        if (scale != 0) {
            m_wheelAnchor.U = (pixel.x - static_cast<long double>(v.CenterX)) / scale;
            m_wheelAnchor.V = (pixel.y - static_cast<long double>(v.CenterY)) / scale;
        }
    }
    v.MagFactor = magFactor;
    const long double newScale = m_viewport.ScaleOf(v);
    if (m_wheelAnchor.Valid && newScale != 0) {
        v.CenterX = RoundPixel(static_cast<double>(pixel.x - m_wheelAnchor.U * newScale));
        v.CenterY = RoundPixel(static_cast<double>(pixel.y - m_wheelAnchor.V * newScale));
    }
    m_viewport.Apply(v, cause);
    m_wheelAnchor.After = view();
    return true;
}

void TpcNavigator::panBy(int32_t dx, int32_t dy, TpcViewCause cause)
{
    TpcViewState v = m_viewport.View();
    v.CenterX = Saturate(int64_t(v.CenterX) + dx);
    v.CenterY = Saturate(int64_t(v.CenterY) + dy);
    m_viewport.Apply(v, cause);
}

// A position that is not a number has no pixel; a far one counts as the edge of the range the
// painters clip coordinates to.
bool TpcNavigator::Wheel(double positionX, double positionY, int angleDelta)
{
    if (!m_wheelZoom || !std::isfinite(positionX) || !std::isfinite(positionY))
        return false;
    constexpr double reach = 1e6;
    TPoint pixel { int32_t(std::floor(std::clamp(positionX, -reach, reach))),
        int32_t(std::floor(std::clamp(positionY, -reach, reach))) };
    ClipCoordinates(pixel.x, pixel.y);
    // 64 bits: no sequence of 32-bit deltas that a session can send makes the sum overflow.
    m_wheelRemainder += angleDelta;
    const int64_t steps = m_wheelRemainder / wheelStep;
    m_wheelRemainder -= steps * wheelStep;
    if (steps == 0)
        return true;
    if (!m_wheelBurst.isActive())
        beginUserChange();
    m_wheelBurst.start();
    const TpcView before = view();
    Guarded([&] {
        // Once a limit is reached further steps change nothing.
        for (int64_t i = 0; i < std::abs(steps); ++i)
            if (!zoomAbout(pixel, steps > 0 ? wheelFactor : 1 / wheelFactor, true,
                    TpcViewCause::vcGesture))
                break;
        if (view() == before)
            return;
        m_host.NavPaint();
        m_host.NavZoomPanned();
    });
    return true;
}

bool TpcNavigator::Key(int key, Qt::KeyboardModifiers modifiers)
{
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    const bool snapping = m_host.NavCrossHair(1)->SnapToData();
    const TpcViewArea a = area();
    const int32_t side
        = std::max<int64_t>(0, std::min(int64_t(a.Width), int64_t(a.Height)) - a.ShadowWidth) / 10;
    std::function<void()> change;
    if (alt && key == Qt::Key_Left) {
        Guarded([this] { ViewBack(); });
    } else if (alt && key == Qt::Key_Right) {
        Guarded([this] { ViewForward(); });
    } else if (key == Qt::Key_Home) {
        Guarded([this] { ViewHome(); });
    } else if (snapping && (key == Qt::Key_Left || key == Qt::Key_Right)) {
        const int steps = modifiers.testFlag(Qt::ShiftModifier) ? 10 : 1;
        Guarded([&] { m_host.NavStepCrossHair(1, key == Qt::Key_Left ? -steps : steps); });
    } else if (key == Qt::Key_Plus || key == Qt::Key_Minus || key == Qt::Key_Equal) {
        const double factor = key == Qt::Key_Minus ? 1 / wheelFactor : wheelFactor;
        change = [this, factor] {
            const TpcViewState& v = m_viewport.View();
            zoomAbout(TPoint { v.CenterX, v.CenterY }, factor, false, TpcViewCause::vcUserChange);
        };
    } else if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up
        || key == Qt::Key_Down) {
        // The view moves in the arrow's direction: the picture the other way.
        const int32_t dx = key == Qt::Key_Left ? side : key == Qt::Key_Right ? -side : 0;
        const int32_t dy = key == Qt::Key_Up ? side : key == Qt::Key_Down ? -side : 0;
        change = [this, dx, dy] { panBy(dx, dy, TpcViewCause::vcUserChange); };
    } else {
        return false;
    }
    if (!change)
        return true;
    Guarded([&] {
        beginUserChange();
        const TpcView before = view();
        change();
        if (view() == before)
            return;
        m_host.NavPaint();
        m_host.NavZoomPanned();
    });
    return true;
}

// ---------------------------------------------------------------------------------------------
// The mouse

void TpcNavigator::MouseDown(TMouseButton button, int32_t x, int32_t y)
{
    const geometry::TpcLegendLayout* legend = m_host.NavLegendLayout();
    if (button == TMouseButton::mbLeft && !m_gesture.ZoomBoxActive && legend
        && legend->Contains(x, y)) {
        m_gesture.LegendPressed = true;
        m_gesture.LegendPressX = x;
        m_gesture.LegendPressY = y;
        m_gesture.LegendPressMoved = false;
        m_gesture.LegendDragged = false;
        return;
    }
    if (!isZoomBoxMode(m_mouseAction) || m_gesture.ZoomBoxActive || button != TMouseButton::mbLeft
        || !inChart(x, y))
        return;
    // Nothing is drawn yet: the first move draws the box.
    m_gesture.ZoomBoxActive = true;
    m_gesture.ZoomBoxAnchorX = m_gesture.ZoomBoxCornerX = x;
    m_gesture.ZoomBoxAnchorY = m_gesture.ZoomBoxCornerY = y;
}

void TpcNavigator::MouseMove(TShiftState shift, int32_t x, int32_t y)
{
    if (m_gesture.LegendPressed)
        legendMove(shift, x, y);
    else if (isDragMode(m_mouseAction))
        dragMove(shift, x, y);
    else if (isZoomBoxMode(m_mouseAction) && m_gesture.ZoomBoxActive)
        zoomBoxMove(x, y);
    m_host.NavPointerMoved(shift, x, y);
}

void TpcNavigator::MouseUp(TMouseButton button)
{
    if (m_gesture.LegendPressed && button == TMouseButton::mbLeft) {
        m_gesture.LegendPressed = false;
        const geometry::TpcLegendLayout* legend = m_host.NavLegendLayout();
        if (m_gesture.LegendPressMoved || !legend)
            return;
        const int elemClass = legend->EntryAt(m_gesture.LegendPressX, m_gesture.LegendPressY);
        if (elemClass >= 0)
            m_host.NavLegendClicked(elemClass);
        return;
    }
    if (isZoomBoxMode(m_mouseAction) && m_gesture.ZoomBoxActive)
        zoomBoxRelease(button);
}

// A pointer that moves more than two pixels from the press makes the gesture a drag: with the
// label-drag mouse action the legend follows it, with any other action it does nothing (no pan
// or zoom starts on the legend).
void TpcNavigator::legendMove(TShiftState shift, int32_t x, int32_t y)
{
    if (!shift.testFlag(TShiftStateFlag::ssLeft)) {
        m_gesture.LegendPressed = false;
        return;
    }
    if (std::abs(int64_t(x) - m_gesture.LegendPressX) > 2
        || std::abs(int64_t(y) - m_gesture.LegendPressY) > 2)
        m_gesture.LegendPressMoved = true;
    if (!m_gesture.LegendPressMoved || m_mouseAction != TMouseActMode::maDragLabel)
        return;
    const geometry::TpcLegendLayout* legend = m_host.NavLegendLayout();
    if (!m_gesture.LegendDragged) {
        if (!legend)
            return;
        m_gesture.LegendDragged = true;
        m_gesture.LegendGripX = m_gesture.LegendPressX - legend->Box.Left;
        m_gesture.LegendGripY = m_gesture.LegendPressY - legend->Box.Top;
    }
    m_host.NavLegend()->movePositionSilently(geometry::Saturate(int64_t(x) - m_gesture.LegendGripX),
        geometry::Saturate(int64_t(y) - m_gesture.LegendGripY));
    m_host.NavLegendMoved();
}

// Drags: presses and releases play no part; the left button's state in each move starts, steps
// and ends them.
void TpcNavigator::dragMove(TShiftState shift, int32_t x, int32_t y)
{
    const bool viewDrag = isViewDrag(m_mouseAction);
    if (!shift.testFlag(TShiftStateFlag::ssLeft)) {
        if (m_gesture.DragActive && viewDrag)
            endUserChange();
        m_gesture.DragActive = false;
        return;
    }
    if (m_gesture.DragActive) {
        dragStep(x, y);
        return;
    }
    // The first move of a drag records where it starts and changes nothing.
    const TpcViewState& v = m_viewport.View();
    m_gesture.DragOriginX = x;
    m_gesture.DragOriginY = y;
    m_gesture.DragCenterX = v.CenterX;
    m_gesture.DragCenterY = v.CenterY;
    m_gesture.DragMagFactor = v.MagFactor;
    if (m_mouseAction == TMouseActMode::maDragCrossH)
        m_gesture.DraggedCrossHair = pickCrossHair(x, y);
    else if (m_mouseAction == TMouseActMode::maDragLabel)
        m_gesture.DraggedTextLabel = pickTextLabel(x, y);
    else if (viewDrag)
        beginUserChange();
    m_gesture.DragActive = true;
}

// Pan and zoom steps measure from the drag's start, so the centre follows the pointer without
// accumulating rounding. They apply the centre and magnification past the setters' clamps and
// AutoCenter, and paint whatever AutoRedraw says.
void TpcNavigator::dragStep(int32_t x, int32_t y)
{
    TpcViewState v = m_viewport.View();
    switch (m_mouseAction) {
    case TMouseActMode::maPan:
    case TMouseActMode::maPanHoriz:
    case TMouseActMode::maPanVert:
        if (!inChart(x, y))
            return;
        if (m_mouseAction != TMouseActMode::maPanVert)
            v.CenterX = PanCoordinate(m_gesture.DragCenterX, x, m_gesture.DragOriginX);
        if (m_mouseAction != TMouseActMode::maPanHoriz)
            v.CenterY = PanCoordinate(m_gesture.DragCenterY, y, m_gesture.DragOriginY);
        break;
    case TMouseActMode::maZoomDrag:
        if (!inChart(x, y))
            return;
        v.MagFactor = ZoomDragMagFactor(
            m_gesture.DragMagFactor, int64_t(y) - m_gesture.DragOriginY, area().Height);
        break;
    case TMouseActMode::maDragCrossH: {
        // A drag that began in another mode has picked nothing yet.
        if (m_gesture.DraggedCrossHair < 1 || m_gesture.DraggedCrossHair > chart_limits::CrossHairs)
            m_gesture.DraggedCrossHair = pickCrossHair(x, y);
        TpcCrossHair* crossHair = m_host.NavCrossHair(m_gesture.DraggedCrossHair);
        if (!crossHair->snapSilentlyToPixel(TPoint { x, y })) {
            const TpcPolarPoint polar = m_viewport.Transform().PixelToPolar(x, y);
            crossHair->movePositionSilently(polar.Rad, polar.Phi);
        }
        m_host.NavCrossHairMoved(crossHair, m_gesture.DraggedCrossHair);
        return;
    }
    case TMouseActMode::maDragLabel: {
        if (m_gesture.DraggedTextLabel < 1 || m_gesture.DraggedTextLabel > chart_limits::TextLabels)
            m_gesture.DraggedTextLabel = pickTextLabel(x, y);
        TpcTextLabel* label = m_host.NavTextLabel(m_gesture.DraggedTextLabel);
        if (label->AttachToData()) {
            const TpcPolarPoint polar = m_viewport.Transform().PixelToPolar(x, y);
            label->movePositionSilently(polar.Rad, polar.Phi);
        } else {
            label->movePositionSilently(x, y);
        }
        m_host.NavTextLabelMoved(label, m_gesture.DraggedTextLabel);
        return;
    }
    default:
        return;
    }
    m_viewport.Apply(v, TpcViewCause::vcGesture);
    m_host.NavPaint();
    m_host.NavZoomPanned();
}

// The crosshair whose vertical or horizontal line through its point is nearest to the pointer,
// measured along one axis; on equal distances the earlier comparison wins (crosshair 1 before 2,
// x before y). Crosshair 1 when none is shown.
int32_t TpcNavigator::pickCrossHair(int32_t x, int32_t y) const
{
    const TpcTransform transform = m_viewport.Transform();
    double best = 1.7e308;
    int32_t picked = 1;
    for (int32_t i = 1; i <= chart_limits::CrossHairs; ++i) {
        const TpcCrossHair& crossHair = *m_host.NavCrossHair(i);
        if (crossHair.Mode() == TpcCrossHMode::chOff)
            continue;
        const TPoint p = transform.PolarToPixel(crossHair.PosRad(), crossHair.PosPhi());
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
int32_t TpcNavigator::pickTextLabel(int32_t x, int32_t y) const
{
    const TpcTransform transform = m_viewport.Transform();
    double best = 1.7e308;
    int32_t picked = 1;
    for (int32_t i = 1; i <= chart_limits::TextLabels; ++i) {
        const TpcTextLabel& label = *m_host.NavTextLabel(i);
        if (label.Mode() == TTxtLblMode::tlOff)
            continue;
        const TPoint anchor = geometry::LabelAnchor(
            transform, label.AttachToData(), label.PosRad(), label.PosPhi());
        const double d = squared(double(anchor.x) - x) + squared(double(anchor.y) - y);
        if (d < best) {
            best = d;
            picked = i;
        }
    }
    return picked;
}

// ---------------------------------------------------------------------------------------------
// The zoom box: an XOR outline over the picture, erased by drawing it again, so the chart renders
// only once, when the box is released.

std::optional<std::pair<TPoint, TPoint>> TpcNavigator::ZoomBoxOverlay() const
{
    if (!m_gesture.ZoomBoxActive)
        return std::nullopt;
    return std::pair { TPoint { m_gesture.ZoomBoxAnchorX, m_gesture.ZoomBoxAnchorY },
        TPoint { m_gesture.ZoomBoxCornerX, m_gesture.ZoomBoxCornerY } };
}

void TpcNavigator::toggleZoomBox(TPoint corner)
{
    m_host.NavToggleZoomBox(TPoint { m_gesture.ZoomBoxAnchorX, m_gesture.ZoomBoxAnchorY }, corner);
}

void TpcNavigator::zoomBoxMove(int32_t x, int32_t y)
{
    const TpcViewArea a = area();
    const TPoint anchor { m_gesture.ZoomBoxAnchorX, m_gesture.ZoomBoxAnchorY };
    const TPoint corner = ZoomBoxCorner(anchor, x, y, a.Width, a.Height, a.ShadowWidth);
    toggleZoomBox(TPoint { m_gesture.ZoomBoxCornerX, m_gesture.ZoomBoxCornerY });
    toggleZoomBox(corner);
    m_gesture.ZoomBoxCornerX = corner.x;
    m_gesture.ZoomBoxCornerY = corner.y;
}

// Right: cancel. Middle: the box stays and keeps following the pointer. Left: zoom when the box
// has width and height. Whatever follows, the outline is erased first, so that no stale box is
// left on the screen when no repaint comes (a box without area, a zoom that is not applied,
// painting suspended by the caller).
void TpcNavigator::zoomBoxRelease(TMouseButton button)
{
    if (button == TMouseButton::mbMiddle)
        return;
    toggleZoomBox(TPoint { m_gesture.ZoomBoxCornerX, m_gesture.ZoomBoxCornerY });
    m_gesture.ZoomBoxActive = false;
    if (button == TMouseButton::mbLeft)
        zoomToBox();
}

// The centre and magnification are applied past the setters' clamps. A zoom whose magnification
// or scale (in double precision, as the mapping uses it) would not be finite is not applied. The
// paint follows when painting resumes.
void TpcNavigator::zoomToBox()
{
    const TpcViewArea a = area();
    TpcViewState v = m_viewport.View();
    const auto zoom = ZoomToBox(TPoint { m_gesture.ZoomBoxAnchorX, m_gesture.ZoomBoxAnchorY },
        TPoint { m_gesture.ZoomBoxCornerX, m_gesture.ZoomBoxCornerY }, a.Width, a.Height,
        a.ShadowWidth, v.CenterX, v.CenterY);
    if (!zoom)
        return;
    v.CenterX = zoom->CenterX;
    v.CenterY = zoom->CenterY;
    v.MagFactor *= zoom->Factor;
    if (!std::isfinite(v.MagFactor) || !std::isfinite(static_cast<double>(m_viewport.ScaleOf(v))))
        return;
    beginUserChange();
    const bool suspended = m_host.NavPaintingSuspended();
    m_host.NavSetPaintingSuspended(true);
    m_viewport.Apply(v, TpcViewCause::vcUserChange);
    m_host.NavSetPaintingSuspended(suspended);
    m_host.NavZoomPanned();
}

} // namespace znq
