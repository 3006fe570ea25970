/// \file
/// The drawing surface: fonts, pens, brushes, the canvas and off-screen bitmaps.
///
/// A TCanvas draws into a QImage of format RGB32 (0xFFRRGGBB per pixel), either the image of a
/// TBitmap or the backing image of a control. Lines, polylines, rectangle and ellipse outlines are
/// rasterised by the canvas itself so that the classic pixel rules hold exactly (a line leaves out
/// its end point, a rectangle covers its corners up to the larger coordinate minus one, XOR figures
/// touch every pixel once); polygon interiors and text go through QPainter.
#pragma once

#include "znq_types.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStaticText>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>

namespace znq {

/// The colour as 0xFFRRGGBB, system colours resolved through the application palette.
uint32_t ColorToRGB(TColor color);
/// The colour as a QColor, system colours resolved as by ColorToRGB.
QColor ColorToQColor(TColor color);
/// The TColor of an RGB32 pixel (the alpha byte is dropped).
TColor RGBToColor(uint32_t rgb);

/// Font attributes: Name, Size (points at 96 pixels per inch), Height (pixels; negative means
/// the character height without internal leading, as Size implies), Color and Style.
/// OnChange fires after every attribute write and once after Assign. Each pair of getter and setter
/// is also a Qt property of the same name.
class TFont : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ QName WRITE SetQName)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(uint Color READ Color WRITE SetColor)
    Q_PROPERTY(znq::platform_types::TFontStyles Style READ Style WRITE SetStyle)

public:
    /// The resolution that converts between Size and Height.
    static constexpr int PixelsPerInch = 96;
    /// The largest character height handed to Qt; any Height beyond it draws at this size.
    static constexpr int MaxPixelSize = 16384;

    /// "MS Sans Serif", Height -11 (8 points), clWindowText, no styles.
    explicit TFont(QObject* parent = nullptr);

    /// The face name. "MS Sans Serif" is drawn in Liberation Sans when installed, "Symbol" in
    /// DejaVu Sans with its letters as Greek.
    const std::string& Name() const { return m_name; }
    /// Sets the face name and notifies.
    void SetName(const std::string& name);
    /// The size in points, from Height (rounded half away from zero).
    int Size() const;
    /// Sets Height to minus the points at 96 pixels per inch, and notifies.
    void SetSize(int points);
    /// The height in pixels; negative: the character height, positive: the cell height.
    int Height() const { return m_height; }
    /// Sets the height in pixels and notifies.
    void SetHeight(int pixels);
    /// The text colour.
    TColor Color() const { return m_color; }
    /// Sets the text colour and notifies.
    void SetColor(TColor color);
    /// Bold, italic, underline and strike-out.
    TFontStyles Style() const { return m_style; }
    /// Sets the styles and notifies.
    void SetStyle(TFontStyles style);

    /// Copies all four attributes, with one change notification.
    void Assign(const TFont& source);

    /// The Qt font for these attributes (colour aside). "Symbol" maps to DejaVu Sans; its letters
    /// are translated to Greek by SymbolToUnicode when drawn.
    QFont ToQFont() const;
    /// Whether Name is "Symbol" (in any letter case).
    bool IsSymbolFont() const;

    /// Fires after every attribute write and once after Assign.
    std::function<void(TObject* Sender)> OnChange;

private:
    QString QName() const { return QString::fromStdString(m_name); }
    void SetQName(const QString& name) { SetName(name.toStdString()); }
    void changed();

    std::string m_name = "MS Sans Serif";
    int m_height = -11;
    TColor m_color = clWindowText;
    TFontStyles m_style;
};

/// The letters of the symbol encoding as Unicode Greek: p is pi, a alpha, W Omega and so on.
QString SymbolToUnicode(const QString& text);

