// Grid and scales: rays from the centre with angle labels beyond the outer circle, the outer and
// inner circles, the radial value labels and the radial axis with its ticks. The grid is laid out
// in whole pixels from the centre and the outer radius.
#include "layers/polchart_grid_layer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace znq {

void ReduceFraction(int32_t& numerator, int32_t& denominator)
{
    if (numerator == 0 || denominator == 0)
        return;
    // Magnitudes in 64 bits: the magnitude of INT32_MIN does not fit in 32.
    int64_t num = numerator, den = denominator;
    bool changed = true;
    while (changed) {
        changed = false;
        const int64_t limit = std::min(num < 0 ? -num : num, den < 0 ? -den : den);
        for (int64_t d = 2; d <= limit; ++d) {
            if (num % d == 0 && den % d == 0) {
                num /= d;
                den /= d;
                changed = true;
            }
        }
    }
    numerator = static_cast<int32_t>(num);
    denominator = static_cast<int32_t>(den);
}

namespace {
    constexpr double pi = std::numbers::pi;

    std::string degreesText(double v, double fraction)
    {
        if (fraction <= 0.1 || fraction >= 0.9)
            return std::to_string(static_cast<int64_t>(std::nearbyint(v)));
        return FormatScaleNumber(1, 1, v);
    }

    std::string multiPiText(int i, int rayCount, double angleBtwRays, bool symmetric)
    {
        const auto a = static_cast<int64_t>(std::nearbyint(angleBtwRays));
        if (a == 120) {
            static const char* const plain[] = { "0", "2p/3", "4p/3" };
            static const char* const symm[] = { "0", "2p/3", "-2p/3" };
            return i >= 0 && i < 3 ? (symmetric ? symm : plain)[i] : "";
        }
        if (a == 180)
            return i == 0 ? "0" : "p";
        if (a == 360 || i == 0)
            return "0";
        const double v = i * angleBtwRays;
        int32_t num = (symmetric && v > 180.5) ? i - rayCount : i;
        int32_t den = static_cast<int32_t>(std::nearbyint(180 / angleBtwRays));
        ReduceFraction(num, den);
        std::string text;
        if (symmetric && num == -1)
            text = "-";
        else if (num != 1 && !(symmetric && num == -1))
            text = std::to_string(num);
        text += "p";
        if (den != 1) {
            text += '/';
            text += std::to_string(den);
        }
        return text;
    }
} // namespace

std::string AngleLabelText(
    TpcAngLabelMode mode, int i, int rayCount, double angleBtwRays, int decPlacePhi)
{
    double v = i * angleBtwRays;
    const double fraction = std::fabs(v - std::trunc(v));
    switch (mode) {
    case TpcAngLabelMode::almNone:
        return "";
    case TpcAngLabelMode::almDegrees:
        return degreesText(v, fraction);
    case TpcAngLabelMode::almRadians:
        return FormatScaleNumber(1, decPlacePhi, v / 180 * pi);
    case TpcAngLabelMode::almSymmDeg:
        if (v > 180.5)
            v -= 360;
        return degreesText(v, fraction);
    case TpcAngLabelMode::almSymmRad:
        if (v > 180.5)
            v -= 360;
        return FormatScaleNumber(1, decPlacePhi, v / 180 * pi);
    case TpcAngLabelMode::almMultiPi:
        return multiPiText(i, rayCount, angleBtwRays, false);
    case TpcAngLabelMode::almSymmMultiPi:
        return multiPiText(i, rayCount, angleBtwRays, true);
    }
    return "";
}

namespace layers {

    using namespace grid;

    namespace {
        void raysAndAngleLabels(
            const TpcRenderContext& context, TCanvas& canvas, ScaleLabels& labels, int64_t r)
        {
            const TpcChartStyle& style = context.Style;
            const int64_t cx = context.View.CenterX, cy = context.View.CenterY;
            const int32_t sign = context.View.RotationSign;
            const int rayCount = static_cast<int>(std::nearbyint(360 / style.AngleBtwRays));
            for (int i = 0; i < rayCount; ++i) {
                const double t
                    = 2 * pi * i / rayCount + context.View.AngleOffset * context.View.AngleUnit;
                const double c = std::cos(t), s = std::sin(t);
                if (style.GridStyleAngular != TpcGridStyleAng::gsAngNone) {
                    canvas.MoveTo(Saturate(cx), Saturate(cy));
                    canvas.LineTo(Saturate(RoundPixel(c * double(r)) + cx),
                        Saturate(RoundPixel(s * double(sign * r)) + cy));
                }
                AngleLabel(context, canvas, labels, i, rayCount, c, s, r);
            }
        }

