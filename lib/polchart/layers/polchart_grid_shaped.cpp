// The grid of a view that is not the plain linear circle: rings at the decades of a logarithmic
// axis (with dotted rings at 2 and 5 times a decade over a short range), a hole in the middle, and
// a partial sector whose rays, rings and labels stay inside its edges.
#include "layers/polchart_grid_layer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace znq::layers::grid {

namespace {
    constexpr double pi = std::numbers::pi;

    // The view's shape in pixels: the centre, the outer and the hole's radius, and the sector's
    // edges as screen angles (before the direction's sign), start first.
    struct Shape {
        double Cx = 0, Cy = 0;
        int64_t R = 0;
        double Hole = 0;
        int32_t Sign = 1;
        bool Whole = true;
        double Start = 0, Span = 2 * pi;

        TPoint at(double t, double radius) const
        {
            return TPoint { RoundPixel(Cx + std::cos(t) * radius),
                RoundPixel(Cy + std::sin(t) * radius * Sign) };
        }
    };

    Shape shapeOf(const TpcRenderContext& context)
    {
        const TpcViewState& view = context.View;
        Shape shape;
        shape.Cx = view.CenterX;
        shape.Cy = view.CenterY;
        shape.R = context.OuterRadius;
        shape.Hole = view.HoleFraction * double(shape.R);
        shape.Sign = view.RotationSign;
        shape.Whole = WholeTurn(view);
        shape.Start = (view.SectorStart + view.AngleOffset) * view.AngleUnit;
        shape.Span = SectorSpanRadians(view);
        return shape;
    }

    // A circle of the radial grid, at a radius in pixels.
    struct Ring {
        double Radius = 0;
        std::string Text;
        bool Minor = false;
        bool Labelled = true;
    };

    // The decimals of a decade's label: as many as it needs, scientific beyond a million or
    // below a millionth, and the chart's own scientific setting when it has one.
    int decadeDecimals(int decPlaceRad, int64_t decade)
    {
        if (decPlaceRad < 0)
            return decPlaceRad;
        if (decade > 6 || decade < -6)
            return -1;
        return static_cast<int>(std::max<int64_t>(0, -decade));
    }

    // The rings inside the outer circle, outermost first. Linear: the four fifths of the radius
    // outside the hole. Logarithmic: a ring per decade (every k-th when they would crowd closer
    // than 3 pixels), labelled where the labels have room and keep clear of the range ends, and,
    // over at most three decades, minor rings at 2 and 5 times each decade.
    std::vector<Ring> ringsOf(const TpcRenderContext& context, const Shape& shape, int32_t height)
    {
        const TpcViewState& view = context.View;
        const int decimals = context.Style.DecPlaceRad;
        const double usable = double(shape.R) - shape.Hole;
        std::vector<Ring> rings;
        if (!view.Logarithmic) {
            for (int n = 4; n >= 1; --n) {
                double value = (view.RangeHigh - view.RangeLow) / 5 * n + view.RangeLow;
                if (!std::isfinite(value))
                    value = static_cast<double>(
                        (static_cast<long double>(view.RangeHigh) - view.RangeLow) / 5 * n
                        + view.RangeLow);
                rings.push_back(
                    Ring { shape.Hole + n * usable / 5, FormatScaleNumber(1, decimals, value) });
            }
            return rings;
        }
        const double a0 = std::log10(view.RangeLow), a1 = std::log10(view.RangeHigh);
        const double lo = std::min(a0, a1), hi = std::max(a0, a1);
        const double perDecade = usable / (hi - lo);
        auto radiusAt = [&](double axis) { return shape.Hole + (axis - a0) / (a1 - a0) * usable; };
        if (!(perDecade > 0) || !std::isfinite(perDecade))
            return rings;
        const int64_t ringStep = std::max<int64_t>(1, int64_t(std::ceil(3 / perDecade)));
        const int64_t labelStep = ringStep
            * std::max<int64_t>(1, int64_t(std::ceil((height + 2) / (perDecade * ringStep))));
        const auto first = int64_t(std::ceil(lo)), last = int64_t(std::floor(hi));
        for (int64_t decade = first; decade <= last; ++decade) {
            if (decade % ringStep != 0 || double(decade) == lo || double(decade) == hi)
                continue;
            const double radius = radiusAt(double(decade));
            const bool room = std::fabs(radius - shape.Hole) >= height
                && std::fabs(double(shape.R) - radius) >= height;
            rings.push_back(Ring { radius,
                FormatScaleNumber(1, decadeDecimals(decimals, decade), std::pow(10.0, decade)),
                false, room && decade % labelStep == 0 });
        }
        if (hi - lo <= 3) {
            for (int64_t decade = first - 1; decade <= last; ++decade) {
                for (const double factor : { 2.0, 5.0 }) {
                    const double axis = double(decade) + std::log10(factor);
                    if (axis > lo && axis < hi)
                        rings.push_back(Ring { radiusAt(axis), "", true, false });
                }
            }
        }
        std::sort(rings.begin(), rings.end(),
            [](const Ring& a, const Ring& b) { return a.Radius > b.Radius; });
        return rings;
    }