/// The pen of a canvas: colour, style, width and mode of lines and outlines. A new pen is black,
/// solid, 1 pixel wide, in pmCopy mode.
class TPen {
public:
    /// The line colour.
    TColor Color() const { return m_color; }
    /// Sets the line colour.
    void SetColor(TColor color) { m_color = color; }
    /// The line pattern.
    TPenStyle Style() const { return m_style; }
    /// Sets the line pattern.
    void SetStyle(TPenStyle style) { m_style = style; }
    /// The width in pixels, at least 1.
    int Width() const { return m_width; }
    /// Widths below 1 are stored as 1.
    void SetWidth(int width) { m_width = width < 1 ? 1 : width; }
    /// Copy or XOR.
    TPenMode Mode() const { return m_mode; }
    /// Sets copy or XOR.
    void SetMode(TPenMode mode) { m_mode = mode; }

private:
    TColor m_color = clBlack;
    TPenStyle m_style = TPenStyle::psSolid;
    int m_width = 1;
    TPenMode m_mode = TPenMode::pmCopy;
};

/// The brush of a canvas: how interiors and text cells are filled. A new brush is solid white.
class TBrush {
public:
    /// The fill colour.
    TColor Color() const { return m_color; }
    /// Setting a colour makes a clear brush solid again: callers rely on a colour write to fill.
    void SetColor(TColor color)
    {
        m_color = color;
        m_style = TBrushStyle::bsSolid;
    }
    /// Solid or clear.
    TBrushStyle Style() const { return m_style; }
    /// Sets solid or clear; the colour stays.
    void SetStyle(TBrushStyle style) { m_style = style; }

private:
    TColor m_color = clWhite;
    TBrushStyle m_style = TBrushStyle::bsSolid;
};

class TBitmap;

/// The drawing surface. All coordinates are integer pixels of the target image; everything outside
/// the image is clipped away, so any coordinates are safe, however far outside.
class TCanvas {
public:
    /// The canvas draws into *image, which its owner keeps alive and may resize or replace.
    explicit TCanvas(QImage* image);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    /// Ends the open text painter.
    ~TCanvas();

    /// The pen of lines and outlines.
    TPen& Pen() { return m_pen; }
    /// The brush of interiors and text cells.
    TBrush& Brush() { return m_brush; }
    /// The font of text.
    TFont& Font() { return m_font; }
    /// The pen of lines and outlines.
    const TPen& Pen() const { return m_pen; }
    /// The brush of interiors and text cells.
    const TBrush& Brush() const { return m_brush; }
    /// The font of text.
    const TFont& Font() const { return m_font; }
    /// How Draw combines a bitmap with the picture.
    TCopyMode CopyMode() const { return m_copyMode; }
    /// Sets how Draw combines a bitmap with the picture.
    void SetCopyMode(TCopyMode mode) { m_copyMode = mode; }

    /// Where the next LineTo starts.
    TPoint PenPos() const { return m_penPos; }
    /// Sets the pen position; draws nothing.
    void SetPenPos(TPoint position);
    /// Sets the pen position and restarts the pen pattern; draws nothing.
    void MoveTo(int32_t x, int32_t y);
    /// Line from the pen position to (x, y) with the pen; (x, y) itself is not drawn. The pen
    /// position becomes (x, y). The pattern of a styled pen continues from the previous line-to.
    void LineTo(int32_t x, int32_t y);
    /// Connected lines through the points, drawn as a chain of line-tos: every point but the last
    /// is drawn, the figure is not closed, and the pen position is not changed.
    void Polyline(std::span<const TPoint> points);
    /// Closed outline with the pen, interior filled with the brush unless it is clear. Each
    /// vertex is drawn once; the interior is the set of pixel centres inside (odd-even rule).
    void Polygon(std::span<const TPoint> points);
    /// Covers columns min(x1, x2) to max(x1, x2) - 1 and rows likewise: outline on the border
    /// pixels with the pen (each pixel once), interior filled with the brush unless it is clear.
    void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    /// The ellipse inscribed in the same pixel box as Rectangle: its outline is the set of box
    /// pixels inside the ellipse with a 4-neighbour outside it, so it touches all four box sides.
    void Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    /// Fills the rectangle (right and bottom exclusive) with the brush colour, ignoring the pen.
    void FillRect(const TRect& rect);

