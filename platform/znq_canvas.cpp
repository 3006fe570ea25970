// The logical canvas: its state, the mapping from logical to device pixels applied once per
// call, and the text layout; the surface below draws.
#include "znq_graphics.h"
#include "znq_surface.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace znq {

TCanvas::TCanvas(QImage* image)
    : m_surface(MakeRasterSurface(image))
    , m_image(image)
{
    m_font.OnChange = [this](TObject*) { fontChanged(); };
}

TCanvas::TCanvas(QImage* part, TPoint origin)
    : m_surface(MakeOffsetSurface(MakeRasterSurface(part), origin))
    , m_image(part)
{
    m_font.OnChange = [this](TObject*) { fontChanged(); };
}

TCanvas::TCanvas(QPainter* painter, int32_t width, int32_t height, bool xml)
    : m_surface(MakeVectorSurface(painter, xml))
    , m_logicalSize(std::pair { std::max(width, 0), std::max(height, 0) })
{
    m_font.OnChange = [this](TObject*) { fontChanged(); };
}

TCanvas::~TCanvas() = default;

// The colour is no part of the Qt font; a write that leaves the rest alone keeps it.
void TCanvas::fontChanged()
{
    if (m_qfontKey == FontKey { m_font.Name(), m_font.Height(), m_font.Style() })
        return;
    m_qfont.reset();
    m_deviceFont.reset();
    m_metrics.reset();
    m_textHeight.reset();
    m_qfontKey.reset();
}

// Texts laid out at another scale are laid out again.
void TCanvas::SetScale(double scale, int32_t logicalWidth, int32_t logicalHeight)
{
    scale = std::isfinite(scale) ? std::clamp(scale, TCanvas::MinScale, TCanvas::MaxScale) : 1.0;
    if (scale != m_scale) {
        m_shapedTexts.clear();
        m_shapedTextBytes = 0;
    }
    m_scale = scale;
    m_logicalSize = std::pair { std::max(logicalWidth, 0), std::max(logicalHeight, 0) };
    m_deviceFont.reset();
    EndPainting();
}

int32_t TCanvas::ImageWidth() const
{
    return m_logicalSize ? m_logicalSize->first : m_surface->Width();
}

int32_t TCanvas::ImageHeight() const
{
    return m_logicalSize ? m_logicalSize->second : m_surface->Height();
}

void TCanvas::EndPainting()
{
    m_surface->EndPainting();
}

// ---------------------------------------------------------------------------------------------
// The mapping from logical to device pixels

// At scale 1 each mapping is the identity, returned without arithmetic: the calls of a paint are
// many and small.
int32_t TCanvas::devicePenWidth() const
{
    if (m_scale == 1.0)
        return m_pen.Width();
    return std::max(1, SaturatedPixel(std::round(m_pen.Width() * m_scale)));
}

// A square pen of width w covers w - 1 - a pixels right of and below its pixel and a = (w - 1) / 2
// left of and above it; the device pixel is shifted so that the enlarged square covers the
// enlarged logical square.
TPoint TCanvas::devicePoint(int32_t x, int32_t y) const
{
    if (m_scale == 1.0)
        return TPoint { x, y };
    const int32_t logical = m_pen.Width(), device = devicePenWidth();
    const double shift = (device - 1) / 2 - m_scale * ((logical - 1) / 2);
    return TPoint { SaturatedPixel(std::floor(x * m_scale + shift + 0.5)),
        SaturatedPixel(std::floor(y * m_scale + shift + 0.5)) };
}

int32_t TCanvas::deviceEdge(int32_t v) const
{
    if (m_scale == 1.0)
        return v;
    return SaturatedPixel(std::floor(v * m_scale + 0.5));
}

TRect TCanvas::deviceRect(const TRect& rect) const
{
    return Rect(deviceEdge(rect.Left), deviceEdge(rect.Top), deviceEdge(rect.Right),
        deviceEdge(rect.Bottom));
}

