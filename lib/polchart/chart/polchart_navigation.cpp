// The chart's navigation, delegated to the navigator: mouse action, wheel, keys, the mouse's back
// and forward buttons and the view history; the context-menu keys and the focus frame; and the
// crosshairs that snap to the data.
#include "chart/polchart_rooms.h"
#include "znq_application.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace znq {

// ---------------------------------------------------------------------------------------------
// Navigation, delegated to the navigator

TpcView TCustomPolChart::View() const
{
    const TpcViewState& view = rooms().Viewport.View();
    return TpcView { view.CenterX, view.CenterY, view.MagFactor };
}

bool TCustomPolChart::CanViewBack() const
{
    return rooms().Navigator.CanViewBack();
}

bool TCustomPolChart::CanViewForward() const
{
    return rooms().Navigator.CanViewForward();
}

void TCustomPolChart::ViewBack()
{
    rooms().Navigator.ViewBack();
}

void TCustomPolChart::ViewForward()
{
    rooms().Navigator.ViewForward();
}

void TCustomPolChart::ViewHome()
{
    rooms().Navigator.ViewHome();
}

const std::vector<TpcView>& TCustomPolChart::ViewHistory() const
{
    return rooms().Navigator.ViewHistory();
}

int32_t TCustomPolChart::ViewHistoryPosition() const
{
    return rooms().Navigator.ViewHistoryPosition();
}

void TCustomPolChart::wheelEvent(QWheelEvent* event)
{
    const QPointF position = event->position();
    if (rooms().Navigator.Wheel(position.x(), position.y(), event->angleDelta().y()))
        event->accept();
    else
        event->ignore();
}

void TCustomPolChart::keyPressEvent(QKeyEvent* event)
{
    TpcChartRooms& r = rooms();
    const bool menuKey = event->key() == Qt::Key_Menu
        || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey && contextMenuPolicy() != Qt::NoContextMenu
        && contextMenuPolicy() != Qt::PreventContextMenu) {
        // As a right click at the centre would, inside the control.
        const QPoint centre(std::clamp(CenterX(), 0, std::max(0, width() - 1)),
            std::clamp(CenterY(), 0, std::max(0, height() - 1)));
        QContextMenuEvent menu(
            QContextMenuEvent::Keyboard, centre, mapToGlobal(centre), event->modifiers());
        QApplication::sendEvent(this, &menu);
        event->accept();
        return;
    }
    if (r.Navigator.Key(event->key(), event->modifiers()))
        event->accept();
    else
        TCustomControl::keyPressEvent(event);
}

void TCustomPolChart::paintEvent(QPaintEvent* event)
{
    TCustomControl::paintEvent(event);
    if (!rooms().FocusFrame || !hasFocus() || width() < 3 || height() < 3)
        return;
    // A dotted frame one pixel inside the edge, in the inverse of the picture so that it shows on
    // any colours; it lies only on the widget, never in the chart's pictures.
    QPainter painter(this);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen pen(Qt::white, 1, Qt::DotLine);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawRect(QRectF(1.5, 1.5, width() - 3, height() - 3));
}

namespace {
    // The focus leaves for a pop-up menu or another window, and comes back from there, without
    // the user choosing where it goes.
    bool focusReturns(Qt::FocusReason reason)
    {
        return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
    }
} // namespace

void TCustomPolChart::focusInEvent(QFocusEvent* event)
{
    const Qt::FocusReason reason = event->reason();
    if (!focusReturns(reason))
        rooms().FocusFrame = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
            || reason == Qt::ShortcutFocusReason;
    update();
    TCustomControl::focusInEvent(event);
}

void TCustomPolChart::focusOutEvent(QFocusEvent* event)
{
    if (!focusReturns(event->reason()))
        rooms().FocusFrame = false;
    update();
    TCustomControl::focusOutEvent(event);
}

void TCustomPolChart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::BackButton) {
        Guarded([this] { ViewBack(); });
        return;
    }
    if (event->button() == Qt::ForwardButton) {
        Guarded([this] { ViewForward(); });
        return;
    }
    TCustomControl::mousePressEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Snapping

// The crosshairs are asked first: a paint without a snapping crosshair builds no key.
TpcSnapIndex* TpcChartRooms::SnapIndexToFill()
{
    const bool snapping = std::any_of(CrossHairs.begin(), CrossHairs.end(),
        [](const TpcCrossHair* crossHair) { return crossHair->SnapToData(); });
    return snapping && !SnapIndexCurrent() ? &SnapIndex : nullptr;
}

TpcChartRooms::SnapKey TpcChartRooms::CurrentSnapKey() const
{
    return SnapKey { Viewport.Transform().Params(), DataVersion, Chart.Width(), Chart.Height() };
}

bool TpcChartRooms::SnapIndexCurrent() const
{
    return SnapIndexKey && *SnapIndexKey == CurrentSnapKey();
}

const TpcSnapIndex& TpcChartRooms::BuiltSnapIndex()
{
    if (!SnapIndexCurrent()) {
        // Not valid for anything while it is filled: a failure leaves it out of date.
        SnapIndexKey.reset();
        layers::CollectSnapPoints(RenderContext(), SnapIndex);
        SnapIndexKey = CurrentSnapKey();
    }
    return SnapIndex;
}

int32_t TCustomPolChart::NearestElement(double rad, double phi) const
{
    TPoint pixel = PolarToPixel(rad, phi);
    ClipCoordinates(pixel.x, pixel.y);
    return rooms().BuiltSnapIndex().Nearest(pixel);
}

bool TCustomPolChart::IsSnapCandidate(int32_t index) const
{
    return geometry::IsDrawnPoint(rooms().Store, rooms().ClassVisible, Transform(), index,
        layers::MarkedClasses(rooms().ClassStyles));
}

bool TCustomPolChart::StepCrossHair(int index, int steps)
{
    TpcCrossHair* crossHair = CrossHair(index);
    if (!crossHair->SnapToData() || steps == 0)
        return false;
    int32_t at = crossHair->SnappedIndex();
    if (!IsSnapCandidate(at))
        at = NearestElement(crossHair->PosRad(), crossHair->PosPhi());
    if (at < 0)
        return false;
    // The transform and the marked classes, worked out once for the whole walk.
    const TpcTransform transform = Transform();
    const std::array<bool, 256> marked = layers::MarkedClasses(rooms().ClassStyles);
    auto candidate = [&](int32_t i) {
        return geometry::IsDrawnPoint(rooms().Store, rooms().ClassVisible, transform, i, marked);
    };
    const int direction = steps > 0 ? 1 : -1;
    for (int taken = 0; taken < std::abs(steps);) {
        int32_t next = at + direction;
        while (next >= 0 && next < ElementCount() && !candidate(next))
            next += direction;
        if (next < 0 || next >= ElementCount())
            break;
        at = next;
        ++taken;
    }
    if (at == crossHair->SnappedIndex())
        return false;
    crossHair->placeOn(at);
    rooms().FireCrossHairMove(crossHair);
    return true;
}

// ---------------------------------------------------------------------------------------------
// The control's mouse handling: the standard events fire first, then the navigator acts.

void TCustomPolChart::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    rooms().Navigator.MouseDown(button, x, y);
}

void TCustomPolChart::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    rooms().Navigator.MouseMove(shift, x, y);
}

void TCustomPolChart::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    rooms().Navigator.MouseUp(button);
}

} // namespace znq
