// The paint pipeline: the gates, the chart image with its layers and outline, and the picture
// composed on the control's canvas: the shadow, the chart image in one copy, the crosshairs.
#include "polchart_render.h"
#include "polchart_rooms.h"

#include <algorithm>
#include <cmath>

namespace znq {

void TCustomPolChart::offerScaleLabel(
    TCanvas& canvas, TpcScaleKind kind, std::string& text, int32_t x, int32_t y) const
{
    if (OnBeforeDrawScaleLabel)
        OnBeforeDrawScaleLabel(EventSender(), canvas, kind, text, x, y);
    Q_EMIT const_cast<TCustomPolChart*>(this)->scaleLabelDrawing(&canvas, kind, &text, x, y);
}

// Nothing paints while the chart is hidden at run time, loading, or suspended.
bool TCustomPolChart::canPaint() const
{
    return (Visible() || Designing()) && !Loading() && !m_paintingSuspended;
}

void TCustomPolChart::Paint()
{
    if (!canPaint())
        return;
    // A handler or slot of the rendering asked for a paint: it follows this one, from the event
    // loop, so that a paint never runs inside another.
    if (m_painting) {
        m_paintAgain = true;
        return;
    }
    const TFlagScope painting(m_painting);
    ++m_paintCount;
    fitBacking();
    // Current from here on: a handler that changes the chart while it is rendered marks it stale,
    // and one that throws leaves a half-rendered image that the next paint renders again.
    m_chartImageCurrent = true;
    try {
        // At the control canvas's scale, which is the screen's device pixel ratio.
        m_chartBitmap.SetScale(Canvas().Scale());
        PrepareChartBitmap(m_chartBitmap);
        RenderChart(m_chartBitmap.Canvas());
    } catch (...) {
        m_chartImageCurrent = false;
        throw;
    }
    showFrame();
    if (m_paintAgain) {
        m_paintAgain = false;
        Invalidate();
    }
}

// Inside a paint the crosshairs are drawn at its end anyway.
void TCustomPolChart::PaintCrossHairs()
{
    if (!canPaint() || m_painting)
        return;
    if (!m_chartImageCurrent || paintPending() || !backingFits()
        || m_chartBitmap.Width() != chartImageWidth()
        || m_chartBitmap.Height() != chartImageHeight()) {
        Paint();
        return;
    }
    ++m_paintCount;
    showFrame();
}

void TCustomPolChart::showFrame()
{
    TCanvas& target = Canvas();
    {
        const TCanvas::StateGuard keep(target);
        composeFrame(target, m_chartBitmap);
    }
    DrawCrossHairs(target);
    // A zoom box in progress stays on the new picture, so that its next XOR pass still erases it.
    if (const auto box = rooms().Navigator.ZoomBoxOverlay())
        drawZoomBox(box->first, box->second);
    canvasPainted();
}

// The shadow, and the chart image over it: the whole picture but the crosshairs. The two cover
// every pixel of the control, so nothing of an earlier picture stays.
void TCustomPolChart::composeFrame(TCanvas& target, const TBitmap& chartImage) const
{
    drawShadowLayer(target);
    target.SetCopyMode(TCopyMode::cmSrcCopy);
    target.Draw(0, 0, chartImage);
}

void TCustomPolChart::drawShadowLayer(TCanvas& target) const
{
    target.Pen().SetMode(TPenMode::pmCopy);
    target.Pen().SetStyle(TPenStyle::psSolid);
    target.Pen().SetWidth(1);
    target.Brush().SetStyle(TBrushStyle::bsSolid);
    DrawShadow(target);
}

QImage TCustomPolChart::FrameImage() const
{
    TBitmap frame(Width(), Height());
    composeFrame(frame.Canvas(), m_chartBitmap);
    return frame.Image();
}

// Rendered anew at the scale from the present state: nothing of the control's pictures or paint
// state is used or changed. The picture holds one full-size image: the chart image is rendered
// straight into its top-left part, after the shadow, which is what copying it there would give.
// The buffer is large enough for both; the chart image is one pixel larger than the picture when
// there is no shadow, and the picture returned is then the buffer's top-left part.
QImage TCustomPolChart::ToImage(double scale) const
{
    if (!(scale >= MinImageScale && scale <= MaxImageScale))
        throw EZNQPolChartError(Name(), ": the image scale must lie within 0.25 .. 8");
    return renderImage(scale,
        [this](const std::string& reason) { throw EZNQPolChartError(Name(), ": " + reason); });
}

QImage TCustomPolChart::renderImage(
    double scale, const std::function<void(const std::string& reason)>& refuse) const
{
    const int32_t frameWidth = TBitmap::ScaledSize(Width(), scale);
    const int32_t frameHeight = TBitmap::ScaledSize(Height(), scale);
    const int32_t chartWidth = TBitmap::ScaledSize(chartImageWidth(), scale);
    const int32_t chartHeight = TBitmap::ScaledSize(chartImageHeight(), scale);
    const int32_t width = std::max(frameWidth, chartWidth);
    const int32_t height = std::max(frameHeight, chartHeight);
    if (frameWidth <= 0 || frameHeight <= 0)
        return QImage();
    const auto size = [](int64_t w, int64_t h) {
        return std::to_string(w) + " x " + std::to_string(h) + " pixels";
    };
    if (int64_t(width) * height > MaxImagePixels) {
        refuse("an image of " + size(frameWidth, frameHeight) + " is larger than the limit of "
            + std::to_string(MaxImagePixels) + " pixels");
        return QImage();
    }
    QImage buffer(width, height, QImage::Format_RGB32);
    if (buffer.isNull()) {
        refuse("not enough memory for an image of " + size(frameWidth, frameHeight));
        return QImage();
    }
    buffer.fill(0xFFFFFFFFu);
    uchar* bits = buffer.bits();
    const qsizetype stride = buffer.bytesPerLine();

    QImage framePart(bits, frameWidth, frameHeight, stride, QImage::Format_RGB32);
    TCanvas frame(&framePart);
    frame.SetScale(scale, Width(), Height());
    drawShadowLayer(frame);
    if (chartWidth > 0 && chartHeight > 0) {
        QImage chartPart(bits, chartWidth, chartHeight, stride, QImage::Format_RGB32);
        chartPart.fill(0xFFFFFFFFu);
        TCanvas chart(&chartPart);
        chart.SetScale(scale, chartImageWidth(), chartImageHeight());
        chart.Font().Assign(Font());
        RenderChart(chart);
        chart.EndPainting();
    }
    DrawCrossHairs(frame);
    frame.EndPainting();
    if (frameWidth == width && frameHeight == height)
        return buffer;
    // The picture shares the buffer, which lives as long as the picture or a copy of it.
    auto* keeper = new QImage(std::move(buffer));
    return QImage(
        bits, frameWidth, frameHeight, stride, QImage::Format_RGB32,
        [](void* image) { delete static_cast<QImage*>(image); }, keeper);
}

void TCustomPolChart::DrawShadow(TCanvas& canvas) const
{
    layers::Shadow(rooms().RenderContext(), canvas);
}

// One pixel wider and higher than the area inside the shadow, so that the outline falls on its
// last column and row.
int32_t TCustomPolChart::chartImageWidth() const
{
    return std::max(0, Width() - style().ShadowWidth + 1);
}

int32_t TCustomPolChart::chartImageHeight() const
{
    return std::max(0, Height() - style().ShadowWidth + 1);
}

void TCustomPolChart::PrepareChartBitmap(TBitmap& bitmap) const
{
    bitmap.SetSize(chartImageWidth(), chartImageHeight());
    bitmap.Canvas().Font().Assign(Font());
}

// The layers draw from one context, taken before the first of them: a handler that changes the
// chart while it is rendered marks the image stale, and the next paint shows the change. The snap
// index is filled from the data as drawn when a crosshair snaps and the index does not hold the
// present data and view already; it is then current for the context's data and view.
void TCustomPolChart::RenderChart(TCanvas& canvas) const
{
    TpcChartRooms& r = rooms();
    TpcRenderContext context = r.RenderContext();
    context.SnapIndexToFill = snapIndexToFill();
    const TpcChartRooms::SnapKey key = r.CurrentSnapKey();
    if (context.SnapIndexToFill)
        r.SnapIndexKey.reset();
    TpcRenderResult result;
    for (const layers::Layer layer : layers::ChartImage)
        layer(context, canvas, result);
    if (result.SnapIndexFilled)
        r.SnapIndexKey = key;
}

void TCustomPolChart::DrawCrossHairs(TCanvas& target) const
{
    layers::CrossHairs(rooms().RenderContext(), target);
}

} // namespace znq
