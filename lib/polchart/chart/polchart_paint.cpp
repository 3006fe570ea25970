// The paint pipeline: the gates, the chart image rendered by its layers into one of two buffers
// that also hold the shadow, and the picture shown: the buffer's own pixels, or, with crosshairs
// or a zoom box over them, the shadow and the chart image in one copy on the control's canvas.
#include "chart/polchart_rooms.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace znq {

// ---------------------------------------------------------------------------------------------
// The façade's paints

void TCustomPolChart::Paint()
{
    TpcChartRooms& r = rooms();
    if (!r.CanPaint())
        return;
    runPaint([this, &r] {
        ++r.PaintCount;
        fitBacking();
        // Current from here on: a handler that changes the chart while it is rendered marks it
        // stale, and one that throws leaves a half-rendered image that the next paint renders
        // again.
        r.ChartImageCurrent = true;
        try {
            // At the control canvas's scale, which is the screen's device pixel ratio.
            r.ChartBitmap.SetScale(Canvas().Scale());
            r.BeginFrame();
            PrepareChartBitmap(r.ChartBitmap);
            RenderChart(r.ChartBitmap.Canvas());
        } catch (...) {
            r.ChartImageCurrent = false;
            throw;
        }
        r.ShowFrame();
    });
}

// Inside a paint the crosshairs are drawn at its end anyway.
void TCustomPolChart::PaintCrossHairs()
{
    TpcChartRooms& r = rooms();
    if (!r.CanPaint() || painting())
        return;
    if (!chartImageShowsAll()) {
        Paint();
        return;
    }
    ++r.PaintCount;
    r.ShowFrame();
}

bool TCustomPolChart::chartImageShowsAll() const
{
    const TpcChartRooms& r = rooms();
    return r.ChartImageCurrent && !paintPending() && backingFits()
        && r.ChartBitmap.Width() == r.ChartImageWidth()
        && r.ChartBitmap.Height() == r.ChartImageHeight();
}

namespace {
    // The device pixels from (left, top) to (right, bottom) of image, cut to it, as an image that
    // shares its pixels; origin takes the part's top-left pixel. Image is not empty.
    QImage partOf(
        QImage& image, int32_t left, int32_t top, int32_t right, int32_t bottom, TPoint& origin)
    {
        const int32_t x0 = std::clamp(left, 0, image.width() - 1);
        const int32_t y0 = std::clamp(top, 0, image.height() - 1);
        const int32_t x1 = std::clamp(right, x0, image.width() - 1);
        const int32_t y1 = std::clamp(bottom, y0, image.height() - 1);
        origin = TPoint { x0, y0 };
        return QImage(image.bits() + qsizetype(y0) * image.bytesPerLine() + qsizetype(x0) * 4,
            x1 - x0 + 1, y1 - y0 + 1, image.bytesPerLine(), image.format());
    }
} // namespace

void TCustomPolChart::RasterCellsChanged()
{
    TpcChartRooms& r = rooms();
    // A layer that is not drawn shows nothing of its cells.
    if (!r.Raster->Visible() || r.Raster->ColorMap() == TpcColorMap::cmNone)
        return;
    QImage& image = r.ChartBitmap.Canvas().Image();
    if (!(r.AutoRedraw || Designing()) || !r.CanPaint() || painting() || !chartImageShowsAll()
        || image.isNull() || image.format() != QImage::Format_RGB32
        || Canvas().Image().format() != QImage::Format_RGB32) {
        r.RedrawIfAuto();
        return;
    }
    // The part is rendered in place: into pixels that nobody holds but the chart and the control,
    // which may show them.
    if (r.Frames.Current(r.ChartBitmap) && !r.Frames.HeldAlone(r.ChartBitmap, BackingImage())) {
        r.RedrawIfAuto();
        return;
    }
    const double scale = r.ChartBitmap.Scale();
    const std::optional<std::array<int32_t, 4>> box = r.RasterRender.PendingBox(
        Transform(), *r.Raster, *r.Sweep, scale, image.width(), image.height());
    if (!box) {
        r.RedrawIfAuto();
        return;
    }
    // Rows that cover no pixel change nothing on screen; the next paint colours them.
    if ((*box)[2] < (*box)[0])
        return;
    TPoint origin;
    QImage part = partOf(image, (*box)[0], (*box)[1], (*box)[2], (*box)[3], origin);
    runPaint([&] {
        ++r.PaintCount;
        r.ChartImageCurrent = true;
        try {
            TCanvas canvas(&part, origin);
            canvas.SetScale(scale, r.ChartImageWidth(), r.ChartImageHeight());
            canvas.Font().Assign(Font());
            RenderChart(canvas);
            canvas.EndPainting();
        } catch (...) {
            // The part on screen is half-drawn: the next paint event renders the whole picture.
            r.ChartImageCurrent = false;
            Invalidate();
            throw;
        }
        r.ShowFramePart(
            origin.x, origin.y, origin.x + part.width() - 1, origin.y + part.height() - 1);
    });
}