    /// Text in the font with its cell's top-left corner at (x, y). The cell is filled with the
    /// brush colour when the brush is solid. Afterwards the pen position is (x + width, y).
    void TextOut(int32_t x, int32_t y, const std::string& text);
    /// As TextOut, clipped to rect; with a solid brush the whole rect is filled first.
    void TextRect(const TRect& rect, int32_t x, int32_t y, const std::string& text);
    /// The advance of the text in the font, in pixels.
    int32_t TextWidth(const std::string& text);
    /// One line's cell height, also for a text with line feeds.
    int32_t TextHeight(const std::string& text);

    /// Transfers the bitmap with its top-left corner at (x, y), by CopyMode.
    void Draw(int32_t x, int32_t y, const TBitmap& bitmap);

    /// Text is drawn through a QPainter that stays open on the image between text operations.
    /// Whoever replaces or resizes the image ends it first.
    void EndPainting();

    /// Width of the surface in logical pixels: the image's width at scale 1.
    int32_t ImageWidth() const { return m_scale == 1.0 ? m_image->width() : m_logicalWidth; }
    /// Height of the surface in logical pixels: the image's height at scale 1.
    int32_t ImageHeight() const { return m_scale == 1.0 ? m_image->height() : m_logicalHeight; }
    /// The drawing scale: the image has this many pixels per logical pixel, and coordinates, pen
    /// widths and patterns, fonts and drawn bitmaps are enlarged by it, so that a picture drawn
    /// in logical pixels comes out sharp at the image's resolution. 1 by default, where every
    /// operation works on the image's pixels directly.
    double Scale() const { return m_scale; }
    /// Sets the scale (kept within 0.25 .. 8) with the logical size of the surface, which
    /// ImageWidth and ImageHeight then report; the owner gives the image its size.
    void SetScale(double scale, int32_t logicalWidth, int32_t logicalHeight);
    /// A painter that receives every drawing operation as well, in logical pixels: lines,
    /// polylines, polygons, rectangles, ellipses, filled boxes and text, for vector output (its
    /// own transform scales them). Pixel operations of the pen (XOR) are drawn plainly there.
    /// None by default; the painter must outlive its use. With xml, the painter writes XML (SVG)
    /// that keeps texts and font names as Qt hands them over: texts lose the characters XML
    /// cannot hold, and font names are given to it escaped.
    void SetVectorTarget(QPainter* painter, bool xml = false)
    {
        m_vector = painter;
        m_vectorXml = xml;
    }
    /// The pixel at (x, y) as a TColor; clWhite outside the image.
    TColor Pixel(int32_t x, int32_t y) const;
    /// The target image.
    QImage& Image() { return *m_image; }
    /// The target image.
    const QImage& Image() const { return *m_image; }

    /// Seams for checking how callers draw: the number of polyline calls.
    int PolylineCount() const { return m_polylineCount; }
    /// The memory that the kept laid-out texts hold, by the estimate that bounds it to a few MB.
    size_t TextCacheBytes() const { return m_shapedTextBytes; }
    /// The number of Draw calls.
    int DrawCount() const { return m_drawCount; }
    /// An observer that sees the points of every polyline.
    std::function<void(std::span<const TPoint> points)> OnPolyline;

    /// Saves pen, brush, font, pen position and copy mode; restores them on destruction.
    class StateGuard {
    public:
        /// Saves the state of canvas.
        explicit StateGuard(TCanvas& canvas);
        /// Restores the saved state.
        ~StateGuard();
        StateGuard(const StateGuard&) = delete;
        StateGuard& operator=(const StateGuard&) = delete;

    private:
        TCanvas& m_canvas;
        TPen m_pen;
        TBrush m_brush;
        TFont m_font;
        TPoint m_penPos;
        TCopyMode m_copyMode;
    };

private:
    struct LineRaster;
    const QFont& qfont();
    const QFontMetrics& metrics();
    QString displayText(const std::string& text);
    QPainter& textPainter();
    struct ShapedText {
        QStaticText text;
        int32_t width = 0;
        // Laid out for drawing on its first draw: a text that is only measured never is.
        bool laidOut = false;
    };
    // The text measured in the current font, kept across paints: scale labels repeat.
    ShapedText& shaped(const std::string& text);
    void drawText(int32_t x, int32_t y, const std::string& text, const QRect* clip);
    void lineSegment(LineRaster& raster, int32_t x0, int32_t y0, int32_t x1, int32_t y1);

