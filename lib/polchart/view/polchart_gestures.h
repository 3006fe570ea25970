/// \file
/// The state of the chart's mouse gestures and the geometry they compute. Everything here is in the
/// control's own pixels; the functions are pure, so the chart's handlers and the tests share them.
#pragma once

#include "znq_types.h"

#include <cstdint>
#include <optional>

namespace znq {

/// A left-button drag of the pan, zoom-drag, crosshair and label modes, and the zoom box.
struct TpcMouseGesture {
    /// A drag is in progress: a move with the left button held has started it.
    bool DragActive = false;
    /// Pointer column at the first move of the drag.
    int32_t DragOriginX = 0;
    /// Pointer row at the first move of the drag.
    int32_t DragOriginY = 0;
    /// CenterX at the first move of the drag.
    int32_t DragCenterX = 0;
    /// CenterY at the first move of the drag.
    int32_t DragCenterY = 0;
    /// MagFactor at the first move of the drag.
    double DragMagFactor = 1.0;
    /// Index 1 .. 4 of the crosshair being dragged; 0 before the first pick.
    int32_t DraggedCrossHair = 0;
    /// Index 1 .. 20 of the text label being dragged; 0 before the first pick.
    int32_t DraggedTextLabel = 0;
    /// A zoom box is open.
    bool ZoomBoxActive = false;
    /// Column of the corner where the left button went down.
    int32_t ZoomBoxAnchorX = 0;
    /// Row of the corner where the left button went down.
    int32_t ZoomBoxAnchorY = 0;
    /// Column of the moving corner as last drawn.
    int32_t ZoomBoxCornerX = 0;
    /// Row of the moving corner as last drawn.
    int32_t ZoomBoxCornerY = 0;
    /// The left button went down on the legend: the gesture belongs to it.
    bool LegendPressed = false;
    /// Where the left button went down on the legend.
    int32_t LegendPressX = 0, LegendPressY = 0;
    /// The pointer left the press's neighbourhood: the release is no click.
    bool LegendPressMoved = false;
    /// The legend is being dragged, the pointer this far from its top-left corner.
    bool LegendDragged = false;
    int32_t LegendGripX = 0, LegendGripY = 0;
};

/// The centre coordinate of a pan step: the centre at the drag's start moved by the pointer's way
/// from the drag origin, saturated to the 32-bit range.
int32_t PanCoordinate(int32_t dragCenter, int32_t pointer, int32_t dragOrigin);

/// The magnification of a zoom-drag step: a drag over the full height changes it by 1, upwards
/// enlarging. Never below 0.01, where the mapping still works; no upper limit. A control without
/// height leaves the magnification as it was at the drag's start.
double ZoomDragMagFactor(double dragMagFactor, int64_t dy, int32_t height);

/// The moving corner of a square zoom box for a pointer at (x, y): x clamped to the chart area's
/// columns, the height taken from the horizontal distance in the pointer's vertical direction, then
/// clamped to the area's rows (so the box may stop being square at the top or bottom edge).
TPoint ZoomBoxCorner(
    TPoint anchor, int32_t x, int32_t y, int32_t width, int32_t height, int32_t shadowWidth);

/// The result of zooming to a box: the new centre and the factor that multiplies MagFactor.
struct TpcBoxZoom {
    /// The new CenterX.
    int32_t CenterX = 0;
    /// The new CenterY.
    int32_t CenterY = 0;
    /// The factor that multiplies MagFactor.
    double Factor = 1.0;
};

/// Zooms so that the box (corners in any order) spans the control's shorter side and lies centred
/// in the longer one. Rounding is half to even, the centre saturates to the 32-bit range. Empty
/// when the box has no width or no height.
std::optional<TpcBoxZoom> ZoomToBox(TPoint anchor, TPoint corner, int32_t width, int32_t height,
    int32_t shadowWidth, int32_t centerX, int32_t centerY);

} // namespace znq