const TBitmap& TCustomPolChart::ChartBitmap() const
{
    return rooms().ChartBitmap;
}

QImage TCustomPolChart::FrameImage() const
{
    TBitmap frame(Width(), Height());
    rooms().ComposeFrame(frame.Canvas(), rooms().ChartBitmap, rooms().RenderContext());
    return frame.Image();
}

QImage TCustomPolChart::ToImage(double scale) const
{
    if (!(scale >= MinImageScale && scale <= MaxImageScale))
        throw EZNQPolChartError(Name(), ": the image scale must lie within 0.25 .. 8");
    return rooms().RenderImage(scale,
        [this](const std::string& reason) { throw EZNQPolChartError(Name(), ": " + reason); });
}

void TCustomPolChart::DrawShadow(TCanvas& canvas) const
{
    layers::Shadow(rooms().RenderContext(), canvas);
}

void TCustomPolChart::PrepareChartBitmap(TBitmap& bitmap) const
{
    bitmap.SetSize(rooms().ChartImageWidth(), rooms().ChartImageHeight());
    bitmap.Canvas().Font().Assign(Font());
}

void TCustomPolChart::RenderChart(TCanvas& canvas) const
{
    rooms().RenderChart(canvas);
}

// ---------------------------------------------------------------------------------------------
// The pipeline

// Nothing paints while the chart is hidden at run time, loading, or suspended.
bool TpcChartRooms::CanPaint() const
{
    return (Chart.Visible() || Chart.Designing()) && !Chart.Loading() && !PaintingSuspended;
}

// One pixel wider and higher than the area inside the shadow, so that the outline falls on its
// last column and row.
int32_t TpcChartRooms::ChartImageWidth() const
{
    return std::max(0, Chart.Width() - Style.ShadowWidth + 1);
}

int32_t TpcChartRooms::ChartImageHeight() const
{
    return std::max(0, Chart.Height() - Style.ShadowWidth + 1);
}

TpcRenderContext TpcChartRooms::RenderContext()
{
    TpcChartRooms& self = *this;
    return TpcRenderContext {
        .Transform = Viewport.Transform(),
        .View = Viewport.View(),
        .Area = ViewArea(),
        .OuterRadius = Viewport.OuterRadius(),
        .Style = Style,
        .Font = Chart.Font(),
        .Store = Store,
        .ClassVisible = ClassVisible,
        .CrossHairs = CrossHairs,
        .TextLabels = TextLabels,
        .ReferenceDataPath = ReferenceDataPath,
        .DataThreads = DataThreads,
        .OfferScaleLabel
        = [&self](TCanvas& canvas, TpcScaleKind kind, std::string& text, int32_t x,
              int32_t y) { self.FireBeforeDrawScaleLabel(canvas, kind, text, x, y); },
        .DataRendered = [&self](TCanvas& canvas) { self.FireDataRendered(canvas); },
        .ClassStyles = ClassStyles,
        .Legend = Legend,
        .Bars = Bars,
        .Raster = Raster,
        .Sweep = Sweep,
        .RasterRender = &RasterRender,
    };
}