    void setRingPen(TCanvas& canvas, TpcGridStyleRad style, bool minor)
    {
        canvas.Pen().SetStyle(minor || innerDotted(style) ? TPenStyle::psDot : TPenStyle::psSolid);
    }

    void setEdgePen(TCanvas& canvas, TpcGridStyleRad style)
    {
        canvas.Pen().SetStyle(outerDotted(style) ? TPenStyle::psDot : TPenStyle::psSolid);
    }

    // A radial label centred at y on the vertical of the layout, offered with the anchor the
    // plain grid gives its ring labels.
    void verticalLabel(TCanvas& canvas, ScaleLabels& labels, const RadialLayout& layout,
        const std::string& label, double y)
    {
        const std::string text = labels.offer(TpcScaleKind::sckRad, label, layout.anchorX(),
            RoundPixel(y - labels.lastHeight() / 2.0));
        if (text.empty())
            return;
        const auto [w, h] = labels.measure(text);
        canvas.TextOut(layout.labelX(w), RoundPixel(y - h / 2.0), text);
    }

    // A ray from the hole's edge (the centre without a hole) to the outer circle.
    void ray(TCanvas& canvas, const Shape& shape, double t)
    {
        const TPoint from = shape.at(t, shape.Hole), to = shape.at(t, double(shape.R));
        canvas.MoveTo(from.x, from.y);
        canvas.LineTo(to.x, to.y);
    }

    // The rays of the grid inside the view's sector (every ray on the whole circle), each with
    // its angle label; each ray once, so that no label doubles at the 0/360 seam.
    void raysAndAngleLabels(
        const TpcRenderContext& context, TCanvas& canvas, ScaleLabels& labels, const Shape& shape)
    {
        const TpcChartStyle& style = context.Style;
        const int rayCount = static_cast<int>(std::nearbyint(360 / style.AngleBtwRays));
        for (int i = 0; i < rayCount; ++i) {
            const double theta = 2 * pi * i / rayCount;
            if (!shape.Whole && !RayInSector(context.View, theta))
                continue;
            const double t = theta + context.View.AngleOffset * context.View.AngleUnit;
            if (style.GridStyleAngular != TpcGridStyleAng::gsAngNone)
                ray(canvas, shape, t);
            AngleLabel(context, canvas, labels, i, rayCount, std::cos(t), std::sin(t), shape.R);
        }
    }

    void circle(TCanvas& canvas, const Shape& shape, double radius)
    {
        canvas.Ellipse(RoundPixel(shape.Cx - radius), RoundPixel(shape.Cy - radius),
            RoundPixel(shape.Cx + radius + 1), RoundPixel(shape.Cy + radius + 1));
    }

    // The whole circle with a logarithmic axis or a hole: the plain grid's layout, with the rays
    // starting at the hole and the labels of the rings running down the vertical.
    void wholeCircle(const TpcRenderContext& context, TCanvas& canvas, ScaleLabels& labels,
        const Shape& shape, const std::vector<Ring>& rings)
    {
        const TpcChartStyle& style = context.Style;
        const TpcGridStyleRad radial = style.GridStyleRadial;
        raysAndAngleLabels(context, canvas, labels, shape);
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        if (hasOuterCircle(radial)) {
            setEdgePen(canvas, radial);
            circle(canvas, shape, double(shape.R));
            if (shape.Hole > 0)
                circle(canvas, shape, shape.Hole);
        }
        const RadialLayout layout(style.LabelModeRadial, int64_t(shape.Cx), shape.R);
        canvas.Brush().SetColor(style.ChartColor);
        for (const Ring& ring : rings) {
            if (hasInnerCircles(radial)) {
                canvas.Brush().SetStyle(TBrushStyle::bsClear);
                setRingPen(canvas, radial, ring.Minor);
                circle(canvas, shape, ring.Radius);
            }
            canvas.Brush().SetStyle(TBrushStyle::bsSolid);
            if (layout.labels() && ring.Labelled)
                verticalLabel(canvas, labels, layout, ring.Text, shape.Cy - ring.Radius);
        }
        if (layout.labels()) {
            const std::string low = FormatScaleNumber(1, style.DecPlaceRad, context.View.RangeLow);
            verticalLabel(canvas, labels, layout, low, shape.Cy - shape.Hole);
            if (shape.Hole > 0)
                verticalLabel(canvas, labels, layout, low, shape.Cy + shape.Hole);
            for (auto ring = rings.rbegin(); ring != rings.rend(); ++ring)
                if (ring->Labelled)
                    verticalLabel(canvas, labels, layout, ring->Text, shape.Cy + ring->Radius);
        }
        RangeHighLabels(context, canvas, labels, layout, shape.R);
        canvas.Pen().SetStyle(TPenStyle::psSolid);
        if (!layout.axis())
            return;
        const int32_t axis = Saturate(layout.Cx + layout.XOff);
        const int32_t tick = layout.Mode == TpcRadLabelMode::rlmVertLeft ? -4 : 4;
        canvas.MoveTo(axis, RoundPixel(shape.Cy + double(shape.R)));
        canvas.LineTo(axis, RoundPixel(shape.Cy - double(shape.R)));
        std::vector<double> ticks { double(shape.R), shape.Hole };
        for (const Ring& ring : rings)
            if (!ring.Minor)
                ticks.push_back(ring.Radius);
        for (const double radius : ticks) {
            for (const double side : { -1.0, 1.0 }) {
                const int32_t y = RoundPixel(shape.Cy + side * radius);
                canvas.MoveTo(axis, y);
                canvas.LineTo(Saturate(int64_t(axis) + tick), y);
            }
        }
    }