// The identity at scale 1 costs nothing: data curves pass their points straight through.
std::span<const TPoint> TCanvas::devicePoints(
    std::span<const TPoint> points, std::vector<TPoint>& buffer) const
{
    if (m_scale == 1.0)
        return points;
    buffer.resize(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        buffer[i] = devicePoint(points[i].x, points[i].y);
    return buffer;
}

// With an outline the corner pixels are mapped like line points, so that the enlarged pen covers
// the corner blocks; without one the edges are.
bool TCanvas::deviceBox(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) const
{
    const int64_t left = std::min(x1, x2), right = int64_t(std::max(x1, x2)) - 1;
    const int64_t top = std::min(y1, y2), bottom = int64_t(std::max(y1, y2)) - 1;
    if (left > right || top > bottom)
        return false;
    if (m_pen.Style() == TPenStyle::psClear) {
        const int32_t a = deviceEdge(int32_t(left)), b = deviceEdge(int32_t(top));
        const int32_t c = deviceEdge(std::max(x1, x2)), d = deviceEdge(std::max(y1, y2));
        x1 = a, y1 = b, x2 = c, y2 = d;
        return true;
    }
    const TPoint first = devicePoint(int32_t(left), int32_t(top));
    const TPoint last = devicePoint(int32_t(right), int32_t(bottom));
    x1 = first.x, y1 = first.y;
    x2 = SaturatedPixel(double(last.x) + 1), y2 = SaturatedPixel(double(last.y) + 1);
    return true;
}

TSurfacePen TCanvas::surfacePen() const
{
    return TSurfacePen { m_pen.Color(), m_pen.Style(), m_pen.Mode(), devicePenWidth(),
        static_cast<uint32_t>(std::max(1.0, std::round(m_scale))) };
}

TSurfaceBrush TCanvas::surfaceBrush() const
{
    return TSurfaceBrush { m_brush.Color(), m_brush.Style() != TBrushStyle::bsClear };
}

// ---------------------------------------------------------------------------------------------
// Figures

void TCanvas::SetPenPos(TPoint position)
{
    m_penPos = position;
}

void TCanvas::MoveTo(int32_t x, int32_t y)
{
    m_penPos = TPoint { x, y };
    m_patternPhase = 0;
}

void TCanvas::LineTo(int32_t x, int32_t y)
{
    if (m_pen.Style() != TPenStyle::psClear)
        m_surface->Line(
            surfacePen(), devicePoint(m_penPos.x, m_penPos.y), devicePoint(x, y), m_patternPhase);
    m_penPos = TPoint { x, y };
}

void TCanvas::Polyline(std::span<const TPoint> points)
{
    std::vector<TPoint> buffer;
    const std::span<const TPoint> device = devicePoints(points, buffer);
    ++m_polylineCount;
    if (m_onPolyline)
        m_onPolyline(device);
    m_surface->Polyline(surfacePen(), device);
}

void TCanvas::Polygon(std::span<const TPoint> points)
{
    std::vector<TPoint> buffer;
    m_surface->Polygon(surfacePen(), surfaceBrush(), devicePoints(points, buffer));
}

void TCanvas::FillPolygon(std::span<const TPoint> points, double opacity)
{
    std::vector<TPoint> buffer;
    m_surface->FillPolygon(devicePoints(points, buffer), m_brush.Color(), opacity, {});
}

void TCanvas::FillPolygon(
    std::span<const TPoint> points, double opacity, std::span<const TPoint> clip)
{
    if (clip.size() < 3)
        return;
    std::vector<TPoint> buffer, clipBuffer;
    m_surface->FillPolygon(
        devicePoints(points, buffer), m_brush.Color(), opacity, devicePoints(clip, clipBuffer));
}

// Device pixel X covers the logical span from X / scale to (X + 1) / scale, whose centre lies at
// logical (X + 0.5) / scale - 0.5 in the frame where pixel centres are integers.
void TCanvas::FillSector(const TSector& sector, double opacity)
{
    TSector device = sector;
    if (m_scale != 1.0) {
        device.CenterX = (sector.CenterX + 0.5) * m_scale - 0.5;
        device.CenterY = (sector.CenterY + 0.5) * m_scale - 0.5;
        device.Inner = sector.Inner * m_scale;
        device.Outer = sector.Outer * m_scale;
    }
    m_surface->FillSector(device, m_brush.Color(), opacity);
}

void TCanvas::FillSectorRings(const TSector& sector, std::span<const TSectorRing> rings)
{
    if (m_scale == 1.0) {
        m_surface->FillSectorRings(sector, rings);
        return;
    }
    TSector device = sector;
    device.CenterX = (sector.CenterX + 0.5) * m_scale - 0.5;
    device.CenterY = (sector.CenterY + 0.5) * m_scale - 0.5;
    std::vector<TSectorRing> scaled(rings.begin(), rings.end());
    for (TSectorRing& ring : scaled) {
        ring.Inner *= m_scale;
        ring.Outer *= m_scale;
    }
    m_surface->FillSectorRings(device, scaled);
}

// The marker's centre is the device pixel under the centre of the logical one, so that the
// enlarged marker stays symmetric about it.
void TCanvas::Marks(
    std::span<const TPoint> points, std::span<const TColor> colors, const TMark& mark)
{
    if (points.empty() || colors.empty() || (colors.size() != 1 && colors.size() < points.size()))
        return;
    const int32_t stroke = std::max(1, SaturatedPixel(std::round(m_scale)));
    const int32_t logicalSize = mark.Shape == TMarkShape::Dot ? 1 : std::clamp(mark.Size, 1, 256);
    const int32_t size = std::max(1, SaturatedPixel(std::round(logicalSize * m_scale)));
    const TSurfaceMark device { mark.Shape, size | 1, mark.Filled, stroke };
    if (m_scale == 1.0) {
        m_surface->Marks(points, colors, device);
        return;
    }
    std::vector<TPoint> centres(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        centres[i] = TPoint { SaturatedPixel(std::floor((points[i].x + 0.5) * m_scale)),
            SaturatedPixel(std::floor((points[i].y + 0.5) * m_scale)) };
    m_surface->Marks(centres, colors, device);
}

void TCanvas::Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (deviceBox(x1, y1, x2, y2))
        m_surface->Rectangle(surfacePen(), surfaceBrush(), x1, y1, x2, y2);
}

void TCanvas::Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (deviceBox(x1, y1, x2, y2))
        m_surface->Ellipse(surfacePen(), surfaceBrush(), x1, y1, x2, y2);
}