    // A scaled call runs as a call at scale 1 in the image's pixels, with the pen's width and
    // pattern enlarged.
    class DeviceScope;
    // Keeps the vector target out of a primitive's raster work, which uses other primitives.
    class VectorPause;
    int32_t devicePenWidth() const;
    // A logical pixel's device pixel for the current pen, whose square then covers the pixel's
    // block; and a logical edge between pixels.
    TPoint devicePoint(int32_t x, int32_t y) const;
    int32_t deviceEdge(int32_t v) const;
    void drawTextScaled(int32_t x, int32_t y, const std::string& text, const TRect* clip);
    // The pen and brush for the vector target.
    QPen vectorPen() const;
    QBrush vectorBrush() const;
    void vectorText(int32_t x, int32_t y, const std::string& text, const TRect* clip);
    void vectorBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool ellipse);
    void scaledBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
        const std::function<void(int32_t, int32_t, int32_t, int32_t)>& draw);

    QImage* m_image;
    QPainter* m_vector = nullptr;
    bool m_vectorXml = false;
    double m_scale = 1.0;
    int32_t m_logicalWidth = 0;
    int32_t m_logicalHeight = 0;
    // Device pixels per pattern step while a scaled call runs.
    uint32_t m_patternStretch = 1;
    TPen m_pen;
    TBrush m_brush;
    TFont m_font;
    TPoint m_penPos;
    TCopyMode m_copyMode = TCopyMode::cmSrcCopy;
    uint32_t m_patternPhase = 0;
    int m_polylineCount = 0;
    int m_drawCount = 0;
    std::unique_ptr<QPainter> m_painter;
    std::unordered_map<std::string, ShapedText> m_shapedTexts;
    // What the kept texts hold, by the estimate that bounds it.
    size_t m_shapedTextBytes = 0;
    // A text too long to keep, for the operation at hand.
    ShapedText m_unkept;
    std::optional<QFont> m_qfont;
    std::optional<QFontMetrics> m_metrics;
    // The attributes m_qfont was made from: assigning the same font again keeps it.
    struct FontKey {
        std::string Name;
        int Height = 0;
        TFontStyles Style;
        friend bool operator==(const FontKey&, const FontKey&) = default;
    };
    std::optional<FontKey> m_qfontKey;
};

/// The text without the characters that XML 1.0 cannot hold: the controls but tab, line feed and
/// carriage return, unpaired surrogates, U+FFFE and U+FFFF.
QString XmlSafeText(const QString& text);

/// An off-screen image with its own canvas. Resizing keeps the object and its canvas; the content
/// after a size change is white until painted.
class TBitmap {
public:
    /// An empty bitmap, 0 x 0.
    TBitmap();
    /// A white bitmap of the size.
    TBitmap(int32_t width, int32_t height);
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    /// Width in pixels.
    int32_t Width() const { return m_width; }
    /// Height in pixels.
    int32_t Height() const { return m_height; }
    /// Negative sizes count as 0.
    void SetWidth(int32_t width) { SetSize(width, Height()); }
    /// Negative sizes count as 0.
    void SetHeight(int32_t height) { SetSize(Width(), height); }
    /// Negative sizes count as 0; the same size changes nothing.
    void SetSize(int32_t width, int32_t height);
    /// The drawing scale of the bitmap's canvas: the image has Width * scale by Height * scale
    /// pixels (rounded), Width and Height stay in logical pixels.
    double Scale() const { return m_scale; }
    /// Sets the scale (0.25 .. 8); the content is then white until painted.
    void SetScale(double scale);
    /// The image's pixels along a side of logical pixels at a scale, as SetScale gives them.
    static int32_t ScaledSize(int32_t logical, double scale);

    /// The canvas that draws into the bitmap.
    TCanvas& Canvas() { return m_canvas; }
    /// The canvas that draws into the bitmap.
    const TCanvas& Canvas() const { return m_canvas; }
    /// The pixels, RGB32.
    const QImage& Image() const { return m_image; }

private:
    void allocate();

    QImage m_image;
    int32_t m_width = 0;
    int32_t m_height = 0;
    double m_scale = 1.0;
    TCanvas m_canvas;
};

} // namespace znq
