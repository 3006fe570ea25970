#include "ZNQ_znqbase.h"

#include <algorithm>
#include <cstdint>

namespace znq {

// The sequences rely on line-to leaving out its end point.
void DrawBox(TCanvas& canvas, int left, int top, int right, int bottom, TColor outline)
{
    canvas.Pen().SetColor(outline);
    canvas.MoveTo(left, top);
    canvas.LineTo(left, bottom);
    canvas.LineTo(right, bottom);
    canvas.LineTo(right, top);
    canvas.LineTo(left, top);
}

namespace {
    // Coordinates one pixel beyond a side, saturated so that frames reaching the ends of the
    // integer range stay defined.
    int beside(int coordinate, int step)
    {
        const int64_t moved = int64_t(coordinate) + step;
        return static_cast<int>(std::clamp<int64_t>(moved, INT32_MIN, INT32_MAX));
    }
} // namespace

void DrawBevel(TCanvas& canvas, int left, int top, int right, int bottom, TColor c1, TColor c2,
    TColor c3, TColor c4)
{
    TPen& pen = canvas.Pen();
    pen.SetColor(c1);
    canvas.MoveTo(left, bottom);
    canvas.LineTo(left, top);
    canvas.LineTo(beside(right, 1), top);

    canvas.MoveTo(right, beside(top, 1));
    pen.SetColor(c2);
    canvas.LineTo(right, bottom);
    canvas.LineTo(beside(left, -1), bottom);

    pen.SetColor(c3);
    canvas.MoveTo(beside(left, 1), beside(bottom, -1));
    canvas.LineTo(beside(left, 1), beside(top, 1));
    canvas.LineTo(right, beside(top, 1));

    canvas.MoveTo(beside(right, -1), beside(top, 2));
    pen.SetColor(c4);
    canvas.LineTo(beside(right, -1), beside(bottom, -1));
    canvas.LineTo(left, beside(bottom, -1));
}

void DrawFrame(TCanvas& canvas, TFrameStyle style, int left, int top, int right, int bottom,
    TColor highlight, TColor light, TColor shadow, TColor darkShadow, TColor outline)
{
    switch (style) {
    case TFrameStyle::fsNone:
        return;
    case TFrameStyle::fsSimple:
        DrawBox(canvas, left, top, right, bottom, outline);
        return;
    case TFrameStyle::fsLowered:
        DrawBevel(canvas, left, top, right, bottom, shadow, highlight, darkShadow, light);
        return;
    case TFrameStyle::fsRaised:
        DrawBevel(canvas, left, top, right, bottom, highlight, darkShadow, light, shadow);
        return;
    case TFrameStyle::fsEmbossed:
        DrawBevel(canvas, left, top, right, bottom, highlight, shadow, shadow, highlight);
        return;
    case TFrameStyle::fsEngraved:
        DrawBevel(canvas, left, top, right, bottom, shadow, highlight, highlight, shadow);
        return;
    }
}

} // namespace znq