void TCanvas::FillRect(const TRect& rect)
{
    m_surface->FillRect(deviceRect(rect), m_brush.Color());
}

void TCanvas::Draw(int32_t x, int32_t y, const TBitmap& bitmap)
{
    ++m_drawCount;
    const TPoint at { deviceEdge(x), deviceEdge(y) };
    m_surface->Draw(at, deviceSize(x, y, bitmap), bitmap.Image(), m_copyMode);
}

void TCanvas::Draw(int32_t x, int32_t y, const TBitmap& bitmap, double opacity)
{
    ++m_drawCount;
    const TPoint at { deviceEdge(x), deviceEdge(y) };
    m_surface->DrawBlended(at, deviceSize(x, y, bitmap), bitmap.Image(), opacity);
}

void TCanvas::DrawTranslucent(const QImage& image, double imageScale, int32_t left, int32_t top)
{
    if (image.isNull() || !(imageScale > 0))
        return;
    if (m_image && imageScale != m_scale)
        return;
    ++m_drawCount;
    // Pixel x of the image's scale covers x / imageScale .. (x + 1) / imageScale, as a bitmap's
    // pixels cover theirs.
    const QRectF area(left / imageScale, top / imageScale, image.width() / imageScale,
        image.height() / imageScale);
    m_surface->DrawTranslucent(TPoint { left, top }, area, image);
}