        void outerCircle(const TpcRenderContext& context, TCanvas& canvas, int64_t r)
        {
            const TpcGridStyleRad style = context.Style.GridStyleRadial;
            const int64_t cx = context.View.CenterX, cy = context.View.CenterY;
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
            canvas.Pen().SetStyle(TPenStyle::psSolid);
            if (hasOuterCircle(style)) {
                if (outerDotted(style))
                    canvas.Pen().SetStyle(TPenStyle::psDot);
                canvas.Ellipse(
                    Saturate(cx - r), Saturate(cy - r), Saturate(cx + r + 1), Saturate(cy + r + 1));
            }
        }

        // The radial label of ring n (-4 .. 4): the value n fifths of the range from RangeLow.
        std::string ringLabelText(const TpcRenderContext& context, int n)
        {
            const double low = context.View.RangeLow, high = context.View.RangeHigh;
            double value = (high - low) / 5 * std::abs(n) + low;
            // Bounds near the ends of the double range overflow their difference; the wider type
            // holds it, and every label value lies between the bounds again.
            if (!std::isfinite(value))
                value = static_cast<double>(
                    (static_cast<long double>(high) - low) / 5 * std::abs(n) + low);
            return FormatScaleNumber(1, context.Style.DecPlaceRad, value);
        }

        // Inner circles and radial labels by turns, ring by ring from the outside in: each label's
        // cell is drawn over the circles outside it and under those inside it.
        void innerCirclesAndRadialLabels(const TpcRenderContext& context, TCanvas& canvas,
            ScaleLabels& labels, const RadialLayout& layout, int64_t r)
        {
            const TpcGridStyleRad style = context.Style.GridStyleRadial;
            const int64_t cx = context.View.CenterX, cy = context.View.CenterY;
            TBrush& brush = canvas.Brush();
            brush.SetStyle(TBrushStyle::bsClear);
            canvas.Pen().SetStyle(innerDotted(style) ? TPenStyle::psDot : TPenStyle::psSolid);
            brush.SetStyle(TBrushStyle::bsSolid);
            for (int n = 4; n >= -4; --n) {
                const double offset = double(n) * double(r) / 5;
                if (hasInnerCircles(style) && n > 0) {
                    brush.SetStyle(TBrushStyle::bsClear);
                    canvas.Ellipse(RoundPixel(double(cx) - offset), RoundPixel(double(cy) - offset),
                        RoundPixel(double(cx) + offset + 1), RoundPixel(double(cy) + offset + 1));
                }
                if (!layout.labels())
                    continue;
                brush.SetColor(context.Style.ChartColor);
                std::string text = labels.offer(TpcScaleKind::sckRad, ringLabelText(context, n),
                    layout.anchorX(), RoundPixel(double(cy) - offset - labels.lastHeight() / 2.0));
                if (!text.empty()) {
                    const auto [w, h] = labels.measure(text);
                    canvas.TextOut(
                        layout.labelX(w), RoundPixel(double(cy) - offset - h / 2.0), text);
                }
            }
        }

        // The vertical axis beside the circle with a tick at every fifth of the radius.
        void radialAxis(
            const TpcRenderContext& context, TCanvas& canvas, const RadialLayout& layout, int64_t r)
        {
            const int64_t cy = context.View.CenterY;
            canvas.Pen().SetStyle(TPenStyle::psSolid);
            if (!layout.axis())
                return;
            const int32_t axis = Saturate(layout.Cx + layout.XOff);
            const int32_t tick = layout.Mode == TpcRadLabelMode::rlmVertLeft ? -4 : 4;
            canvas.MoveTo(axis, Saturate(cy + r));
            canvas.LineTo(axis, Saturate(cy - r));
            for (int j = -5; j <= 5; ++j) {
                const int32_t y = RoundPixel(double(cy) - double(j) * double(r) / 5);
                canvas.MoveTo(axis, y);
                canvas.LineTo(Saturate(int64_t(axis) + tick), y);
            }
        }
    } // namespace