// The layers draw from one context, taken before the first of them: a handler that changes the
// chart while it is rendered marks the image stale, and the next paint shows the change. The snap
// index is filled from the data as drawn when a crosshair snaps and the index does not hold the
// present data and view already; it is then current for the context's data and view.
void TpcChartRooms::RenderChart(TCanvas& canvas)
{
    TpcRenderContext context = RenderContext();
    context.SnapIndexToFill = SnapIndexToFill();
    // A paint without a snapping crosshair builds no key.
    std::optional<SnapKey> key;
    if (context.SnapIndexToFill) {
        key = CurrentSnapKey();
        SnapIndexKey.reset();
    }
    TpcRenderResult result;
    for (const layers::Layer layer : layers::ChartImage)
        layer(context, canvas, result);
    if (result.SnapIndexFilled)
        SnapIndexKey = key;
    // The mouse finds the legend where the control's picture shows it.
    if (canvas.Scale() == 1.0 && !canvas.Image().isNull())
        LegendLayout = std::move(result.Legend);
}

// The chart image's last column and row lie outside its background, and start white as in a new
// image (a margin of device pixels more is covered by the background again).
void TpcChartRooms::BeginFrame()
{
    const double scale = ChartBitmap.Scale();
    QImage* frame = Frames.Begin(ChartBitmap,
        { Chart.Width(), Chart.Height(), ChartImageWidth(), ChartImageHeight(), scale });
    if (!frame)
        return;
    {
        TCanvas canvas(frame);
        canvas.SetScale(scale, Chart.Width(), Chart.Height());
        DrawShadowLayer(canvas, RenderContext());
        canvas.EndPainting();
    }
    QImage& image = ChartBitmap.Canvas().Image();
    const int32_t margin = static_cast<int32_t>(std::ceil(scale)) + 1;
    const int32_t width = image.width(), height = image.height();
    const qsizetype stride = image.bytesPerLine() / 4;
    auto* bits = reinterpret_cast<uint32_t*>(image.bits());
    const int32_t firstColumn = std::max(0, width - margin);
    for (int32_t y = 0; y < height; ++y) {
        uint32_t* row = bits + y * stride;
        std::fill(row + (y < height - margin ? firstColumn : 0), row + width, 0xFFFFFFFFu);
    }
}

// Without a crosshair or zoom box over it, the control shows the frame's own pixels.
void TpcChartRooms::ShowFrame()
{
    const QImage* frame = Frames.Current(ChartBitmap);
    if (!frame || overlaid() || !Chart.showImage(*frame))
        showFrameOn(Chart.Canvas());
    Chart.canvasPainted();
    AccessNotice->Changed();
}

bool TpcChartRooms::overlaid() const
{
    return Navigator.ZoomBoxOverlay().has_value()
        || std::any_of(CrossHairs.begin(), CrossHairs.end(), [](const TpcCrossHair* crossHair) {
               return crossHair->Mode() != TpcCrossHMode::chOff;
           });
}

// The frame composed on the part of the control's canvas from (left, top) to (right, bottom):
// the same pixels there as the whole frame. A control that shows the frame's own pixels shows the
// part already.
void TpcChartRooms::ShowFramePart(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    const QImage* frame = Frames.Current(ChartBitmap);
    if (frame && Chart.BackingImage().constBits() == frame->constBits()) {
        Chart.canvasPainted();
        return;
    }
    TCanvas& whole = Chart.Canvas();
    TPoint origin;
    QImage part = partOf(whole.Image(), left, top, right, bottom, origin);
    {
        TCanvas target(&part, origin);
        target.SetScale(whole.Scale(), Chart.Width(), Chart.Height());
        target.Font().Assign(whole.Font());
        showFrameOn(target);
        target.EndPainting();
    }
    Chart.canvasPainted();
}

