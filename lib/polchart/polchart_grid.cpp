// Grid and scales: rays from the centre with angle labels beyond the outer circle, the outer and
// inner circles, the radial value labels and the radial axis with its ticks. The grid is laid out
// in whole pixels from the centre and the outer radius.
#include "polchart_painters.h"

#include <algorithm>
#include <cmath>

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
    constexpr double pi = 3.141592653589793;

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

namespace painters {

    namespace {
        // Offers each scale label to the application, then measures and draws it.
        class ScaleLabels {
        public:
            ScaleLabels(const TCustomPolChart& chart, TCanvas& canvas)
                : m_chart(chart)
                , m_canvas(canvas)
            {
            }

            // Calls the event with the anchor; returns the text to draw (empty: none).
            std::string offer(TpcScaleKind kind, std::string text, int32_t anchorX, int32_t anchorY)
            {
                m_chart.offerScaleLabel(m_canvas, kind, text, anchorX, anchorY);
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
            const TCustomPolChart& m_chart;
            TCanvas& m_canvas;
            int32_t m_lastHeight = 0;
        };

        bool hasOuterCircle(TpcGridStyleRad style)
        {
            return style != TpcGridStyleRad::gsRadNone;
        }

        bool outerDotted(TpcGridStyleRad style)
        {
            return style == TpcGridStyleRad::gsRadOuterDots
                || style == TpcGridStyleRad::gsRadBothDots;
        }

        bool hasInnerCircles(TpcGridStyleRad style)
        {
            return style == TpcGridStyleRad::gsRadBothDots
                || style == TpcGridStyleRad::gsRadBothSolid
                || style == TpcGridStyleRad::gsRadBothMixed;
        }

        bool innerDotted(TpcGridStyleRad style)
        {
            return style == TpcGridStyleRad::gsRadBothDots
                || style == TpcGridStyleRad::gsRadBothMixed;
        }

        void drawRaysAndAngleLabels(
            const TCustomPolChart& chart, TCanvas& canvas, ScaleLabels& labels, int64_t r)
        {
            const int64_t cx = chart.CenterX(), cy = chart.CenterY();
            const int32_t sign = chart.RotationSign();
            const int rayCount = static_cast<int>(std::nearbyint(360 / chart.AngleBtwRays()));
            const TpcAngLabelMode mode = chart.LabelModeAngular();
            const bool multiPi
                = mode == TpcAngLabelMode::almMultiPi || mode == TpcAngLabelMode::almSymmMultiPi;
            for (int i = 0; i < rayCount; ++i) {
                const double t = 2 * pi * i / rayCount + chart.AngleOffset() * chart.AngleUnit();
                const double c = std::cos(t), s = std::sin(t);
                if (chart.GridStyleAngular() != TpcGridStyleAng::gsAngNone) {
                    canvas.MoveTo(Saturate(cx), Saturate(cy));
                    canvas.LineTo(Saturate(RoundPixel(c * double(r)) + cx),
                        Saturate(RoundPixel(s * double(sign * r)) + cy));
                }
                if (mode == TpcAngLabelMode::almNone)
                    continue;
                std::string text
                    = AngleLabelText(mode, i, rayCount, chart.AngleBtwRays(), chart.DecPlacePhi());
                const std::string fontName = canvas.Font().Name();
                if (multiPi)
                    canvas.Font().SetName("Symbol");
                text = labels.offer(TpcScaleKind::sckPhi, text,
                    Saturate(RoundPixel(c * double(r + 6)) + cx),
                    Saturate(RoundPixel(s * double(sign * (r + 3))) + cy));
                if (!text.empty()) {
                    const auto [w, h] = labels.measure(text);
                    const int64_t x = RoundPixel(c * double(r + w / 2 + 6)) + cx;
                    const int64_t y = RoundPixel(s * double((r + h / 2 + 3) * sign)) + cy;
                    canvas.TextOut(Saturate(x - w / 2), Saturate(y - h / 2), text);
                }
                if (multiPi)
                    canvas.Font().SetName(fontName);
            }
        }
    } // namespace