    void grid::AngleLabel(const TpcRenderContext& context, TCanvas& canvas, ScaleLabels& labels,
        int i, int rayCount, double c, double s, int64_t r)
    {
        const TpcChartStyle& style = context.Style;
        const TpcAngLabelMode mode = style.LabelModeAngular;
        if (mode == TpcAngLabelMode::almNone)
            return;
        const int64_t cx = context.View.CenterX, cy = context.View.CenterY;
        const int32_t sign = context.View.RotationSign;
        std::string text = AngleLabelText(mode, i, rayCount, style.AngleBtwRays, style.DecPlacePhi);
        // The multiple-of-pi texts in the "Symbol" font, for this label only.
        std::optional<TCanvas::StateGuard> symbolFont;
        if (mode == TpcAngLabelMode::almMultiPi || mode == TpcAngLabelMode::almSymmMultiPi) {
            symbolFont.emplace(canvas);
            canvas.Font().SetName("Symbol");
        }
        text = labels.offer(TpcScaleKind::sckPhi, text,
            Saturate(RoundPixel(c * double(r + AngleLabelGapX)) + cx),
            Saturate(RoundPixel(s * double(sign * (r + AngleLabelGapY))) + cy));
        if (!text.empty()) {
            const auto [w, h] = labels.measure(text);
            const int64_t x = RoundPixel(c * double(r + w / 2 + AngleLabelGapX)) + cx;
            const int64_t y = RoundPixel(s * double((r + h / 2 + AngleLabelGapY) * sign)) + cy;
            canvas.TextOut(Saturate(x - w / 2), Saturate(y - h / 2), text);
        }
    }

    void grid::RangeHighLabels(const TpcRenderContext& context, TCanvas& canvas,
        ScaleLabels& labels, const RadialLayout& layout, int64_t r)
    {
        const int64_t cy = context.View.CenterY;
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        if (!layout.labels())
            return;
        canvas.Brush().SetColor(context.Style.ChartColor);
        const bool inside = layout.Mode == TpcRadLabelMode::rlmVertCenter
            && context.Style.LabelModeAngular != TpcAngLabelMode::almNone;
        for (int side : { -1, 1 }) {
            std::string text
                = FormatScaleNumber(1, context.Style.DecPlaceRad, context.View.RangeHigh);
            text = labels.offer(
                TpcScaleKind::sckRad, text, layout.anchorX(), Saturate(cy + side * r));
            if (text.empty())
                continue;
            const auto [w, h] = labels.measure(text);
            int32_t y;
            if (inside)
                y = Saturate(side < 0 ? cy - r + 1 : cy + r - h - 1);
            else
                y = RoundPixel(double(cy + side * r) - h / 2.0);
            canvas.TextOut(layout.labelX(w), y, text);
        }
    }

    void GridAndScales(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult&)
    {
        const TpcChartStyle& style = context.Style;
        canvas.Pen().SetColor(style.GridColor);
        canvas.Pen().SetStyle(style.GridStyleAngular == TpcGridStyleAng::gsAngDots
                ? TPenStyle::psDot
                : TPenStyle::psSolid);
        canvas.Font().SetColor(style.ScaleColor);
        canvas.Brush().SetColor(style.ChartColor);

        ScaleLabels labels(context, canvas);
        const TpcViewState& view = context.View;
        if (view.Logarithmic || view.HoleFraction > 0 || !WholeTurn(view)) {
            ShapedGridAndScales(context, canvas, labels);
            return;
        }
        const int64_t r = context.OuterRadius;
        raysAndAngleLabels(context, canvas, labels, r);
        outerCircle(context, canvas, r);
        const RadialLayout layout(style.LabelModeRadial, context.View.CenterX, r);
        innerCirclesAndRadialLabels(context, canvas, labels, layout, r);
        RangeHighLabels(context, canvas, labels, layout, r);
        radialAxis(context, canvas, layout, r);
    }

} // namespace layers

} // namespace znq