// Whatever this draws over the frame, overlaid() tells of.
void TpcChartRooms::showFrameOn(TCanvas& target)
{
    const TpcRenderContext context = RenderContext();
    {
        const TCanvas::StateGuard keep(target);
        ComposeFrame(target, ChartBitmap, context);
    }
    layers::CrossHairs(context, target);
    // A zoom box in progress stays on the new picture, so that its next XOR pass still erases it.
    if (const auto box = Navigator.ZoomBoxOverlay()) {
        layers::ZoomBox(target, box->first, box->second);
        Chart.update();
    }
}

// The shadow, and the chart image over it: the whole picture but the crosshairs. The two cover
// every pixel of the control, so nothing of an earlier picture stays.
void TpcChartRooms::ComposeFrame(
    TCanvas& target, const TBitmap& chartImage, const TpcRenderContext& context)
{
    DrawShadowLayer(target, context);
    target.SetCopyMode(TCopyMode::cmSrcCopy);
    target.Draw(0, 0, chartImage);
}

void TpcChartRooms::DrawShadowLayer(TCanvas& target, const TpcRenderContext& context)
{
    target.Pen().SetMode(TPenMode::pmCopy);
    target.Pen().SetStyle(TPenStyle::psSolid);
    target.Pen().SetWidth(1);
    target.Brush().SetStyle(TBrushStyle::bsSolid);
    layers::Shadow(context, target);
}

void TpcChartRooms::DrawZoomBox(TPoint anchor, TPoint corner)
{
    layers::ZoomBox(Chart.Canvas(), anchor, corner);
    Chart.update();
}

// Rendered anew at the scale from the present state: nothing of the control's pictures or paint
// state is used or changed. The picture holds one full-size image: the chart image is rendered
// straight into its top-left part, after the shadow, which is what copying it there would give.
// The buffer is large enough for both; the chart image is one pixel larger than the picture when
// there is no shadow, and the picture returned is then the buffer's top-left part.
QImage TpcChartRooms::RenderImage(
    double scale, const std::function<void(const std::string& reason)>& refuse)
{
    const int32_t frameWidth = TBitmap::ScaledSize(Chart.Width(), scale);
    const int32_t frameHeight = TBitmap::ScaledSize(Chart.Height(), scale);
    const int32_t chartWidth = TBitmap::ScaledSize(ChartImageWidth(), scale);
    const int32_t chartHeight = TBitmap::ScaledSize(ChartImageHeight(), scale);
    const int32_t width = std::max(frameWidth, chartWidth);
    const int32_t height = std::max(frameHeight, chartHeight);
    if (frameWidth <= 0 || frameHeight <= 0)
        return QImage();
    const auto size = [](int64_t w, int64_t h) {
        return std::to_string(w) + " x " + std::to_string(h) + " pixels";
    };
    if (int64_t(width) * height > TCustomPolChart::MaxImagePixels) {
        refuse("an image of " + size(frameWidth, frameHeight) + " is larger than the limit of "
            + std::to_string(TCustomPolChart::MaxImagePixels) + " pixels");
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
    frame.SetScale(scale, Chart.Width(), Chart.Height());
    DrawShadowLayer(frame, RenderContext());
    if (chartWidth > 0 && chartHeight > 0) {
        QImage chartPart(bits, chartWidth, chartHeight, stride, QImage::Format_RGB32);
        chartPart.fill(0xFFFFFFFFu);
        TCanvas chart(&chartPart);
        chart.SetScale(scale, ChartImageWidth(), ChartImageHeight());
        chart.Font().Assign(Chart.Font());
        Chart.RenderChart(chart);
        chart.EndPainting();
    }
    layers::CrossHairs(RenderContext(), frame);
    frame.EndPainting();
    if (frameWidth == width && frameHeight == height)
        return buffer;
    // The picture shares the buffer, which lives as long as the picture or a copy of it.
    auto* keeper = new QImage(std::move(buffer));
    return QImage(
        bits, frameWidth, frameHeight, stride, QImage::Format_RGB32,
        [](void* image) { delete static_cast<QImage*>(image); }, keeper);
}

} // namespace znq
