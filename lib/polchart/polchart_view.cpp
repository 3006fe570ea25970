// The view beyond the specified mouse actions: wheel zoom about the pointer, the view history with
// its keys and mouse buttons, the arrow and zoom keys, and crosshairs that snap to the data.
#include "ZNQ_polchart.h"
#include "polchart_painters.h"
#include "znq_application.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace znq {

namespace {
    constexpr double wheelFactor = 1.2;
    constexpr int wheelStep = 120;
    constexpr int wheelBurstMs = 500;
} // namespace

// ---------------------------------------------------------------------------------------------
// The view history

bool TCustomPolChart::CanViewBack() const
{
    return m_viewHistoryPos > 0;
}

bool TCustomPolChart::CanViewForward() const
{
    return m_viewHistoryPos >= 0 && m_viewHistoryPos + 1 < int32_t(m_viewHistory.size());
}

void TCustomPolChart::pushView(const TpcView& view)
{
    if (!m_homeView)
        m_homeView = view;
    m_viewHistory.resize(size_t(m_viewHistoryPos + 1));
    m_viewHistory.push_back(view);
    if (m_viewHistory.size() > size_t(ViewHistoryLimit))
        m_viewHistory.erase(m_viewHistory.begin());
    m_viewHistoryPos = int32_t(m_viewHistory.size()) - 1;
}

void TCustomPolChart::endWheelBurst()
{
    if (m_wheelBurst && m_wheelBurst->isActive()) {
        m_wheelBurst->stop();
        recordViewChange();
    }
}

// The view before the change is recorded too, when the last record is not it (a setter moved it).
void TCustomPolChart::beginViewChange()
{
    endWheelBurst();
    recordViewChange();
}

void TCustomPolChart::recordViewChange()
{
    if (m_viewHistoryPos < 0 || m_viewHistory[size_t(m_viewHistoryPos)] != View())
        pushView(View());
}

void TCustomPolChart::applyView(const TpcView& view)
{
    m_centerX = view.CenterX;
    m_centerY = view.CenterY;
    m_magFactor = view.MagFactor;
    m_wheelAnchor.Valid = false;
    UpdateScaling();
    Paint();
    fireZoomPan();
}

void TCustomPolChart::ViewBack()
{
    endWheelBurst();
    if (!CanViewBack())
        return;
    --m_viewHistoryPos;
    applyView(m_viewHistory[size_t(m_viewHistoryPos)]);
}

// A wheel burst still going on is recorded first, which drops the forward part.
void TCustomPolChart::ViewForward()
{
    endWheelBurst();
    if (!CanViewForward())
        return;
    ++m_viewHistoryPos;
    applyView(m_viewHistory[size_t(m_viewHistoryPos)]);
}

void TCustomPolChart::ViewHome()
{
    if (!m_homeView)
        return;
    beginViewChange();
    applyView(*m_homeView);
    recordViewChange();
}

// ---------------------------------------------------------------------------------------------
// Zoom and pan by wheel and keys

// The offset of the polar point under the pixel from the centre, in radial units, is kept; the new
// centre puts it back under the pixel at the new scale. Within one burst at one pixel the offset of
// the first step is kept, so that the rounding of the centre does not add up over the steps.
// The limits 0.01 and 1000 hold only in the direction of the step: a magnification that a box
// zoom or a zoom drag took beyond them is never moved the wrong way. False when the step changed
// nothing.
bool TCustomPolChart::zoomAbout(TPoint pixel, double factor, bool sameAnchor)
{
    const double magFactor = factor > 1
        ? std::min(m_magFactor * factor, std::max(1000.0, m_magFactor))
        : std::max(m_magFactor * factor, std::min(0.01, m_magFactor));
    if (magFactor == m_magFactor || !std::isfinite(magFactor))
        return false;
    const long double scale = m_scaleX;
    const long double newScale = TpcTransform::ScaleFor(
        magFactor, Width(), Height(), m_shadowWidth, m_rangeLow, m_rangeHigh);
    if (!(sameAnchor && m_wheelAnchor.Valid && m_wheelAnchor.Pixel == pixel
            && m_wheelAnchor.After == View())) {
        m_wheelAnchor.Valid = scale != 0;
        m_wheelAnchor.Pixel = pixel;
        if (scale != 0) {
            m_wheelAnchor.U = (pixel.x - static_cast<long double>(m_centerX)) / scale;
            m_wheelAnchor.V = (pixel.y - static_cast<long double>(m_centerY)) / scale;
        }
    }
    m_magFactor = magFactor;
    if (m_wheelAnchor.Valid && newScale != 0) {
        m_centerX = painters::RoundPixel(static_cast<double>(pixel.x - m_wheelAnchor.U * newScale));
        m_centerY = painters::RoundPixel(static_cast<double>(pixel.y - m_wheelAnchor.V * newScale));
    }
    UpdateScaling();
    m_wheelAnchor.After = View();
    return true;
}

