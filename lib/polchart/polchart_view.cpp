// The chart's navigation, delegated to the navigator: mouse action, wheel, keys, the mouse's back
// and forward buttons and the view history; and the crosshairs that snap to the data.
#include "polchart_rooms.h"
#include "znq_application.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace znq {

// ---------------------------------------------------------------------------------------------
// Navigation, delegated to the navigator

TMouseActMode TCustomPolChart::MouseAction() const
{
    return rooms().Navigator.MouseAction();
}

void TCustomPolChart::SetMouseAction(TMouseActMode value)
{
    rooms().Navigator.SetMouseAction(value);
}

bool TCustomPolChart::WheelZoom() const
{
    return rooms().Navigator.WheelZoom();
}

void TCustomPolChart::SetWheelZoom(bool value)
{
    rooms().Navigator.SetWheelZoom(value);
}

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

const TpcMouseGesture& TCustomPolChart::MouseGesture() const
{
    return rooms().Navigator.Gesture();
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
    if (rooms().Navigator.Key(event->key(), event->modifiers()))
        event->accept();
    else
        TCustomControl::keyPressEvent(event);
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
TpcSnapIndex* TCustomPolChart::snapIndexToFill() const
{
    const bool snapping = std::any_of(m_crossHairs.begin(), m_crossHairs.end(),
        [](const TpcCrossHair* crossHair) { return crossHair->SnapToData(); });
    return snapping && !rooms().SnapIndexCurrent() ? &rooms().SnapIndex : nullptr;
}

const TpcSnapIndex& TCustomPolChart::snapIndex() const
{
    TpcChartRooms& r = rooms();
    if (!r.SnapIndexCurrent()) {
        // Not valid for anything while it is filled: a failure leaves it out of date.
        r.SnapIndexKey.reset();
        layers::CollectSnapPoints(r.RenderContext(), r.SnapIndex);
        r.SnapIndexKey = r.CurrentSnapKey();
    }
    return r.SnapIndex;
}

const TpcSnapIndex& TCustomPolChart::SnapIndexSeam() const
{
    return rooms().SnapIndex;
}

int32_t TCustomPolChart::NearestElement(double rad, double phi) const
{
    TPoint pixel = PolarToPixel(rad, phi);
    ClipCoordinates(pixel.x, pixel.y);
    return snapIndex().Nearest(pixel);
}

bool TCustomPolChart::IsSnapCandidate(int32_t index) const
{
    if (index < 0 || index >= m_store.Count())
        return false;
    auto drawable
        = [this](const TpcDataElement& e) { return std::isfinite(e.Rad) && std::isfinite(e.Phi); };
    const TpcDataElement& element = m_store[index];
    if (!ClassVisible(element.ElemClass) || !drawable(element))
        return false;
    if (element.Kind == TpcElemKind::ekDrawTo)
        return true;
    // A move-to starts a line when the next element that the paint looks at is a drawable line-to.
    for (int32_t i = index + 1; i < m_store.Count(); ++i) {
        const TpcDataElement& next = m_store[i];
        if (!ClassVisible(next.ElemClass))
            continue;
        return drawable(next) && next.Kind == TpcElemKind::ekDrawTo;
    }
    return false;
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
    const int direction = steps > 0 ? 1 : -1;
    for (int taken = 0; taken < std::abs(steps);) {
        int32_t next = at + direction;
        while (next >= 0 && next < m_store.Count() && !IsSnapCandidate(next))
            next += direction;
        if (next < 0 || next >= m_store.Count())
            break;
        at = next;
        ++taken;
    }
    if (at == crossHair->SnappedIndex())
        return false;
    crossHair->placeOn(at);
    crossHairMovedByUser(crossHair, index);
    return true;
}

void TCustomPolChart::crossHairMovedByUser(TpcCrossHair* crossHair, int index)
{
    PaintCrossHairs();
    if (OnCrossHairMove)
        OnCrossHairMove(EventSender(), crossHair);
    Q_EMIT crossHairMoved(index);
}

} // namespace znq
