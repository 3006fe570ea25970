/// \file
/// The navigator: the room that turns the user's input (mouse gestures, the wheel, the view keys)
/// into view changes through the viewport and into crosshair and label moves, and keeps the view
/// history. It draws nothing; the zoom box it keeps open is an overlay the paint draws.
#pragma once

#include "polchart_crosshair.h"
#include "polchart_legend.h"
#include "polchart_textlabel.h"
#include "view/polchart_geometry.h"
#include "view/polchart_gestures.h"
#include "view/polchart_viewport.h"

#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

namespace znq {

/// Mouse gestures, wheel, keys and the view history of one chart.
class TpcNavigator {
public:
    /// What the navigator asks of the chart it navigates.
    class Host {
    public:
        /// Crosshair 1 .. 4.
        virtual TpcCrossHair* NavCrossHair(int index) const = 0;
        /// Text label 1 .. 20.
        virtual TpcTextLabel* NavTextLabel(int index) const = 0;
        /// The full repaint.
        virtual void NavPaint() = 0;
        /// Whether painting is suspended.
        virtual bool NavPaintingSuspended() const = 0;
        /// Suspends or resumes painting; resuming paints.
        virtual void NavSetPaintingSuspended(bool suspended) = 0;
        /// The view changed by the user: OnZoomPan and its signal.
        virtual void NavZoomPanned() = 0;
        /// A crosshair moved by the user: shown again, then its event and signal.
        virtual void NavCrossHairMoved(TpcCrossHair* crossHair, int index) = 0;
        /// A label moved by the user: the chart painted, then its event and signal.
        virtual void NavTextLabelMoved(TpcTextLabel* label, int index) = 0;
        /// The pointer report.
        virtual void NavPointerMoved(TShiftState shift, int32_t x, int32_t y) = 0;
        /// The zoom box outline from anchor to corner, drawn with the XOR pen on the control's
        /// picture: drawing it twice restores the picture.
        virtual void NavToggleZoomBox(TPoint anchor, TPoint corner) = 0;
        /// Moves a snapping crosshair along the data (StepCrossHair).
        virtual bool NavStepCrossHair(int index, int steps) = 0;
        /// The legend; a host without one has none.
        virtual TpcLegend* NavLegend() const { return nullptr; }
        /// Where the last paint drew the legend; null when it drew none.
        virtual const geometry::TpcLegendLayout* NavLegendLayout() const { return nullptr; }
        /// The legend moved by the user: the chart painted.
        virtual void NavLegendMoved() { }
        /// A click on the legend entry of a class: the class shown or hidden, then the event.
        virtual void NavLegendClicked(int /*elemClass*/) { }

    protected:
        ~Host() = default;
    };

    /// A navigator of the viewport's view for host.
    TpcNavigator(TpcViewport& viewport, Host& host);

    /// What a drag with the mouse does.
    TMouseActMode MouseAction() const { return m_mouseAction; }
    /// Sets MouseAction.
    void SetMouseAction(TMouseActMode value) { m_mouseAction = value; }
    /// Whether the wheel zooms about the pointer.
    bool WheelZoom() const { return m_wheelZoom; }
    /// Sets WheelZoom.
    void SetWheelZoom(bool value) { m_wheelZoom = value; }

    /// A mouse button went down (after the standard events): may open the zoom box. The left
    /// button on the legend starts a gesture of the legend instead: a click on an entry, or with
    /// the label-drag mouse action, a drag of the legend.
    void MouseDown(TMouseButton button, int32_t x, int32_t y);
    /// The pointer moved: steps a drag or the zoom box, then reports the pointer.
    void MouseMove(TShiftState shift, int32_t x, int32_t y);
    /// A mouse button went up: ends the zoom box by the button, or clicks the legend entry under
    /// the press when the pointer stayed near it.
    void MouseUp(TMouseButton button);
    /// A wheel turn by angleDelta at position; false when the wheel does not zoom (the event is
    /// then the parent's).
    bool Wheel(double positionX, double positionY, int angleDelta);
    /// A key; false when it is not one of the view keys.
    bool Key(int key, Qt::KeyboardModifiers modifiers);

    /// Whether ViewBack has a view to go back to.
    bool CanViewBack() const;
    /// Whether ViewForward has a view to go forward to.
    bool CanViewForward() const;
    /// Back to the view recorded before the present one.
    void ViewBack();
    /// Forward again after ViewBack.
    void ViewForward();
    /// To the view before the first recorded change; recorded as a change itself.
    void ViewHome();
    /// The recorded views, oldest first.
    const std::vector<TpcView>& ViewHistory() const { return m_viewHistory; }
    /// The position of the present view in ViewHistory; -1 before the first change.
    int32_t ViewHistoryPosition() const { return m_viewHistoryPos; }

    /// The viewport applied a view: a complete change by the user is recorded, a view from the
    /// history ends the wheel's anchor.
    void ViewApplied(TpcViewCause cause);

    /// The gesture state: the drag in progress and the zoom box.
    const TpcMouseGesture& Gesture() const { return m_gesture; }
    /// The zoom box to draw over the picture while one is open: its anchor and moving corner.
    std::optional<std::pair<TPoint, TPoint>> ZoomBoxOverlay() const;

private:
    // The present view as the history records it.
    TpcView view() const;
    // A view change by the user begins: a pending wheel burst is recorded, and the present view
    // too when it is not the last recorded one.
    void beginUserChange();
    // A view change by the user is complete: the view is recorded unless it is the last one.
    void endUserChange();
    void endWheelBurst();
    void pushView(const TpcView& view);
    // Applies a view from the history, paints and fires OnZoomPan.
    void restoreView(const TpcView& view);
    bool zoomAbout(TPoint pixel, double factor, bool sameAnchor, TpcViewCause cause);
    void panBy(int32_t dx, int32_t dy, TpcViewCause cause);
    TpcViewArea area() const;
    bool inChart(int32_t x, int32_t y) const;

    void dragMove(TShiftState shift, int32_t x, int32_t y);
    // The legend's part of a move: a drag step, or noting that the pointer left the press.
    void legendMove(TShiftState shift, int32_t x, int32_t y);
    void dragStep(int32_t x, int32_t y);
    int32_t pickCrossHair(int32_t x, int32_t y) const;
    int32_t pickTextLabel(int32_t x, int32_t y) const;
    void zoomBoxMove(int32_t x, int32_t y);
    void zoomBoxRelease(TMouseButton button);
    void zoomToBox();
    void toggleZoomBox(TPoint corner);

    TpcViewport& m_viewport;
    Host& m_host;
    TMouseActMode m_mouseAction = TMouseActMode::maNone;
    bool m_wheelZoom = true;
    TpcMouseGesture m_gesture;
    // Wheel angle delta not yet taken as a step.
    int64_t m_wheelRemainder = 0;
    // The polar point kept under the pointer during a burst of wheel steps, as its offset from
    // the centre in radial units, with the pixel and the view it was taken at.
    struct WheelAnchor {
        bool Valid = false;
        TPoint Pixel;
        long double U = 0;
        long double V = 0;
        TpcView After;
    };
    WheelAnchor m_wheelAnchor;
    // Ends a burst of wheel steps half a second after the last one.
    QTimer m_wheelBurst;
    std::vector<TpcView> m_viewHistory;
    int32_t m_viewHistoryPos = -1;
    std::optional<TpcView> m_homeView;
};

} // namespace znq