    void DrawGridAndScales(const TCustomPolChart& chart, TCanvas& canvas)
    {
        TPen& pen = canvas.Pen();
        TBrush& brush = canvas.Brush();
        pen.SetColor(chart.GridColor());
        pen.SetStyle(chart.GridStyleAngular() == TpcGridStyleAng::gsAngDots ? TPenStyle::psDot
                                                                            : TPenStyle::psSolid);
        canvas.Font().SetColor(chart.ScaleColor());
        brush.SetColor(chart.ChartColor());

        const int64_t r = chart.OuterRadius();
        const int64_t cx = chart.CenterX(), cy = chart.CenterY();
        ScaleLabels labels(chart, canvas);
        drawRaysAndAngleLabels(chart, canvas, labels, r);

        // The outer circle.
        const TpcGridStyleRad style = chart.GridStyleRadial();
        brush.SetStyle(TBrushStyle::bsClear);
        pen.SetStyle(TPenStyle::psSolid);
        if (hasOuterCircle(style)) {
            if (outerDotted(style))
                pen.SetStyle(TPenStyle::psDot);
            canvas.Ellipse(
                Saturate(cx - r), Saturate(cy - r), Saturate(cx + r + 1), Saturate(cy + r + 1));
        }
        brush.SetStyle(TBrushStyle::bsClear);
        pen.SetStyle(innerDotted(style) ? TPenStyle::psDot : TPenStyle::psSolid);

        // Radial label geometry: the axis line at cx + xoff; labels right-aligned 6 pixels left of
        // it, left-aligned 6 pixels right of it, or centred on the vertical through the centre.
        const TpcRadLabelMode radialMode = chart.LabelModeRadial();
        int64_t xoff = 0, k = 1, u = 0;
        if (radialMode == TpcRadLabelMode::rlmVertLeft) {
            xoff = -RoundPixel(1.2 * double(r)), k = 2, u = -6;
        } else if (radialMode == TpcRadLabelMode::rlmVertRight) {
            xoff = RoundPixel(1.2 * double(r)), k = 0, u = 6;
        }
        const bool radialLabels = radialMode != TpcRadLabelMode::rlmNone;
        const int32_t anchorX = Saturate(cx + xoff + u);
        auto labelX = [&](int32_t w) { return Saturate(cx - (w * k) / 2 + xoff + u); };

        brush.SetStyle(TBrushStyle::bsSolid);
        for (int n = 4; n >= -4; --n) {
            const double offset = double(n) * double(r) / 5;
            if (hasInnerCircles(style) && n > 0) {
                brush.SetStyle(TBrushStyle::bsClear);
                canvas.Ellipse(RoundPixel(double(cx) - offset), RoundPixel(double(cy) - offset),
                    RoundPixel(double(cx) + offset + 1), RoundPixel(double(cy) + offset + 1));
            }
            if (!radialLabels)
                continue;
            brush.SetColor(chart.ChartColor());
            double value
                = (chart.RangeHigh() - chart.RangeLow()) / 5 * std::abs(n) + chart.RangeLow();
            // Bounds near the ends of the double range overflow their difference; the wider
            // type holds it, and every label value lies between the bounds again.
            if (!std::isfinite(value))
                value = static_cast<double>(
                    (static_cast<long double>(chart.RangeHigh()) - chart.RangeLow()) / 5
                        * std::abs(n)
                    + chart.RangeLow());
            std::string text = FormatScaleNumber(1, chart.DecPlaceRad(), value);
            text = labels.offer(TpcScaleKind::sckRad, text, anchorX,
                RoundPixel(double(cy) - offset - labels.lastHeight() / 2.0));
            if (!text.empty()) {
                const auto [w, h] = labels.measure(text);
                canvas.TextOut(labelX(w), RoundPixel(double(cy) - offset - h / 2.0), text);
            }
        }

        // The two RangeHigh labels on the outer circle; inside it when centred labels would meet
        // the angle labels at the top and bottom.
        brush.SetStyle(TBrushStyle::bsClear);
        if (radialLabels) {
            brush.SetColor(chart.ChartColor());
            const bool inside = radialMode == TpcRadLabelMode::rlmVertCenter
                && chart.LabelModeAngular() != TpcAngLabelMode::almNone;
            for (int side : { -1, 1 }) {
                std::string text = FormatScaleNumber(1, chart.DecPlaceRad(), chart.RangeHigh());
                text = labels.offer(TpcScaleKind::sckRad, text, anchorX, Saturate(cy + side * r));
                if (text.empty())
                    continue;
                const auto [w, h] = labels.measure(text);
                int32_t y;
                if (inside)
                    y = Saturate(side < 0 ? cy - r + 1 : cy + r - h - 1);
                else
                    y = RoundPixel(double(cy + side * r) - h / 2.0);
                canvas.TextOut(labelX(w), y, text);
            }
        }

        pen.SetStyle(TPenStyle::psSolid);
        if (radialMode == TpcRadLabelMode::rlmVertLeft
            || radialMode == TpcRadLabelMode::rlmVertRight) {
            const int32_t axis = Saturate(cx + xoff);
            const int32_t tick = radialMode == TpcRadLabelMode::rlmVertLeft ? -4 : 4;
            canvas.MoveTo(axis, Saturate(cy + r));
            canvas.LineTo(axis, Saturate(cy - r));
            for (int j = -5; j <= 5; ++j) {
                const int32_t y = RoundPixel(double(cy) - double(j) * double(r) / 5);
                canvas.MoveTo(axis, y);
                canvas.LineTo(Saturate(int64_t(axis) + tick), y);
            }
        }
    }

} // namespace painters

} // namespace znq
