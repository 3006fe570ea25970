/// \file
/// The canvas's test seams: what tests watch of how callers draw. Not part of the published
/// interface; not installed.
#pragma once

#include "znq_graphics.h"

namespace znq {

/// Test access to a canvas's counters.
class TCanvasSeams {
public:
    /// The number of polyline calls.
    static int PolylineCount(const TCanvas& canvas) { return canvas.m_polylineCount; }
    /// The number of Draw calls.
    static int DrawCount(const TCanvas& canvas) { return canvas.m_drawCount; }
    /// The memory that the kept laid-out texts hold, by the estimate that bounds it to a few MB.
    static size_t TextCacheBytes(const TCanvas& canvas) { return canvas.m_shapedTextBytes; }
    /// An observer that sees the points of every polyline, in device pixels.
    static void SetPolylineObserver(
        TCanvas& canvas, std::function<void(std::span<const TPoint> points)> observer)
    {
        canvas.m_onPolyline = std::move(observer);
    }
};

} // namespace znq