QSize TCanvas::deviceSize(int32_t x, int32_t y, const TBitmap& bitmap) const
{
    const int64_t right = int64_t(x) + bitmap.Width(), bottom = int64_t(y) + bitmap.Height();
    return QSize(int(int64_t(deviceEdge(SaturatedPixel(double(right)))) - deviceEdge(x)),
        int(int64_t(deviceEdge(SaturatedPixel(double(bottom)))) - deviceEdge(y)));
}

TColor TCanvas::Pixel(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= ImageWidth() || y >= ImageHeight())
        return clWhite;
    return m_surface->Pixel(std::min(deviceEdge(x), m_surface->Width() - 1),
        std::min(deviceEdge(y), m_surface->Height() - 1));
}

// ---------------------------------------------------------------------------------------------
// Text: measured in the logical font, laid out and drawn in the device font.

const QFont& TCanvas::qfont()
{
    if (!m_qfont) {
        m_qfont = m_font.ToQFont();
        m_qfontKey = FontKey { m_font.Name(), m_font.Height(), m_font.Style() };
    }
    return *m_qfont;
}

const QFontMetrics& TCanvas::metrics()
{
    if (!m_metrics)
        m_metrics.emplace(qfont());
    return *m_metrics;
}

// The logical font enlarged by the scale; at scale 1 the logical font itself.
const QFont& TCanvas::deviceFont()
{
    if (m_scale == 1.0)
        return qfont();
    if (!m_deviceFont) {
        m_deviceFont = qfont();
        m_deviceFont->setPixelSize(
            std::max(1, SaturatedPixel(std::round(m_deviceFont->pixelSize() * m_scale))));
    }
    return *m_deviceFont;
}

QString TCanvas::displayText(const std::string& text)
{
    const QString qtext = QString::fromStdString(text);
    return m_font.IsSymbolFont() ? SymbolToUnicode(qtext) : qtext;
}

namespace {
    // Texts longer than this are measured and drawn but not kept, and measured in pieces.
    constexpr size_t maxKeptText = 4096;
    // What the kept texts may hold: their keys and about 80 bytes of layout per character.
    constexpr size_t textCacheBudget = size_t(4) << 20;
    size_t keptCost(const std::string& key)
    {
        return key.size() * 81;
    }

    // The advance of a text of any length, saturated: Qt's own sum is in 26.6 fixed point and
    // wraps beyond about 33.5 million pixels. Long texts are summed in pieces, split where no
    // surrogate pair is cut (kerning across a cut is lost, a pixel at most per piece).
    int32_t advance(const QFontMetrics& metrics, const QString& text)
    {
        if (size_t(text.size()) <= maxKeptText)
            return metrics.horizontalAdvance(text);
        int64_t sum = 0;
        for (qsizetype start = 0; start < text.size();) {
            qsizetype length = std::min<qsizetype>(qsizetype(maxKeptText), text.size() - start);
            if (start + length < text.size() && text.at(start + length - 1).isHighSurrogate())
                --length;
            sum += metrics.horizontalAdvance(text.mid(start, length));
            start += length;
        }
        return static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
    }
} // namespace

TCanvas::ShapedText& TCanvas::shaped(const std::string& text)
{
    if (text.size() > maxKeptText) {
        m_unkept = ShapedText {};
        const QString shown = displayText(text);
        m_unkept.width = advance(metrics(), shown);
        m_unkept.text.setText(shown);
        m_unkept.text.setTextFormat(Qt::PlainText);
        return m_unkept;
    }
    // Keyed by the font attributes that change the layout, then the text.
    std::string key = m_font.Name();
    key += '\x1f';
    key += std::to_string(m_font.Height());
    key += '\x1f';
    key += std::to_string(int(m_font.Style()));
    key += '\x1f';
    key += text;
    auto found = m_shapedTexts.find(key);
    if (found != m_shapedTexts.end())
        return found->second;
    const size_t cost = keptCost(key);
    if (m_shapedTexts.size() >= 1024 || m_shapedTextBytes + cost > textCacheBudget) {
        m_shapedTexts.clear();
        m_shapedTextBytes = 0;
    }
    ShapedText entry;
    const QString shown = displayText(text);
    entry.width = advance(metrics(), shown);
    entry.text.setText(shown);
    entry.text.setTextFormat(Qt::PlainText);
    m_shapedTextBytes += cost;
    return m_shapedTexts.emplace(std::move(key), std::move(entry)).first->second;
}