    // An arc about the centre from the sector's start to its end, as a polyline whose chords
    // stay within a sixteenth of a pixel of it.
    void arc(TCanvas& canvas, const Shape& shape, double radius)
    {
        const int steps = geometry::ArcSteps(shape.Span, radius);
        std::vector<TPoint> points;
        points.reserve(size_t(steps) + 1);
        for (int k = 0; k <= steps; ++k)
            points.push_back(shape.at(shape.Start + shape.Span * k / steps, radius));
        canvas.Polyline(points);
    }

    // A radial label beside the sector's starting edge, at a distance from the centre: centred on
    // the outward normal of the edge, 6 pixels plus half its extent away from it.
    void edgeLabel(TCanvas& canvas, ScaleLabels& labels, const Shape& shape,
        const std::string& label, double radius)
    {
        const double c = std::cos(shape.Start), s = std::sin(shape.Start);
        const double px = shape.Cx + c * radius, py = shape.Cy + s * radius * shape.Sign;
        const double nx = s, ny = -c * shape.Sign;
        const std::string text = labels.offer(TpcScaleKind::sckRad, label,
            RoundPixel(px + nx * EdgeLabelGap), RoundPixel(py + ny * EdgeLabelGap));
        if (text.empty())
            return;
        const auto [w, h] = labels.measure(text);
        const double away = EdgeLabelGap + std::fabs(nx) * w / 2 + std::fabs(ny) * h / 2;
        canvas.TextOut(
            RoundPixel(px + nx * away - w / 2.0), RoundPixel(py + ny * away - h / 2.0), text);
    }

    // A partial sector: its rays, the arcs of its rings, its two edges and the outer (and hole's)
    // arc, the angle labels of its rays (each ray once, so no label doubles at the seam) and the
    // radial labels along its starting edge.
    void sector(const TpcRenderContext& context, TCanvas& canvas, ScaleLabels& labels,
        const Shape& shape, const std::vector<Ring>& rings)
    {
        const TpcChartStyle& style = context.Style;
        const TpcGridStyleRad radial = style.GridStyleRadial;
        raysAndAngleLabels(context, canvas, labels, shape);
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        if (hasInnerCircles(radial)) {
            for (const Ring& ring : rings) {
                setRingPen(canvas, radial, ring.Minor);
                arc(canvas, shape, ring.Radius);
            }
        }
        if (hasOuterCircle(radial)) {
            setEdgePen(canvas, radial);
            arc(canvas, shape, double(shape.R));
            if (shape.Hole > 0)
                arc(canvas, shape, shape.Hole);
            for (const double t : { shape.Start, shape.Start + shape.Span })
                ray(canvas, shape, t);
        }
        canvas.Pen().SetStyle(TPenStyle::psSolid);
        if (style.LabelModeRadial == TpcRadLabelMode::rlmNone)
            return;
        canvas.Brush().SetColor(style.ChartColor);
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        edgeLabel(canvas, labels, shape,
            FormatScaleNumber(1, style.DecPlaceRad, context.View.RangeHigh), double(shape.R));
        for (const Ring& ring : rings)
            if (ring.Labelled)
                edgeLabel(canvas, labels, shape, ring.Text, ring.Radius);
        edgeLabel(canvas, labels, shape,
            FormatScaleNumber(1, style.DecPlaceRad, context.View.RangeLow), shape.Hole);
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
    }
} // namespace

void ShapedGridAndScales(const TpcRenderContext& context, TCanvas& canvas, ScaleLabels& labels)
{
    const Shape shape = shapeOf(context);
    const std::vector<Ring> rings = ringsOf(context, shape, canvas.TextHeight("0"));
    if (shape.Whole)
        wholeCircle(context, canvas, labels, shape, rings);
    else
        sector(context, canvas, labels, shape, rings);
}

} // namespace znq::layers::grid
