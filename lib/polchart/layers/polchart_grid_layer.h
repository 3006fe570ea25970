// The pieces that the grids of every kind of view share: the scale labels offered to the
// application, the styles of the circles and where the radial labels go. Internal to the chart.
#pragma once

#include "layers/polchart_render_context.h"

#include <string>
#include <utility>

namespace znq::layers::grid {

using geometry::AngleLabelGapX;
using geometry::AngleLabelGapY;
using geometry::EdgeLabelGap;
using geometry::RoundPixel;
using geometry::Saturate;

// Offers each scale label to the application, then measures it.
class ScaleLabels {
public:
    ScaleLabels(const TpcRenderContext& context, TCanvas& canvas)
        : m_context(context)
        , m_canvas(canvas)
    {
    }

    // Calls the event with the anchor; returns the text to draw (empty: none).
    std::string offer(TpcScaleKind kind, std::string text, int32_t anchorX, int32_t anchorY)
    {
        if (m_context.OfferScaleLabel)
            m_context.OfferScaleLabel(m_canvas, kind, text, anchorX, anchorY);
        return text;
    }

    // Width and height of a label about to be drawn; the height is remembered for the
    // anchor of the next radial label.
    std::pair<int32_t, int32_t> measure(const std::string& text)
    {
        const int32_t w = m_canvas.TextWidth(text), h = m_canvas.TextHeight(text);
        m_lastHeight = h;
        return { w, h };
    }

    int32_t lastHeight() const { return m_lastHeight; }

private:
    const TpcRenderContext& m_context;
    TCanvas& m_canvas;
    int32_t m_lastHeight = 0;
};

inline bool hasOuterCircle(TpcGridStyleRad style)
{
    return style != TpcGridStyleRad::gsRadNone;
}

inline bool outerDotted(TpcGridStyleRad style)
{
    return style == TpcGridStyleRad::gsRadOuterDots || style == TpcGridStyleRad::gsRadBothDots;
}

inline bool hasInnerCircles(TpcGridStyleRad style)
{
    return style == TpcGridStyleRad::gsRadBothDots || style == TpcGridStyleRad::gsRadBothSolid
        || style == TpcGridStyleRad::gsRadBothMixed;
}

inline bool innerDotted(TpcGridStyleRad style)
{
    return style == TpcGridStyleRad::gsRadBothDots || style == TpcGridStyleRad::gsRadBothMixed;
}

// Where the radial labels go: the axis line at cx + xoff; labels right-aligned 6 pixels
// left of it, left-aligned 6 pixels right of it, or centred on the vertical through the
// centre.
struct RadialLayout {
    RadialLayout(TpcRadLabelMode mode, int64_t cx, int64_t r)
        : Mode(mode)
        , Cx(cx)
    {
        if (mode == TpcRadLabelMode::rlmVertLeft) {
            XOff = -RoundPixel(1.2 * double(r)), K = 2, U = -6;
        } else if (mode == TpcRadLabelMode::rlmVertRight) {
            XOff = RoundPixel(1.2 * double(r)), K = 0, U = 6;
        }
    }
    bool labels() const { return Mode != TpcRadLabelMode::rlmNone; }
    bool axis() const
    {
        return Mode == TpcRadLabelMode::rlmVertLeft || Mode == TpcRadLabelMode::rlmVertRight;
    }
    int32_t anchorX() const { return Saturate(Cx + XOff + U); }
    int32_t labelX(int32_t w) const { return Saturate(Cx - (w * K) / 2 + XOff + U); }

    TpcRadLabelMode Mode;
    int64_t Cx;
    int64_t XOff = 0, K = 1, U = 0;
};

/// Rings, rays and labels of a view that is not the plain linear circle: a logarithmic axis, a
/// hole or a partial sector. The pen, font and brush are set up as for the plain grid.
void ShapedGridAndScales(const TpcRenderContext& context, TCanvas& canvas, ScaleLabels& labels);

/// The angle label of ray i of rayCount, whose direction on the screen is (c, s * sign), beyond
/// the outer radius r.
void AngleLabel(const TpcRenderContext& context, TCanvas& canvas, ScaleLabels& labels, int i,
    int rayCount, double c, double s, int64_t r);

/// The two RangeHigh labels on the outer circle; inside it when centred labels would meet the
/// angle labels at the top and bottom.
void RangeHighLabels(const TpcRenderContext& context, TCanvas& canvas, ScaleLabels& labels,
    const RadialLayout& layout, int64_t r);

} // namespace znq::layers::grid