int32_t TCanvas::TextWidth(const std::string& text)
{
    if (text.empty())
        return 0;
    return shaped(text).width;
}

int32_t TCanvas::TextHeight(const std::string&)
{
    if (!m_textHeight)
        m_textHeight = metrics().height();
    return *m_textHeight;
}

// A text for the surface: measured and laid out only when the surface asks.
class TCanvas::TextRun final : public TSurfaceText {
public:
    TextRun(TCanvas& canvas, int32_t x, int32_t y, const std::string& text)
        : m_canvas(canvas)
        , m_x(x)
        , m_y(y)
        , m_text(text)
    {
        At = TPoint { canvas.deviceEdge(x), canvas.deviceEdge(y) };
        const int32_t height = canvas.metrics().height();
        Height = int32_t(int64_t(canvas.deviceEdge(SaturatedPixel(double(y) + height))) - At.y);
        Color = canvas.m_font.Color();
    }
    TRect Cell() override
    {
        const double right = double(m_x) + measured().width;
        const double bottom = double(m_y) + m_canvas.metrics().height();
        return Rect(At.x, At.y, m_canvas.deviceEdge(SaturatedPixel(right)),
            m_canvas.deviceEdge(SaturatedPixel(bottom)));
    }
    // Laid out in the device font and kept with the measured text.
    const QStaticText& LaidOut() override
    {
        ShapedText& shaped = measured();
        if (!shaped.laidOut) {
            shaped.text.prepare(QTransform(), m_canvas.deviceFont());
            shaped.laidOut = true;
        }
        return shaped.text;
    }
    QString Shown() override { return m_canvas.displayText(m_text); }
    const QFont& Font() override { return m_canvas.deviceFont(); }

private:
    // The text's entry, looked up once.
    ShapedText& measured()
    {
        if (!m_shaped)
            m_shaped = &m_canvas.shaped(m_text);
        return *m_shaped;
    }

    TCanvas& m_canvas;
    int32_t m_x, m_y;
    const std::string& m_text;
    ShapedText* m_shaped = nullptr;
};

void TCanvas::drawText(int32_t x, int32_t y, const std::string& text, const TRect* clip)
{
    if (text.empty())
        return;
    TextRun run(*this, x, y, text);
    if (clip)
        run.Clip = deviceRect(*clip);
    else if (m_brush.Style() == TBrushStyle::bsSolid)
        run.Background = m_brush.Color();
    m_surface->Text(run);
}

void TCanvas::TextOut(int32_t x, int32_t y, const std::string& text)
{
    drawText(x, y, text, nullptr);
    m_penPos
        = TPoint { static_cast<int32_t>(std::clamp<int64_t>(int64_t(x) + TextWidth(text),
                       std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max())),
              y };
}

void TCanvas::TextRect(const TRect& rect, int32_t x, int32_t y, const std::string& text)
{
    if (m_brush.Style() == TBrushStyle::bsSolid)
        m_surface->FillRect(deviceRect(rect), m_brush.Color());
    drawText(x, y, text, &rect);
}

TCanvas::StateGuard::StateGuard(TCanvas& canvas)
    : m_canvas(canvas)
    , m_pen(canvas.m_pen)
    , m_brush(canvas.m_brush)
    , m_penPos(canvas.m_penPos)
    , m_copyMode(canvas.m_copyMode)
{
    m_font.Assign(canvas.m_font);
}

TCanvas::StateGuard::~StateGuard()
{
    m_canvas.m_pen = m_pen;
    m_canvas.m_brush = m_brush;
    m_canvas.m_font.Assign(m_font);
    m_canvas.m_penPos = m_penPos;
    m_canvas.m_copyMode = m_copyMode;
}

} // namespace znq
