// The chart's pictures in two buffers used in turn. Each buffer holds a frame, the control's
// picture (the shadow and the chart image over it), and the chart image, both from its top-left
// pixel. The control shows a finished frame by sharing its pixels, so that a paint copies no
// picture; the next paint renders into the other buffer, which nobody shows or holds. Internal to
// the chart.
#pragma once

#include "znq_graphics.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <memory>

namespace znq {

/// Two buffers of the chart's pictures, and which of them the chart image draws into.
class TpcFrames {
public:
    /// The sizes of a frame and of its chart image in logical pixels, and their scale.
    struct Geometry {
        int32_t FrameWidth = 0; ///< The frame's width.
        int32_t FrameHeight = 0; ///< The frame's height.
        int32_t ChartWidth = 0; ///< The chart image's width.
        int32_t ChartHeight = 0; ///< The chart image's height.
        double Scale = 1.0; ///< Device pixels per logical pixel.
        /// Equal in all five.
        friend bool operator==(const Geometry&, const Geometry&) = default;
    };

    /// Gives chart the chart image of a buffer of the geometry that nobody but the frames and
    /// chart holds (the one chart draws into already when it can), and returns that buffer's
    /// frame, whose pixels are the last paint's of that buffer. Null when the geometry has no
    /// pixels or there is no memory for them: chart then has an empty image of its own, which a
    /// resize gives pixels again.
    QImage* Begin(TBitmap& chart, const Geometry& geometry);
    /// The frame whose chart image chart draws into; null when chart has pixels of its own.
    const QImage* Current(const TBitmap& chart) const;
    /// Whether the current buffer may be drawn into in place: chart draws into it, and nobody
    /// holds its frame or its chart image but the frames, chart and the control's backing image,
    /// which may share the frame (and then shows what is drawn).
    bool HeldAlone(const TBitmap& chart, const QImage& backing);

private:
    struct Buffer {
        // The pixels, kept alive by every image made over them.
        std::shared_ptr<QImage> Pixels;
        // The frame over the top-left pixels, at the scale's device pixel ratio.
        QImage Frame;
        // The chart image over the top-left pixels, while chart does not hold it.
        QImage Chart;
        Geometry Sizes;
    };
    // Whether nobody but the frames and chart holds buffer i's pixels and chart image, which is
    // the one chart draws into when i is the current buffer.
    bool imagesHeld(const TBitmap& chart, int i) const;
    // Buffer i made anew for the geometry; false when it has no pixels or no memory.
    bool make(int i, const Geometry& geometry);

    std::array<Buffer, 2> m_buffers;
    // The buffer whose chart image chart was given last; -1 before the first.
    int m_current = -1;
};

} // namespace znq
