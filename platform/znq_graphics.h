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
#include <vector>

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
/// is also a Qt property of the same name, whose change signal comes once per change of its value,
/// before OnChange.
class TFont : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ QName WRITE SetQName NOTIFY nameChanged)
    Q_PROPERTY(int Size READ Size WRITE SetSize NOTIFY sizeChanged)
    Q_PROPERTY(int Height READ Height WRITE SetHeight NOTIFY heightChanged)
    Q_PROPERTY(uint Color READ Color WRITE SetColor NOTIFY colorChanged)
    Q_PROPERTY(znq::platform_types::TFontStyles Style READ Style WRITE SetStyle NOTIFY styleChanged)

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

Q_SIGNALS:
    ///@{
    /// The change signal of a property, emitted when its value differs from the last one told.
    void nameChanged();
    void sizeChanged();
    void heightChanged();
    void colorChanged();
    void styleChanged();
    ///@}

private:
    QString QName() const { return QString::fromStdString(m_name); }
    void SetQName(const QString& name) { SetName(name.toStdString()); }
    void changed();

    std::string m_name = "MS Sans Serif";
    int m_height = -11;
    TColor m_color = clWindowText;
    TFontStyles m_style;
    // The values the change signals last told.
    struct Told {
        std::string Name = "MS Sans Serif";
        int Size = 8;
        int Height = -11;
        TColor Color = clWindowText;
        TFontStyles Style;
    } m_told;
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

/// The shapes of TCanvas::Marks: a single pixel (Dot), the outlines or interiors of a circle, a
/// square, a diamond and a triangle pointing up, and the strokes of a diagonal cross, an upright
/// plus and the two together (Star).
enum class TMarkShape : uint8_t { Dot, Circle, Square, Diamond, Triangle, Cross, Plus, Star };

/// A marker as TCanvas::Marks draws it.
struct TMark {
    /// The shape.
    TMarkShape Shape = TMarkShape::Square;
    /// The side of its box in logical pixels (1 .. 256; beyond, the nearest end); an even size is
    /// drawn as the next odd one, so that the marker is symmetric about its pixel. A dot is one
    /// pixel whatever the size.
    int32_t Size = 7;
    /// Circle, square, diamond and triangle: interior and outline (true) or the outline only.
    /// The strokes of the cross, the plus and the star are the same either way.
    bool Filled = true;
};

/// An annular sector in logical pixels: the points whose distance from the centre lies within
/// Inner .. Outer and whose direction lies within Sweep of Start. Angles are screen angles in
/// radians: 0 points right, and they grow clockwise on the screen (y points down).
struct TSector {
    /// The centre's column: a pixel's centre has the pixel's integer coordinates.
    double CenterX = 0;
    /// The centre's row.
    double CenterY = 0;
    /// The inner radius, at most Outer.
    double Inner = 0;
    /// The outer radius.
    double Outer = 0;
    /// The direction of the first edge.
    double Start = 0;
    /// The angle from the first edge to the second, 0 .. 2 pi; 2 pi or more is the whole annulus.
    double Sweep = 0;
};

/// Whether the point (x, y) lies in the sector, its edges included: the rule that decides which
/// pixels (by their centres) FillSector covers.
bool SectorContains(const TSector& sector, double x, double y);

/// One ring of a stack of sectors that share a centre and edges: its radii and its fill.
struct TSectorRing {
    /// The inner radius, at most Outer.
    double Inner = 0;
    /// The outer radius.
    double Outer = 0;
    /// The fill's colour.
    TColor Color = clBlack;
    /// The fill's opacity, 0 .. 1.
    double Opacity = 1;
};

class TBitmap;
class TSurface;
struct TSurfacePen;
struct TSurfaceBrush;