void TCustomPolChart::panBy(int32_t dx, int32_t dy)
{
    m_centerX = painters::Saturate(int64_t(m_centerX) + dx);
    m_centerY = painters::Saturate(int64_t(m_centerY) + dy);
    UpdateScaling();
}

void TCustomPolChart::wheelEvent(QWheelEvent* event)
{
    if (!m_wheelZoom) {
        event->ignore();
        return;
    }
    // A position that is not a number has no pixel; a far one counts as the edge of the range
    // the painters clip coordinates to.
    const QPointF position = event->position();
    if (!std::isfinite(position.x()) || !std::isfinite(position.y())) {
        event->ignore();
        return;
    }
    constexpr double reach = 1e6;
    TPoint pixel { int32_t(std::floor(std::clamp(position.x(), -reach, reach))),
        int32_t(std::floor(std::clamp(position.y(), -reach, reach))) };
    ClipCoordinates(pixel.x, pixel.y);
    event->accept();
    // 64 bits: no sequence of 32-bit deltas that a session can send makes the sum overflow.
    m_wheelRemainder += event->angleDelta().y();
    const int64_t steps = m_wheelRemainder / wheelStep;
    m_wheelRemainder -= steps * wheelStep;
    if (steps == 0)
        return;
    if (!m_wheelBurst) {
        m_wheelBurst = new QTimer(this);
        m_wheelBurst->setSingleShot(true);
        m_wheelBurst->setInterval(wheelBurstMs);
        QObject::connect(m_wheelBurst, &QTimer::timeout, this, [this] { recordViewChange(); });
    }
    if (!m_wheelBurst->isActive())
        beginViewChange();
    m_wheelBurst->start();
    const TpcView before = View();
    Guarded([&] {
        // Once a limit is reached further steps change nothing.
        for (int64_t i = 0; i < std::abs(steps); ++i)
            if (!zoomAbout(pixel, steps > 0 ? wheelFactor : 1 / wheelFactor, true))
                break;
        if (View() == before)
            return;
        Paint();
        fireZoomPan();
    });
}

void TCustomPolChart::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    const int key = event->key();
    TpcCrossHair* snapping = m_crossHairs[0]->SnapToData() ? m_crossHairs[0] : nullptr;
    const int32_t side
        = std::max<int64_t>(0, std::min(int64_t(Width()), int64_t(Height())) - m_shadowWidth) / 10;
    std::function<void()> change;
    if (alt && key == Qt::Key_Left) {
        Guarded([this] { ViewBack(); });
    } else if (alt && key == Qt::Key_Right) {
        Guarded([this] { ViewForward(); });
    } else if (key == Qt::Key_Home) {
        Guarded([this] { ViewHome(); });
    } else if (snapping && (key == Qt::Key_Left || key == Qt::Key_Right)) {
        const int steps = modifiers.testFlag(Qt::ShiftModifier) ? 10 : 1;
        Guarded([&] { StepCrossHair(1, key == Qt::Key_Left ? -steps : steps); });
    } else if (key == Qt::Key_Plus || key == Qt::Key_Minus || key == Qt::Key_Equal) {
        const double factor = key == Qt::Key_Minus ? 1 / wheelFactor : wheelFactor;
        change = [this, factor] { zoomAbout(TPoint { m_centerX, m_centerY }, factor, false); };
    } else if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up
        || key == Qt::Key_Down) {
        // The view moves in the arrow's direction: the picture the other way.
        const int32_t dx = key == Qt::Key_Left ? side : key == Qt::Key_Right ? -side : 0;
        const int32_t dy = key == Qt::Key_Up ? side : key == Qt::Key_Down ? -side : 0;
        change = [this, dx, dy] { panBy(dx, dy); };
    } else {
        TCustomControl::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!change)
        return;
    Guarded([&] {
        beginViewChange();
        const TpcView before = View();
        change();
        if (View() == before)
            return;
        Paint();
        recordViewChange();
        fireZoomPan();
    });
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

TCustomPolChart::SnapKey TCustomPolChart::snapKey() const
{
    return SnapKey { Transform().Params(), m_dataVersion, Width(), Height() };
}

bool TCustomPolChart::snapIndexCurrent() const
{
    return m_snapIndexKey && *m_snapIndexKey == snapKey();
}

// The crosshairs are asked first: a paint without a snapping crosshair builds no key.
TpcSnapIndex* TCustomPolChart::snapIndexToFill() const
{
    const bool snapping = std::any_of(m_crossHairs.begin(), m_crossHairs.end(),
        [](const TpcCrossHair* crossHair) { return crossHair->SnapToData(); });
    return snapping && !snapIndexCurrent() ? &m_snapIndex : nullptr;
}

const TpcSnapIndex& TCustomPolChart::snapIndex() const
{
    if (!snapIndexCurrent()) {
        // Not valid for anything while it is filled: a failure leaves it out of date.
        m_snapIndexKey.reset();
        painters::CollectSnapPoints(*this, m_snapIndex);
        m_snapIndexKey = snapKey();
    }
    return m_snapIndex;
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