/// The logical canvas that painters draw on: pen, brush, font, pen position and copy mode, and one
/// mapping from logical pixels to the device pixels of the surface below it. A raster canvas draws
/// into an image by exact pixel rules; a vector canvas hands the same figures to a QPainter (SVG,
/// PDF). Coordinates are integer logical pixels; everything outside the surface is clipped away,
/// so any coordinates are safe, however far outside.
///
/// At scale 1 a logical pixel is a device pixel. At another scale (a high-density screen, an
/// enlarged picture) coordinates, pen widths and patterns, fonts and drawn bitmaps are enlarged,
/// so that a picture drawn in logical pixels comes out sharp at the device's resolution: a point
/// of a line maps to the device pixel that makes the enlarged pen square cover the enlarged
/// logical square, and a box edge maps to the nearest device edge.
class TCanvas {
    friend class TCanvasSeams;

public:
    /// The smallest drawing scale a canvas and a bitmap take.
    static constexpr double MinScale = 0.25;
    /// The largest drawing scale a canvas and a bitmap take.
    static constexpr double MaxScale = 8.0;
    /// A raster canvas that draws into *image, which its owner keeps alive and may resize or
    /// replace.
    explicit TCanvas(QImage* image);
    /// A raster canvas for the part of a larger picture whose top-left device pixel is origin:
    /// each figure lands on *part where it lands on the whole picture, less origin, and part gets
    /// exactly the pixels the whole picture gets there. Image() is part.
    TCanvas(QImage* part, TPoint origin);
    /// A vector canvas of width x height logical pixels that hands its figures to painter, which
    /// must outlive it. With xml, the painter writes XML (SVG): texts lose the characters XML
    /// cannot hold, and font names are given to it escaped. Pixel() reads white there.
    TCanvas(QPainter* painter, int32_t width, int32_t height, bool xml = false);
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
    /// The interior of Polygon (no outline) in the brush colour at an opacity of 0 .. 1, whatever
    /// the brush style. On a raster canvas each channel becomes (brush * a + picture * (255 - a)
    /// + 127) / 255 with a = round(opacity * 255): the blend rounded to the nearest value.
    void FillPolygon(std::span<const TPoint> points, double opacity);
    /// As FillPolygon, only where the clip polygon's interior (odd-even rule) is too.
    void FillPolygon(std::span<const TPoint> points, double opacity, std::span<const TPoint> clip);
    /// The sector's pixels, those whose centre SectorContains, in the brush colour at an opacity of
    /// 0 .. 1 (blended as FillPolygon). At another scale the sector is enlarged and decided on the
    /// device's pixels, so its arcs stay round; a vector canvas draws it as a path of true arcs.
    void FillSector(const TSector& sector, double opacity);
    /// Each ring in turn as FillSector fills the sector with the ring's radii (and the centre and
    /// edges of sector, whose own radii are not used) in the ring's colour and opacity: the same
    /// pixels, with the rows of a stack of rings worked out once for all of them.
    void FillSectorRings(const TSector& sector, std::span<const TSectorRing> rings);
    /// A marker centred on each point, in colors[i] (or colors[0] for every point when there is
    /// one colour). On a raster canvas the shape is made of whole device pixels, symmetric about
    /// the point's pixel: a filled square of size 7 covers the 7 x 7 pixels about it, a circle the
    /// pixels whose centre lies within half the size of the point's centre, a diamond those within
    /// half the size less a half by the sum of the distances along x and y; an outline is the part
    /// of the interior within one stroke of its outside. At another scale the size and the stroke
    /// are enlarged (and rounded, the size to an odd number of device pixels). A vector canvas
    /// draws the same shapes as paths.
    void Marks(std::span<const TPoint> points, std::span<const TColor> colors, const TMark& mark);
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
    /// Draws the bitmap blended at an opacity of 0 .. 1, rounded as FillPolygon; CopyMode plays no
    /// part.
    void Draw(int32_t x, int32_t y, const TBitmap& bitmap, double opacity);
    /// An image (QImage::Format_ARGB32, not premultiplied) of imageScale pixels per logical pixel,
    /// its top-left pixel at (left, top) of that scale's pixels. A raster canvas of that scale
    /// blends each pixel by its own alpha a into its device pixel: each channel becomes (image *
    /// a + picture * (255 - a) + 127) / 255, an alpha of 255 copies and one of 0 leaves the
    /// picture; at another scale nothing is drawn. A vector canvas draws the image over the
    /// logical rectangle it covers, with real transparency.
    void DrawTranslucent(const QImage& image, double imageScale, int32_t left, int32_t top);

    /// Text is drawn through a QPainter that stays open on the image between text operations.
    /// Whoever replaces or resizes the image ends it first.
    void EndPainting();

    /// Width of the surface in logical pixels: the image's width at scale 1.
    int32_t ImageWidth() const;
    /// Height of the surface in logical pixels: the image's height at scale 1.
    int32_t ImageHeight() const;
    /// The drawing scale: device pixels per logical pixel; 1 by default.
    double Scale() const { return m_scale; }
    /// Sets the scale (kept within 0.25 .. 8) with the logical size of the surface, which
    /// ImageWidth and ImageHeight then report; the owner gives the image its size.
    void SetScale(double scale, int32_t logicalWidth, int32_t logicalHeight);
    /// The pixel at (x, y) as a TColor; clWhite outside the image.
    TColor Pixel(int32_t x, int32_t y) const;
    /// The target image; a null image for a vector canvas.
    QImage& Image() { return m_image ? *m_image : m_noImage; }
    /// The target image; a null image for a vector canvas.
    const QImage& Image() const { return m_image ? *m_image : m_noImage; }

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
    class TextRun;
    const QFont& qfont();
    const QFont& deviceFont();
    const QFontMetrics& metrics();
    QString displayText(const std::string& text);
    struct ShapedText {
        QStaticText text;
        int32_t width = 0;
        // Laid out for drawing on its first draw: a text that is only measured never is.
        bool laidOut = false;
    };
    // The text measured in the current font, kept across paints: scale labels repeat.
    ShapedText& shaped(const std::string& text);
    void drawText(int32_t x, int32_t y, const std::string& text, const TRect* clip);

    void fontChanged();
    // The mapping from logical to device pixels.
    int32_t devicePenWidth() const;
    TSurfacePen surfacePen() const;
    TSurfaceBrush surfaceBrush() const;
    QSize deviceSize(int32_t x, int32_t y, const TBitmap& bitmap) const;
    TPoint devicePoint(int32_t x, int32_t y) const;
    int32_t deviceEdge(int32_t v) const;
    TRect deviceRect(const TRect& rect) const;
    // The points mapped as line points; at scale 1 the points themselves.
    std::span<const TPoint> devicePoints(
        std::span<const TPoint> points, std::vector<TPoint>& buffer) const;
    // A box's corners for Rectangle and Ellipse; false for an empty box.
    bool deviceBox(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) const;

    std::unique_ptr<TSurface> m_surface;
    QImage* m_image = nullptr;
    QImage m_noImage;
    double m_scale = 1.0;
    // Set by SetScale or the vector constructor; until then the image's size is the logical one.
    std::optional<std::pair<int32_t, int32_t>> m_logicalSize;
    TPen m_pen;
    TBrush m_brush;
    TFont m_font;
    TPoint m_penPos;
    TCopyMode m_copyMode = TCopyMode::cmSrcCopy;
    uint32_t m_patternPhase = 0;
    // What tests watch of how callers draw (TCanvasSeams).
    int m_polylineCount = 0;
    int m_drawCount = 0;
    std::function<void(std::span<const TPoint> points)> m_onPolyline;
    std::unordered_map<std::string, ShapedText> m_shapedTexts;
    // What the kept texts hold, by the estimate that bounds it.
    size_t m_shapedTextBytes = 0;
    // A text too long to keep, for the operation at hand.
    ShapedText m_unkept;
    std::optional<QFont> m_qfont;
    std::optional<QFont> m_deviceFont;
    std::optional<QFontMetrics> m_metrics;
    // The metrics' line height, asked for by every text drawn.
    std::optional<int32_t> m_textHeight;
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
    /// Exchanges the bitmap's pixels for image, which holds width x height logical pixels at scale
    /// (its size at that scale), and returns the pixels the bitmap had. The canvas draws into
    /// image's pixels from then on, also when they lie in a larger buffer; where image shares them
    /// with another image, the first drawing copies them first (Qt's implicit sharing).
    QImage ExchangeImage(QImage image, int32_t width, int32_t height, double scale);

private:
    void allocate();

    QImage m_image;
    int32_t m_width = 0;
    int32_t m_height = 0;
    double m_scale = 1.0;
    TCanvas m_canvas;
};

} // namespace znq
