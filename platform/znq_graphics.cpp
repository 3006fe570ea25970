#include "znq_graphics.h"

#include <QFontDatabase>

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

namespace znq {

namespace {

    // Wide integers for the line set-up: coordinates span the whole 32-bit range, so products of
    // two deltas need more than 64 bits.
    __extension__ typedef __int128 Int128;
    __extension__ typedef unsigned __int128 UInt128;

    QColor systemColor(uint8_t index)
    {
        const QPalette palette
            = QGuiApplication::instance() ? QGuiApplication::palette() : QPalette(QColor(0xF0F0F0));
        switch (index) {
        case 0x05:
            return palette.color(QPalette::Base);
        case 0x08:
            return palette.color(QPalette::WindowText);
        case 0x0D:
            return palette.color(QPalette::Highlight);
        case 0x0E:
            return palette.color(QPalette::HighlightedText);
        case 0x0F:
            return palette.color(QPalette::Button);
        case 0x10:
            return palette.color(QPalette::Dark);
        case 0x11:
            return palette.color(QPalette::Disabled, QPalette::Text);
        case 0x12:
            return palette.color(QPalette::ButtonText);
        case 0x14:
            return palette.color(QPalette::Light);
        case 0x15:
            return palette.color(QPalette::Shadow);
        case 0x16:
            return palette.color(QPalette::Midlight);
        default:
            return palette.color(QPalette::Window);
        }
    }

    // Pen patterns as alternating run lengths (on, off, on, ...), stepped once per pixel:
    // dash 18 on 6 off, dot 3 on 3 off, dash-dot 9-6-3-6, dash-dot-dot 9-3-3-3-3-3. The pattern
    // continues from one line-to to the next and restarts at a move-to.
    struct PenPattern {
        std::array<bool, 32> bits {};
        uint32_t length = 0; // 0: solid
        // 2^64 / length rounded up: the remainder of a 32-bit step by the length is then the high
        // half of (step * divisor, low 64 bits) * length, exact, without a division.
        uint64_t divisor = 0;

        bool on(uint64_t step) const
        {
            if ((step >> 32) != 0)
                return bits[static_cast<size_t>(step % length)];
            const uint64_t low = divisor * step;
            return bits[static_cast<size_t>((static_cast<UInt128>(low) * length) >> 64)];
        }
    };

    // The pattern step of a pixel position: on a scaled canvas each step spans stretch pixels. The
    // division is left out at scale 1, where it would cost as much as the rest of the pixel.
    template <typename Position> Position patternStep(Position position, uint32_t stretch)
    {
        return stretch == 1 ? position : position / stretch;
    }

    PenPattern makePattern(std::initializer_list<int> runs)
    {
        PenPattern pattern;
        bool on = true;
        for (int run : runs) {
            for (int i = 0; i < run; ++i)
                pattern.bits[pattern.length++] = on;
            on = !on;
        }
        pattern.divisor = UINT64_MAX / pattern.length + 1;
        return pattern;
    }

    const PenPattern& patternFor(TPenStyle style)
    {
        static const PenPattern solid;
        static const PenPattern dash = makePattern({ 18, 6 });
        static const PenPattern dot = makePattern({ 3, 3 });
        static const PenPattern dashDot = makePattern({ 9, 6, 3, 6 });
        static const PenPattern dashDotDot = makePattern({ 9, 3, 3, 3, 3, 3 });
        switch (style) {
        case TPenStyle::psDash:
            return dash;
        case TPenStyle::psDot:
            return dot;
        case TPenStyle::psDashDot:
            return dashDot;
        case TPenStyle::psDashDotDot:
            return dashDotDot;
        default:
            return solid;
        }
    }

    int64_t floorDiv(Int128 numerator, Int128 denominator)
    {
        Int128 q = numerator / denominator;
        if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0)))
            --q;
        return static_cast<int64_t>(q);
    }

    int64_t ceilDiv(Int128 numerator, Int128 denominator)
    {
        return -floorDiv(-numerator, denominator);
    }

    // An inclusive pixel rectangle used for clipping.
    struct Box {
        int64_t left, top, right, bottom;
        bool empty() const { return left > right || top > bottom; }
        bool contains(int64_t x, int64_t y) const
        {
            return x >= left && x <= right && y >= top && y <= bottom;
        }
    };

    Box intersect(const Box& a, const Box& b)
    {
        return Box { std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom) };
    }

    // The inside of an ellipse inscribed in an inclusive pixel box, row by row: pixel (x, y) is
    // inside when its centre lies within the ellipse through the box's outermost pixel centres,
    // widened by half a pixel, so that the outline reaches all four sides of the box.
    class EllipseRows {
    public:
        EllipseRows(int64_t left, int64_t top, int64_t right, int64_t bottom)
            : m_top(top)
            , m_bottom(bottom)
            , m_sumX(left + right)
            , m_sumY(top + bottom)
            , m_a(static_cast<double>(right - left + 1))
            , m_b(static_cast<double>(bottom - top + 1))
        {
            // The point of slope 1 on the ellipse with semi-axes a and b.
            const double a = m_a / 2, b = m_b / 2;
            const double norm = std::sqrt(a * a + b * b);
            m_steepX = a * a / norm;
            m_steepY = b * b / norm;
        }

        // The inside span of row y, or an empty span (lo > hi).
        std::pair<int64_t, int64_t> span(int64_t y) const
        {
            if (y < m_top || y > m_bottom)
                return { 1, 0 };
            const double yy = static_cast<double>(2 * y - m_sumY) / m_b;
            const double t = 1.0 - yy * yy;
            if (t < 0)
                return { 1, 0 };
            const auto half = static_cast<int64_t>(std::floor(m_a * std::sqrt(t)));
            // Doubled x coordinates run in steps of 2 with the parity of m_sumX.
            // Halved by arithmetic shifts, which round down (and up when negated twice).
            const int64_t lo = -((half - m_sumX) >> 1);
            const int64_t hi = (m_sumX + half) >> 1;
            return { lo, hi };
        }

        // Position of pixel (x, y) along the outline, counted in pixel steps clockwise from the
        // 3 o'clock point, for stepping a pen pattern. Where the outline is steep it advances
        // one step per row, where it is flat one step per column; the two meet at the point of
        // slope 1.
        uint32_t arcPosition(int64_t x, int64_t y) const
        {
            const double u = std::fabs(static_cast<double>(2 * x - m_sumX)) / 2;
            const double v = std::fabs(static_cast<double>(2 * y - m_sumY)) / 2;
            const double along = v <= m_steepY ? v : m_steepY + (m_steepX - u);
            const double quarter = m_steepX + m_steepY;
            const bool below = 2 * y >= m_sumY, right = 2 * x >= m_sumX;
            double position;
            if (below && right)
                position = along;
            else if (below)
                position = 2 * quarter - along;
            else if (!right)
                position = 2 * quarter + along;
            else
                position = 4 * quarter - along;
            // The remainder is the value itself below 2^32, as it always is but for giant figures.
            constexpr double wrap = 4294967296.0;
            position = std::max(position, 0.0);
            return static_cast<uint32_t>(position < wrap ? position : std::fmod(position, wrap));
        }

    private:
        int64_t m_top, m_bottom, m_sumX, m_sumY;
        double m_a, m_b;
        double m_steepX = 0, m_steepY = 0;
    };

    // Steps a pointer along count pixels of a line: one major step per pixel, and a minor step
    // whenever the remainder passes 2 * major. Shared by every solid one-pixel line.
    template <typename Put>
    inline void stepLine(uint32_t* pixel, int64_t count, int64_t stepMajor, int64_t stepMinor,
        int64_t remainder, int64_t twoMinor, int64_t twoMajor, Put put)
    {
        for (int64_t i = 0; i < count; ++i) {
            put(pixel);
            pixel += stepMajor;
            remainder += twoMinor;
            if (remainder >= twoMajor) {
                remainder -= twoMajor;
                pixel += stepMinor;
            }
        }
    }

    // A solid one-pixel copy pen whose two end points lie inside the image: the same stepping as
    // TCanvas::lineSegment, without any clipping work.
    inline void solidLineInside(uint32_t* bits, int64_t stride, uint32_t rgb, int32_t x0,
        int32_t y0, int32_t x1, int32_t y1)
    {
        const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
        const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
        const bool xMajor = adx >= ady;
        const int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
        const int64_t stepX = dx < 0 ? -1 : 1, stepY = dy < 0 ? -stride : stride;
        stepLine(bits + int64_t(y0) * stride + x0, major, xMajor ? stepX : stepY,
            xMajor ? stepY : stepX, major - 1, 2 * minor, 2 * major,
            [rgb](uint32_t* pixel) { *pixel = rgb; });
    }

} // namespace

uint32_t ColorToRGB(TColor color)
{
    if ((color >> 24) == 0xFF)
        return systemColor(static_cast<uint8_t>(color & 0xFF)).rgb() | 0xFF000000u;
    const uint32_t red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

QColor ColorToQColor(TColor color)
{
    return QColor::fromRgb(ColorToRGB(color));
}

TColor RGBToColor(uint32_t rgb)
{
    const uint32_t red = (rgb >> 16) & 0xFF, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    return red | (green << 8) | (blue << 16);
}

// ---------------------------------------------------------------------------------------------
// TFont

TFont::TFont(QObject* parent)
    : QObject(parent)
{
}

void TFont::changed()
{
    if (OnChange)
        OnChange(this);
}

void TFont::SetName(const std::string& name)
{
    m_name = name;
    changed();
}

int TFont::Size() const
{
    // Points from pixels, rounded half away from zero as the size field shows them.
    return static_cast<int>(std::lround(-double(m_height) * 72.0 / PixelsPerInch));
}

void TFont::SetSize(int points)
{
    // In double, and clamped back into the integer range: a huge size must not overflow.
    const double pixels = std::round(points * static_cast<double>(PixelsPerInch) / 72.0);
    m_height = -static_cast<int>(std::clamp(pixels, -2147483647.0, 2147483647.0));
    changed();
}

void TFont::SetHeight(int pixels)
{
    m_height = pixels;
    changed();
}

void TFont::SetColor(TColor color)
{
    m_color = color;
    changed();
}

void TFont::SetStyle(TFontStyles style)
{
    m_style = style;
    changed();
}

void TFont::Assign(const TFont& source)
{
    if (&source == this)
        return;
    m_name = source.m_name;
    m_height = source.m_height;
    m_color = source.m_color;
    m_style = source.m_style;
    changed();
}

bool TFont::IsSymbolFont() const
{
    return QString::fromStdString(m_name).compare("Symbol", Qt::CaseInsensitive) == 0;
}

namespace {
    // "MS Sans Serif", the classic user-interface face, has no outline version on this platform.
    // Liberation Sans is of its metrics class (Arial's advances), so captions laid out for it fit
    // their controls; without it fontconfig's default sans face stands in.
    QString familyFor(const std::string& name)
    {
        static const bool haveLiberation
            = QFontDatabase::hasFamily(QStringLiteral("Liberation Sans"));
        if (name == "MS Sans Serif" && haveLiberation)
            return QStringLiteral("Liberation Sans");
        return QString::fromStdString(name);
    }
} // namespace

QFont TFont::ToQFont() const
{
    QFont font(IsSymbolFont() ? QStringLiteral("DejaVu Sans") : familyFor(m_name));
    // A negative height is the character height; a positive one includes the internal leading,
    // which for the sans fonts in use is about a fifth of the cell.
    const int64_t height = m_height;
    const int64_t pixels = height < 0 ? -height : height * 4 / 5;
    font.setPixelSize(static_cast<int>(std::clamp<int64_t>(pixels, 1, MaxPixelSize)));
    font.setBold(m_style.testFlag(TFontStyle::fsBold));
    font.setItalic(m_style.testFlag(TFontStyle::fsItalic));
    font.setUnderline(m_style.testFlag(TFontStyle::fsUnderline));
    font.setStrikeOut(m_style.testFlag(TFontStyle::fsStrikeOut));
    // Hinting changes the advances; one fixed choice keeps widths the same on every platform
    // plugin.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QString SymbolToUnicode(const QString& text)
{
    static const char16_t lower[26]
        = { u'α', u'β', u'χ', u'δ', u'ε', u'φ', u'γ', u'η', u'ι', u'ϕ', u'κ', u'λ', u'μ', u'ν',
              u'ο', u'π', u'θ', u'ρ', u'σ', u'τ', u'υ', u'ϖ', u'ω', u'ξ', u'ψ', u'ζ' };
    static const char16_t upper[26]
        = { u'Α', u'Β', u'Χ', u'Δ', u'Ε', u'Φ', u'Γ', u'Η', u'Ι', u'ϑ', u'Κ', u'Λ', u'Μ', u'Ν',
              u'Ο', u'Π', u'Θ', u'Ρ', u'Σ', u'Τ', u'Υ', u'ς', u'Ω', u'Ξ', u'Ψ', u'Ζ' };
    QString result = text;
    for (QChar& ch : result) {
        const char16_t c = ch.unicode();
        if (c >= u'a' && c <= u'z')
            ch = QChar(lower[c - u'a']);
        else if (c >= u'A' && c <= u'Z')
            ch = QChar(upper[c - u'A']);
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// Pixel sinks: where the rasterised pixels of one figure go.

// Writes pen pixels into the image: width 1 pixel by pixel, wider pens as squares of the pen
// width centred on each pixel. A wide pen's pixels are gathered first and its squares written as
// their union, row by row in spans, so that the cost follows the area covered rather than the
// square of the width, and in XOR mode every pixel of the stroke is inverted once however many
// squares cover it. A caller that must know the stroke's pixels before it is drawn (a filled XOR
// polygon) asks for them in a mask with collect.
class PenSink {
public:
    PenSink(QImage& image, const TPen& pen, Box figureBounds, bool collect = false)
        : m_width(pen.Width())
        , m_rgb(ColorToRGB(pen.Color()))
        , m_xor(pen.Mode() == TPenMode::pmXor)
        , m_imageBox { 0, 0, image.width() - 1, image.height() - 1 }
    {
        if (!m_imageBox.empty()) {
            m_bits = reinterpret_cast<uint32_t*>(image.bits());
            m_stride = image.bytesPerLine() / 4;
        }
        if (collect) {
            const int grow = m_width;
            m_maskBox = intersect(m_imageBox,
                Box { figureBounds.left - grow, figureBounds.top - grow, figureBounds.right + grow,
                    figureBounds.bottom + grow });
            if (!m_maskBox.empty())
                m_mask.assign(static_cast<size_t>((m_maskBox.right - m_maskBox.left + 1)
                                  * (m_maskBox.bottom - m_maskBox.top + 1)),
                    0);
        }
    }

    ~PenSink() { flush(); }

    // Pixels that can receive ink: the image, widened by the pen for wide pens.
    Box clipBox() const
    {
        const int64_t grow = m_width > 1 ? m_width : 0;
        return Box { m_imageBox.left - grow, m_imageBox.top - grow, m_imageBox.right + grow,
            m_imageBox.bottom + grow };
    }

    bool writesToImage() const { return m_bits != nullptr; }

    // Direct access for a one-pixel pen, whose clip box is the image itself.
    struct Direct {
        uint32_t* bits = nullptr;
        int64_t stride = 0;
        uint32_t rgb = 0;
        bool xorMode = false;
    };
    Direct direct() const
    {
        if (m_width != 1 || !m_mask.empty())
            return {};
        return Direct { m_bits, m_stride, m_rgb, m_xor };
    }

    void pixel(int64_t x, int64_t y)
    {
        if (m_width > 1) {
            // Narrow squares drawn by copy may overlap: written at once. The union is needed only
            // to invert each pixel once, or to collect the stroke.
            if (m_width <= directSquareWidth && !m_xor && m_mask.empty()) {
                square(x, y);
                return;
            }
            m_points.push_back(Point { y, x });
            return;
        }
        if (x < 0 || y < 0 || x > m_imageBox.right || y > m_imageBox.bottom)
            return;
        if (m_mask.empty())
            put(m_bits + y * m_stride + x);
        else if (m_maskBox.contains(x, y))
            m_mask[maskIndex(x, y)] = 1;
    }

    bool isMasked(int64_t x, int64_t y)
    {
        writeSquares();
        if (m_mask.empty() || !m_maskBox.contains(x, y))
            return false;
        return m_mask[maskIndex(x, y)];
    }

    void flush()
    {
        writeSquares();
        if (m_mask.empty())
            return;
        const int64_t width = m_maskBox.right - m_maskBox.left + 1;
        for (int64_t row = m_maskBox.top; row <= m_maskBox.bottom; ++row) {
            const uint8_t* mask = m_mask.data() + (row - m_maskBox.top) * width;
            uint32_t* line = m_bits + row * m_stride + m_maskBox.left;
            for (int64_t i = 0; i < width; ++i)
                if (mask[i])
                    put(line + i);
        }
        m_mask.clear();
    }

private:
    struct Point {
        int64_t y, x;
        friend auto operator<=>(const Point&, const Point&) = default;
    };
    struct Span {
        int64_t left, right;
    };
    // Identical rows of spans, one after another: y0 .. y1 share spans[begin, end).
    struct Band {
        int64_t y0, y1;
        size_t begin, end;
    };

    size_t maskIndex(int64_t x, int64_t y) const
    {
        return static_cast<size_t>(
            (y - m_maskBox.top) * (m_maskBox.right - m_maskBox.left + 1) + (x - m_maskBox.left));
    }

    // The union of the squares of the gathered pixels, written row by row. The square of the
    // pixel at (x, y) covers columns x - a .. x - a + w - 1 and the rows likewise, a = (w - 1) / 2.
    // Each row of pixels becomes a row of disjoint spans, equal neighbouring rows a band; output
    // row r is the union of the bands within w - 1 - a rows above it and a rows below.
    void writeSquares()
    {
        if (m_points.empty())
            return;
        std::sort(m_points.begin(), m_points.end());
        m_points.erase(std::unique(m_points.begin(), m_points.end()), m_points.end());
        const int64_t w = m_width, a = (w - 1) / 2;

        std::vector<Span> spans;
        std::vector<Band> bands;
        for (size_t i = 0; i < m_points.size();) {
            const int64_t y = m_points[i].y;
            const size_t begin = spans.size();
            for (; i < m_points.size() && m_points[i].y == y; ++i) {
                const Span square { m_points[i].x - a, m_points[i].x - a + w - 1 };
                if (spans.size() > begin && square.left <= spans.back().right + 1)
                    spans.back().right = std::max(spans.back().right, square.right);
                else
                    spans.push_back(square);
            }
            const size_t end = spans.size();
            if (!bands.empty()) {
                Band& last = bands.back();
                const bool same = last.y1 + 1 == y && last.end - last.begin == end - begin
                    && std::equal(spans.begin() + std::ptrdiff_t(begin),
                        spans.begin() + std::ptrdiff_t(end),
                        spans.begin() + std::ptrdiff_t(last.begin),
                        [](Span p, Span q) { return p.left == q.left && p.right == q.right; });
                if (same) {
                    ++last.y1;
                    spans.resize(begin);
                    continue;
                }
            }
            bands.push_back(Band { y, y, begin, end });
        }
        m_points.clear();

        const Box target = m_mask.empty() ? m_imageBox : m_maskBox;
        if (target.empty())
            return;
        const int64_t below = w - 1 - a;
        std::vector<Span> row;
        size_t low = 0, high = 0;
        int64_t r = std::max(target.top, bands.front().y0 - a);
        const int64_t last = std::min(target.bottom, bands.back().y1 + below);
        while (r <= last) {
            // Bands reach row r from rows y0 - a .. y1 + below.
            while (high < bands.size() && bands[high].y0 - a <= r)
                ++high;
            while (low < high && bands[low].y1 + below < r)
                ++low;
            if (low == high) {
                if (high == bands.size())
                    break;
                r = bands[high].y0 - a;
                continue;
            }
            row.clear();
            for (size_t b = low; b < high; ++b)
                row.insert(row.end(), spans.begin() + std::ptrdiff_t(bands[b].begin),
                    spans.begin() + std::ptrdiff_t(bands[b].end));
            if (high - low > 1)
                std::sort(row.begin(), row.end(), [](Span p, Span q) { return p.left < q.left; });
            int64_t covered = INT64_MIN;
            for (const Span& span : row) {
                const int64_t left = std::max({ span.left, covered + 1, target.left });
                const int64_t right = std::min(span.right, target.right);
                if (left <= right)
                    writeSpan(r, left, right);
                covered = std::max(covered, span.right);
            }
            ++r;
        }
    }

    void writeSpan(int64_t y, int64_t left, int64_t right)
    {
        if (!m_mask.empty()) {
            std::fill(m_mask.begin() + std::ptrdiff_t(maskIndex(left, y)),
                m_mask.begin() + std::ptrdiff_t(maskIndex(right, y)) + 1, 1);
            return;
        }
        uint32_t* line = m_bits + y * m_stride;
        if (m_xor) {
            for (int64_t x = left; x <= right; ++x)
                line[x] ^= (m_rgb & 0x00FFFFFFu);
        } else {
            std::fill(line + left, line + right + 1, m_rgb);
        }
    }

    static constexpr int directSquareWidth = 4;

    // The pen's square at (x, y), clipped to the image.
    void square(int64_t x, int64_t y)
    {
        const int64_t a = (m_width - 1) / 2;
        const int64_t left = std::max(x - a, m_imageBox.left);
        const int64_t right = std::min(x - a + m_width - 1, m_imageBox.right);
        const int64_t top = std::max(y - a, m_imageBox.top);
        const int64_t bottom = std::min(y - a + m_width - 1, m_imageBox.bottom);
        for (int64_t row = top; row <= bottom; ++row) {
            uint32_t* line = m_bits + row * m_stride;
            for (int64_t column = left; column <= right; ++column)
                line[column] = m_rgb;
        }
    }

    void put(uint32_t* pixel) const
    {
        if (m_xor)
            *pixel ^= (m_rgb & 0x00FFFFFFu);
        else
            *pixel = m_rgb;
    }

    int m_width;
    uint32_t m_rgb;
    bool m_xor;
    Box m_imageBox;
    uint32_t* m_bits = nullptr;
    int64_t m_stride = 0;
    Box m_maskBox { 0, 0, -1, -1 };
    std::vector<uint8_t> m_mask;
    // The pixels of a wide pen, as (y, x), until their squares are written.
    std::vector<Point> m_points;
};

// Fills spans with the brush colour, in XOR mode by inversion.
class BrushSink {
public:
    BrushSink(QImage& image, const TBrush& brush, TPenMode mode)
        : m_rgb(ColorToRGB(brush.Color()))
        , m_xor(mode == TPenMode::pmXor)
    {
        if (image.width() > 0 && image.height() > 0) {
            m_bits = reinterpret_cast<uint32_t*>(image.bits());
            m_stride = image.bytesPerLine() / 4;
        }
    }

    // Rows top to bottom from x0 to x1 inclusive, clipped by the caller. By copy, the first row is
    // filled and copied to the others, which the library's block copy does at full memory speed.
    void box(int64_t top, int64_t bottom, int64_t x0, int64_t x1)
    {
        if (m_xor || top > bottom) {
            for (int64_t y = top; y <= bottom; ++y)
                run(y, x0, x1);
            return;
        }
        run(top, x0, x1);
        const uint32_t* first = m_bits + top * m_stride + x0;
        const size_t bytes = static_cast<size_t>(x1 - x0 + 1) * sizeof(uint32_t);
        for (int64_t y = top + 1; y <= bottom; ++y)
            std::memcpy(m_bits + y * m_stride + x0, first, bytes);
    }

    // Row y from x0 to x1 inclusive; the caller has clipped it to the image.
    void run(int64_t y, int64_t x0, int64_t x1)
    {
        uint32_t* line = m_bits + y * m_stride;
        if (m_xor) {
            for (int64_t x = x0; x <= x1; ++x)
                line[x] ^= (m_rgb & 0x00FFFFFFu);
        } else {
            std::fill(line + x0, line + x1 + 1, m_rgb);
        }
    }

private:
    uint32_t m_rgb;
    bool m_xor;
    uint32_t* m_bits = nullptr;
    int64_t m_stride = 0;
};

// ---------------------------------------------------------------------------------------------
// TCanvas

struct TCanvas::LineRaster {
    PenSink& sink;
    const PenPattern& pattern;
    uint32_t& phase;
    // Pixels per pattern step: the drawing scale, rounded, on a scaled canvas.
    uint32_t stretch = 1;
};

TCanvas::TCanvas(QImage* image)
    : m_image(image)
{
    // The colour is no part of the Qt font; a write that leaves the rest alone keeps it.
    m_font.OnChange = [this](TObject*) {
        if (m_qfontKey == FontKey { m_font.Name(), m_font.Height(), m_font.Style() })
            return;
        m_qfont.reset();
        m_metrics.reset();
        m_qfontKey.reset();
    };
}

TCanvas::~TCanvas()
{
    EndPainting();
}

namespace {
    constexpr double minScale = 0.25, maxScale = 8.0;

    int32_t saturated(double value)
    {
        if (!(value == value))
            return 0;
        return static_cast<int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
    }
} // namespace

void TCanvas::SetScale(double scale, int32_t logicalWidth, int32_t logicalHeight)
{
    m_scale = std::isfinite(scale) ? std::clamp(scale, minScale, maxScale) : 1.0;
    m_logicalWidth = std::max(logicalWidth, 0);
    m_logicalHeight = std::max(logicalHeight, 0);
    EndPainting();
}

class TCanvas::VectorPause {
public:
    explicit VectorPause(TCanvas& canvas)
        : m_canvas(canvas)
        , m_target(std::exchange(canvas.m_vector, nullptr))
    {
    }
    ~VectorPause() { m_canvas.m_vector = m_target; }
    VectorPause(const VectorPause&) = delete;
    VectorPause& operator=(const VectorPause&) = delete;

private:
    TCanvas& m_canvas;
    QPainter* m_target;
};

class TCanvas::DeviceScope {
public:
    explicit DeviceScope(TCanvas& canvas)
        : m_canvas(canvas)
        , m_width(canvas.m_pen.Width())
        , m_scale(canvas.m_scale)
        , m_penPos(canvas.m_penPos)
    {
        canvas.m_pen.SetWidth(canvas.devicePenWidth());
        canvas.m_patternStretch = static_cast<uint32_t>(std::max(1.0, std::round(m_scale)));
        canvas.m_scale = 1.0;
    }
    ~DeviceScope()
    {
        m_canvas.m_scale = m_scale;
        m_canvas.m_pen.SetWidth(m_width);
        m_canvas.m_patternStretch = 1;
        m_canvas.m_penPos = m_penPos;
    }
    DeviceScope(const DeviceScope&) = delete;
    DeviceScope& operator=(const DeviceScope&) = delete;

private:
    TCanvas& m_canvas;
    int m_width;
    double m_scale;
    TPoint m_penPos;
};

int32_t TCanvas::devicePenWidth() const
{
    return std::max(1, saturated(std::round(m_pen.Width() * m_scale)));
}

// A square pen of width w covers w - 1 - a pixels right of and below its pixel and a = (w - 1) / 2
// left of and above it; the device pixel is shifted so that the enlarged square covers the
// enlarged logical square.
TPoint TCanvas::devicePoint(int32_t x, int32_t y) const
{
    const int32_t logical = m_pen.Width(), device = devicePenWidth();
    const double shift = (device - 1) / 2 - m_scale * ((logical - 1) / 2);
    return TPoint { saturated(std::floor(x * m_scale + shift + 0.5)),
        saturated(std::floor(y * m_scale + shift + 0.5)) };
}

int32_t TCanvas::deviceEdge(int32_t v) const
{
    return saturated(std::floor(v * m_scale + 0.5));
}

// ---------------------------------------------------------------------------------------------
// The vector target: the same operations as Qt painter calls. Pixel (x, y) is the unit square
// from (x, y), so lines run through pixel centres and filled boxes cover whole pixels.

namespace {
    QPointF centre(int32_t x, int32_t y)
    {
        return QPointF(x + 0.5, y + 0.5);
    }

    // The pen pattern's runs as Qt dash lengths, which count in pen widths.
    QList<qreal> dashesFor(TPenStyle style, int width)
    {
        const PenPattern& pattern = patternFor(style);
        QList<qreal> dashes;
        uint32_t run = 0;
        for (uint32_t i = 0; i < pattern.length; ++i) {
            ++run;
            if (i + 1 == pattern.length || pattern.bits[i + 1] != pattern.bits[i]) {
                dashes << qreal(run) / width;
                run = 0;
            }
        }
        return dashes;
    }
} // namespace

QPen TCanvas::vectorPen() const
{
    if (m_pen.Style() == TPenStyle::psClear)
        return QPen(Qt::NoPen);
    QPen pen(
        ColorToQColor(m_pen.Color()), m_pen.Width(), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    const QList<qreal> dashes = dashesFor(m_pen.Style(), m_pen.Width());
    if (!dashes.isEmpty())
        pen.setDashPattern(dashes);
    return pen;
}

QBrush TCanvas::vectorBrush() const
{
    if (m_brush.Style() == TBrushStyle::bsClear)
        return QBrush(Qt::NoBrush);
    return QBrush(ColorToQColor(m_brush.Color()));
}

void TCanvas::vectorBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool ellipse)
{
    const double left = std::min(x1, x2), right = double(std::max(x1, x2)) - 1;
    const double top = std::min(y1, y2), bottom = double(std::max(y1, y2)) - 1;
    if (left > right || top > bottom)
        return;
    m_vector->setPen(vectorPen());
    m_vector->setBrush(vectorBrush());
    // With an outline the figure runs through the centres of its border pixels, the pen covering
    // them; without one the fill covers the whole pixels.
    const QRectF box = m_pen.Style() == TPenStyle::psClear
        ? QRectF(left, top, right - left + 1, bottom - top + 1)
        : QRectF(left + 0.5, top + 0.5, right - left, bottom - top);
    if (ellipse)
        m_vector->drawEllipse(box);
    else
        m_vector->drawRect(box);
}

void TCanvas::vectorText(int32_t x, int32_t y, const std::string& text, const TRect* clip)
{
    if (text.empty())
        return;
    m_vector->save();
    if (clip)
        m_vector->setClipRect(QRectF(clip->Left, clip->Top, double(clip->Right) - clip->Left,
                                  double(clip->Bottom) - clip->Top),
            Qt::IntersectClip);
    const double width = TextWidth(text), height = metrics().height();
    if (!clip && m_brush.Style() == TBrushStyle::bsSolid)
        m_vector->fillRect(QRectF(x, y, width, height), ColorToQColor(m_brush.Color()));
    QFont font = qfont();
    QString shown = displayText(text);
    if (m_vectorXml) {
        // The SVG writer escapes the text but not the font name, and writes both as they come.
        font.setFamily(XmlSafeText(font.family()).toHtmlEscaped());
        shown = XmlSafeText(shown);
    }
    m_vector->setFont(font);
    m_vector->setPen(ColorToQColor(m_font.Color()));
    m_vector->drawText(QRectF(x, y, width + height, height),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, shown);
    m_vector->restore();
}

void TCanvas::SetPenPos(TPoint position)
{
    m_penPos = position;
}

void TCanvas::MoveTo(int32_t x, int32_t y)
{
    m_penPos = TPoint { x, y };
    m_patternPhase = 0;
}

// Bresenham's line from (x0, y0) towards (x1, y1), end point left out. Pixel i along the major
// axis sits at minor offset floor((2 i minor + major - 1) / (2 major)), which is the classic
// stepping with ties kept on the starting row. Only the pixels inside the sink's clip box are
// visited: the first and last visible steps are solved for directly, so lines with far-away end
// points cost no more than their visible part.
void TCanvas::lineSegment(LineRaster& raster, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int64_t steps = std::max(adx, ady);
    const uint32_t phaseStart = raster.phase;
    raster.phase += static_cast<uint32_t>(steps);
    if (steps == 0 || !raster.sink.writesToImage())
        return;

    const bool xMajor = adx >= ady;
    const int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const int64_t a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
    const int64_t sa = ((xMajor ? dx : dy) < 0) ? -1 : 1, sb = ((xMajor ? dy : dx) < 0) ? -1 : 1;
    const Box clip = raster.sink.clipBox();

    int64_t first = 0, last = steps - 1;
    const bool inside = x0 >= clip.left && x0 <= clip.right && y0 >= clip.top && y0 <= clip.bottom
        && x1 >= clip.left && x1 <= clip.right && y1 >= clip.top && y1 <= clip.bottom;
    if (!inside) {
        const int64_t aMin = xMajor ? clip.left : clip.top,
                      aMax = xMajor ? clip.right : clip.bottom;
        const int64_t bMin = xMajor ? clip.top : clip.left,
                      bMax = xMajor ? clip.bottom : clip.right;
        // Steps whose major coordinate is visible.
        if (sa > 0) {
            first = std::max(first, aMin - a0);
            last = std::min(last, aMax - a0);
        } else {
            first = std::max(first, a0 - aMax);
            last = std::min(last, a0 - aMin);
        }
        // Steps whose minor offset q lies in [qLow, qHigh].
        const int64_t qLow = sb > 0 ? bMin - b0 : b0 - bMax;
        const int64_t qHigh = sb > 0 ? bMax - b0 : b0 - bMin;
        if (qHigh < 0)
            return;
        if (minor == 0) {
            if (qLow > 0)
                return;
        } else {
            if (qLow > 0)
                first = std::max(
                    first, ceilDiv(Int128(2) * major * qLow - major + 1, Int128(2) * minor));
            last = std::min(last, floorDiv(Int128(2) * major * qHigh + major, Int128(2) * minor));
        }
        if (first > last)
            return;
    }

    int64_t q = 0, remainder = major - 1;
    if (first > 0) {
        const Int128 numerator = Int128(2) * first * minor + major - 1;
        q = static_cast<int64_t>(numerator / (2 * major));
        remainder = static_cast<int64_t>(numerator % (2 * major));
    }
    const PenPattern& pattern = raster.pattern;
    uint32_t phase = phaseStart + static_cast<uint32_t>(first);
    const int64_t twoMinor = 2 * minor, twoMajor = 2 * major;

    if (PenSink::Direct direct = raster.sink.direct(); direct.bits && pattern.length == 0) {
        // A solid one-pixel pen inside the image: step a pointer.
        const int64_t stepMajor = xMajor ? sa : sa * direct.stride;
        const int64_t stepMinor = xMajor ? sb * direct.stride : sb;
        const int64_t startA = a0 + sa * first, startB = b0 + sb * q;
        uint32_t* pixel = direct.bits
            + (xMajor ? startB * direct.stride + startA : startA * direct.stride + startB);
        const int64_t count = last - first + 1;
        if (direct.xorMode) {
            const uint32_t mask = direct.rgb & 0x00FFFFFFu;
            stepLine(pixel, count, stepMajor, stepMinor, remainder, twoMinor, twoMajor,
                [mask](uint32_t* p) { *p ^= mask; });
        } else {
            const uint32_t rgb = direct.rgb;
            stepLine(pixel, count, stepMajor, stepMinor, remainder, twoMinor, twoMajor,
                [rgb](uint32_t* p) { *p = rgb; });
        }
        return;
    }

    for (int64_t i = first; i <= last; ++i, ++phase) {
        if (pattern.length == 0 || pattern.on(patternStep(phase, raster.stretch))) {
            const int64_t a = a0 + sa * i, b = b0 + sb * q;
            if (xMajor)
                raster.sink.pixel(a, b);
            else
                raster.sink.pixel(b, a);
        }
        remainder += twoMinor;
        if (remainder >= twoMajor) {
            remainder -= twoMajor;
            ++q;
        }
    }
}

void TCanvas::LineTo(int32_t x, int32_t y)
{
    if (m_vector && m_pen.Style() != TPenStyle::psClear) {
        m_vector->setPen(vectorPen());
        m_vector->drawLine(centre(m_penPos.x, m_penPos.y), centre(x, y));
    }
    if (m_scale != 1.0) {
        const TPoint from = devicePoint(m_penPos.x, m_penPos.y), to = devicePoint(x, y);
        {
            const DeviceScope device(*this);
            m_penPos = from;
            LineTo(to.x, to.y);
        }
        m_penPos = TPoint { x, y };
        return;
    }
    if (m_pen.Style() != TPenStyle::psClear) {
        const Box bounds { std::min(m_penPos.x, x), std::min(m_penPos.y, y),
            std::max(m_penPos.x, x), std::max(m_penPos.y, y) };
        PenSink sink(*m_image, m_pen, bounds);
        LineRaster raster { sink, patternFor(m_pen.Style()), m_patternPhase, m_patternStretch };
        lineSegment(raster, m_penPos.x, m_penPos.y, x, y);
    }
    m_penPos = TPoint { x, y };
}

void TCanvas::Polyline(std::span<const TPoint> points)
{
    if (m_vector && points.size() >= 2 && m_pen.Style() != TPenStyle::psClear) {
        QPolygonF line;
        for (const TPoint& p : points)
            line << centre(p.x, p.y);
        m_vector->setPen(vectorPen());
        m_vector->drawPolyline(line);
    }
    if (m_scale != 1.0) {
        std::vector<TPoint> device(points.size());
        for (size_t i = 0; i < points.size(); ++i)
            device[i] = devicePoint(points[i].x, points[i].y);
        const DeviceScope scope(*this);
        Polyline(device);
        return;
    }
    ++m_polylineCount;
    if (OnPolyline)
        OnPolyline(points);
    if (points.size() < 2 || m_pen.Style() == TPenStyle::psClear)
        return;
    Box bounds { points[0].x, points[0].y, points[0].x, points[0].y };
    for (const TPoint& p : points)
        bounds = Box { std::min<int64_t>(bounds.left, p.x), std::min<int64_t>(bounds.top, p.y),
            std::max<int64_t>(bounds.right, p.x), std::max<int64_t>(bounds.bottom, p.y) };
    PenSink sink(*m_image, m_pen, bounds);
    uint32_t phase = 0;
    LineRaster raster { sink, patternFor(m_pen.Style()), phase, m_patternStretch };
    const PenSink::Direct direct = sink.direct();
    if (direct.bits && raster.pattern.length == 0 && !direct.xorMode) {
        // The common case of data curves: a solid one-pixel pen, most segments inside the image.
        const int64_t right = m_image->width() - 1, bottom = m_image->height() - 1;
        for (size_t i = 1; i < points.size(); ++i) {
            const TPoint from = points[i - 1], to = points[i];
            if (from.x < 0 || from.y < 0 || to.x < 0 || to.y < 0 || from.x > right || to.x > right
                || from.y > bottom || to.y > bottom) {
                lineSegment(raster, from.x, from.y, to.x, to.y);
                continue;
            }
            solidLineInside(direct.bits, direct.stride, direct.rgb, from.x, from.y, to.x, to.y);
        }
        return;
    }
    for (size_t i = 1; i < points.size(); ++i)
        lineSegment(raster, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
}

void TCanvas::Polygon(std::span<const TPoint> points)
{
    if (m_vector && !points.empty()) {
        QPolygonF figure;
        for (const TPoint& p : points)
            figure << centre(p.x, p.y);
        m_vector->setPen(vectorPen());
        m_vector->setBrush(points.size() >= 3 ? vectorBrush() : QBrush(Qt::NoBrush));
        m_vector->drawPolygon(figure);
    }
    if (m_scale != 1.0) {
        std::vector<TPoint> device(points.size());
        for (size_t i = 0; i < points.size(); ++i)
            device[i] = devicePoint(points[i].x, points[i].y);
        const DeviceScope scope(*this);
        Polygon(device);
        return;
    }
    if (points.empty())
        return;
    const bool outline = m_pen.Style() != TPenStyle::psClear;
    Box bounds { points[0].x, points[0].y, points[0].x, points[0].y };
    for (const TPoint& p : points)
        bounds = Box { std::min<int64_t>(bounds.left, p.x), std::min<int64_t>(bounds.top, p.y),
            std::max<int64_t>(bounds.right, p.x), std::max<int64_t>(bounds.bottom, p.y) };
    const Box imageBox { 0, 0, m_image->width() - 1, m_image->height() - 1 };

    // In XOR mode the outline is collected first so that the fill can leave its pixels out:
    // every pixel of the figure is then inverted exactly once. Otherwise the pen goes over the
    // brush.
    const bool fill = m_brush.Style() != TBrushStyle::bsClear && points.size() >= 3;
    const bool collect = outline && fill && m_pen.Mode() == TPenMode::pmXor;
    PenSink sink(*m_image, m_pen, bounds, collect);
    auto drawOutline = [&] {
        uint32_t phase = 0;
        LineRaster raster { sink, patternFor(m_pen.Style()), phase, m_patternStretch };
        for (size_t i = 0; i < points.size(); ++i) {
            const TPoint& from = points[i];
            const TPoint& to = points[(i + 1) % points.size()];
            lineSegment(raster, from.x, from.y, to.x, to.y);
        }
        // A single point or a figure of coincident points still shows its vertex.
        if (std::all_of(
                points.begin(), points.end(), [&](const TPoint& p) { return p == points[0]; }))
            sink.pixel(points[0].x, points[0].y);
    };
    if (collect)
        drawOutline();

    if (fill) {
        const Box rows = intersect(imageBox, bounds);
        BrushSink brush(*m_image, m_brush, m_pen.Mode());
        std::vector<double> crossings;
        for (int64_t y = rows.top; y <= rows.bottom; ++y) {
            const double sampleY = static_cast<double>(y) + 0.5;
            crossings.clear();
            for (size_t i = 0; i < points.size(); ++i) {
                const TPoint& a = points[i];
                const TPoint& b = points[(i + 1) % points.size()];
                if (a.y == b.y)
                    continue;
                const double ya = a.y, yb = b.y;
                if ((sampleY >= ya && sampleY < yb) || (sampleY >= yb && sampleY < ya))
                    crossings.push_back(a.x + (sampleY - ya) * (double(b.x) - a.x) / (yb - ya));
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
                // Pixels whose centre x + 0.5 lies in [from, to).
                const double from = std::ceil(crossings[i] - 0.5);
                const double to = std::ceil(crossings[i + 1] - 0.5) - 1;
                const int64_t x0 = static_cast<int64_t>(std::max(from, double(rows.left)));
                const int64_t x1 = static_cast<int64_t>(std::min(to, double(rows.right)));
                if (x0 > x1)
                    continue;
                if (!collect) {
                    brush.run(y, x0, x1);
                    continue;
                }
                for (int64_t x = x0; x <= x1; ++x)
                    if (!sink.isMasked(x, y))
                        brush.run(y, x, x);
            }
        }
    }

    if (outline && !collect)
        drawOutline();
}

// A box of logical pixels at the device scale: with an outline its corner pixels are mapped like
// line points, so that the enlarged pen covers the corner blocks; without one its edges are.
void TCanvas::scaledBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
    const std::function<void(int32_t, int32_t, int32_t, int32_t)>& draw)
{
    const int64_t left = std::min(x1, x2), right = int64_t(std::max(x1, x2)) - 1;
    const int64_t top = std::min(y1, y2), bottom = int64_t(std::max(y1, y2)) - 1;
    if (left > right || top > bottom)
        return;
    if (m_pen.Style() == TPenStyle::psClear) {
        const int32_t a = deviceEdge(int32_t(left)), b = deviceEdge(int32_t(top));
        const int32_t c = deviceEdge(std::max(x1, x2)), d = deviceEdge(std::max(y1, y2));
        const DeviceScope scope(*this);
        draw(a, b, c, d);
        return;
    }
    const TPoint first = devicePoint(int32_t(left), int32_t(top));
    const TPoint last = devicePoint(int32_t(right), int32_t(bottom));
    const DeviceScope scope(*this);
    draw(first.x, first.y, saturated(double(last.x) + 1), saturated(double(last.y) + 1));
}

void TCanvas::Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (m_vector)
        vectorBox(x1, y1, x2, y2, false);
    if (m_scale != 1.0) {
        scaledBox(x1, y1, x2, y2,
            [this](int32_t a, int32_t b, int32_t c, int32_t d) { Rectangle(a, b, c, d); });
        return;
    }
    const int64_t left = std::min(x1, x2), right = int64_t(std::max(x1, x2)) - 1;
    const int64_t top = std::min(y1, y2), bottom = int64_t(std::max(y1, y2)) - 1;
    if (left > right || top > bottom)
        return;
    const Box imageBox { 0, 0, m_image->width() - 1, m_image->height() - 1 };
    if (imageBox.empty())
        return;
    const bool outline = m_pen.Style() != TPenStyle::psClear;

    if (m_brush.Style() != TBrushStyle::bsClear) {
        const Box inner = outline ? Box { left + 1, top + 1, right - 1, bottom - 1 }
                                  : Box { left, top, right, bottom };
        const Box fill = intersect(inner, imageBox);
        if (!fill.empty()) {
            BrushSink brush(*m_image, m_brush, m_pen.Mode());
            brush.box(fill.top, fill.bottom, fill.left, fill.right);
        }
    }
    if (!outline)
        return;

    // The border pixels clockwise from the top-left corner, each once; a pixel's place in this
    // walk steps the pen pattern. Only the visible stretch of each side is visited.
    PenSink sink(*m_image, m_pen, Box { left, top, right, bottom });
    const PenPattern& pattern = patternFor(m_pen.Style());
    const Box clip = sink.clipBox();
    const int64_t w = right - left, h = bottom - top;
    auto plot = [&](int64_t x, int64_t y, int64_t position) {
        if (pattern.length == 0
            || pattern.on(patternStep(static_cast<uint64_t>(position), m_patternStretch)))
            sink.pixel(x, y);
    };
    // Top row, left to right.
    if (top >= clip.top && top <= clip.bottom)
        for (int64_t x = std::max(left, clip.left); x <= std::min(right, clip.right); ++x)
            plot(x, top, x - left);
    // Right column, downwards below the top row.
    if (right >= clip.left && right <= clip.right)
        for (int64_t y = std::max(top + 1, clip.top); y <= std::min(bottom, clip.bottom); ++y)
            plot(right, y, w + (y - top));
    // Bottom row, right to left, when it is not the top row.
    if (bottom > top && bottom >= clip.top && bottom <= clip.bottom)
        for (int64_t x = std::min(right - 1, clip.right); x >= std::max(left, clip.left); --x)
            plot(x, bottom, w + h + (right - x));
    // Left column, upwards, between the bottom and top rows, when it is not the right column.
    if (right > left && left >= clip.left && left <= clip.right)
        for (int64_t y = std::min(bottom - 1, clip.bottom); y >= std::max(top + 1, clip.top); --y)
            plot(left, y, 2 * w + h + (bottom - y));
}

void TCanvas::Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (m_vector)
        vectorBox(x1, y1, x2, y2, true);
    if (m_scale != 1.0) {
        scaledBox(x1, y1, x2, y2,
            [this](int32_t a, int32_t b, int32_t c, int32_t d) { Ellipse(a, b, c, d); });
        return;
    }
    const int64_t left = std::min(x1, x2), right = int64_t(std::max(x1, x2)) - 1;
    const int64_t top = std::min(y1, y2), bottom = int64_t(std::max(y1, y2)) - 1;
    if (left > right || top > bottom)
        return;
    const Box imageBox { 0, 0, m_image->width() - 1, m_image->height() - 1 };
    if (imageBox.empty())
        return;
    const bool outline = m_pen.Style() != TPenStyle::psClear;
    const bool fill = m_brush.Style() != TBrushStyle::bsClear;
    const EllipseRows rows(left, top, right, bottom);
    PenSink sink(*m_image, m_pen, Box { left, top, right, bottom });
    BrushSink brush(*m_image, m_brush, m_pen.Mode());
    const PenPattern& pattern = patternFor(m_pen.Style());
    const Box clip = outline ? sink.clipBox() : imageBox;

    auto outlineRun = [&](int64_t y, int64_t from, int64_t to) {
        from = std::max(from, clip.left);
        to = std::min(to, clip.right);
        for (int64_t x = from; x <= to; ++x)
            if (pattern.length == 0
                || pattern.on(patternStep(rows.arcPosition(x, y), m_patternStretch)))
                sink.pixel(x, y);
    };
    auto fillRun = [&](int64_t y, int64_t from, int64_t to) {
        if (y < imageBox.top || y > imageBox.bottom)
            return;
        from = std::max(from, imageBox.left);
        to = std::min(to, imageBox.right);
        if (from <= to)
            brush.run(y, from, to);
    };

    const int64_t yFirst = std::max(top, clip.top), yLast = std::min(bottom, clip.bottom);
    // Spans of the previous, current and next row, each computed once.
    std::pair<int64_t, int64_t> up = rows.span(yFirst - 1), current = rows.span(yFirst), down;
    for (int64_t y = yFirst; y <= yLast; ++y, up = current, current = down) {
        down = rows.span(y + 1);
        const auto [lo, hi] = current;
        if (lo > hi)
            continue;
        if (!outline) {
            if (fill)
                fillRun(y, lo, hi);
            continue;
        }
        // Interior: pixels whose four neighbours are all inside.
        int64_t innerLo = std::max({ lo + 1, up.first, down.first });
        int64_t innerHi = std::min({ hi - 1, up.second, down.second });
        if (up.first > up.second || down.first > down.second)
            innerLo = 1, innerHi = 0;
        if (innerLo > innerHi) {
            outlineRun(y, lo, hi);
            continue;
        }
        if (fill)
            fillRun(y, innerLo, innerHi);
        outlineRun(y, lo, innerLo - 1);
        outlineRun(y, innerHi + 1, hi);
    }
}

void TCanvas::FillRect(const TRect& rect)
{
    if (m_vector)
        m_vector->fillRect(
            QRectF(std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
                std::abs(double(rect.Right) - rect.Left), std::abs(double(rect.Bottom) - rect.Top)),
            ColorToQColor(m_brush.Color()));
    if (m_scale != 1.0) {
        const TRect device = Rect(deviceEdge(rect.Left), deviceEdge(rect.Top),
            deviceEdge(rect.Right), deviceEdge(rect.Bottom));
        const DeviceScope scope(*this);
        FillRect(device);
        return;
    }
    const Box imageBox { 0, 0, m_image->width() - 1, m_image->height() - 1 };
    const Box box = intersect(imageBox,
        Box { std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
            int64_t(std::max(rect.Left, rect.Right)) - 1,
            int64_t(std::max(rect.Top, rect.Bottom)) - 1 });
    if (box.empty())
        return;
    BrushSink brush(*m_image, m_brush, TPenMode::pmCopy);
    brush.box(box.top, box.bottom, box.left, box.right);
}

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

QString XmlSafeText(const QString& text)
{
    QString safe;
    safe.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            safe += c;
            safe += text[++i];
            continue;
        }
        const char16_t u = c.unicode();
        const bool allowed = u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u < 0xD800)
            || (u >= 0xE000 && u <= 0xFFFD);
        if (allowed)
            safe += c;
    }
    return safe;
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
    return metrics().height();
}

QPainter& TCanvas::textPainter()
{
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(m_image);
        m_painter->setRenderHint(QPainter::TextAntialiasing);
    }
    return *m_painter;
}

void TCanvas::EndPainting()
{
    m_painter.reset();
}

void TCanvas::drawText(int32_t x, int32_t y, const std::string& text, const QRect* clip)
{
    if (m_image->width() <= 0 || m_image->height() <= 0 || text.empty())
        return;
    // Text far outside the image is not drawn; QPainter's fixed-point coordinates do not reach
    // that far.
    constexpr int64_t limit = 1 << 22;
    if (std::abs(int64_t(x)) > limit || std::abs(int64_t(y)) > limit)
        return;
    // Nothing of a text outside the image is seen: it is not laid out (a caption of many lines
    // draws only the ones in view).
    if (x >= m_image->width() || y >= m_image->height() || int64_t(y) + metrics().height() <= 0)
        return;
    ShapedText& shapedText = shaped(text);
    if (!shapedText.laidOut) {
        shapedText.text.prepare(QTransform(), qfont());
        shapedText.laidOut = true;
    }
    if (!clip && m_brush.Style() == TBrushStyle::bsSolid)
        FillRect(Rect(x, y, x + shapedText.width, y + metrics().height()));
    QPainter& painter = textPainter();
    if (clip)
        painter.setClipRect(*clip);
    else
        painter.setClipping(false);
    painter.setFont(qfont());
    painter.setPen(ColorToQColor(m_font.Color()));
    painter.drawStaticText(QPoint(x, y), shapedText.text);
}

// The text laid out in the font enlarged by the scale, at the device pixel of its logical place;
// its background box is the logical one, enlarged. Measurements stay those of the logical font.
void TCanvas::drawTextScaled(int32_t x, int32_t y, const std::string& text, const TRect* clip)
{
    if (m_image->width() <= 0 || m_image->height() <= 0 || text.empty())
        return;
    constexpr int64_t limit = 1 << 20;
    if (std::abs(int64_t(x)) > limit || std::abs(int64_t(y)) > limit)
        return;
    if (!clip && m_brush.Style() == TBrushStyle::bsSolid)
        FillRect(Rect(x, y, x + TextWidth(text), y + metrics().height()));
    QFont font = qfont();
    font.setPixelSize(std::max(1, saturated(std::round(font.pixelSize() * m_scale))));
    QStaticText shown(displayText(text));
    shown.setTextFormat(Qt::PlainText);
    shown.prepare(QTransform(), font);
    QPainter& painter = textPainter();
    if (clip) {
        const Box imageBox { 0, 0, m_image->width() - 1, m_image->height() - 1 };
        const Box box = intersect(imageBox,
            Box { deviceEdge(clip->Left), deviceEdge(clip->Top),
                int64_t(deviceEdge(clip->Right)) - 1, int64_t(deviceEdge(clip->Bottom)) - 1 });
        if (box.empty())
            return;
        painter.setClipRect(QRect(static_cast<int>(box.left), static_cast<int>(box.top),
            static_cast<int>(box.right - box.left + 1),
            static_cast<int>(box.bottom - box.top + 1)));
    } else {
        painter.setClipping(false);
    }
    painter.setFont(font);
    painter.setPen(ColorToQColor(m_font.Color()));
    painter.drawStaticText(QPoint(deviceEdge(x), deviceEdge(y)), shown);
}

void TCanvas::TextOut(int32_t x, int32_t y, const std::string& text)
{
    if (m_vector)
        vectorText(x, y, text, nullptr);
    // The raster text fills its box through FillRect, which the vector target must not see again.
    const VectorPause rasterOnly(*this);
    if (m_scale != 1.0)
        drawTextScaled(x, y, text, nullptr);
    else
        drawText(x, y, text, nullptr);
    m_penPos
        = TPoint { static_cast<int32_t>(std::clamp<int64_t>(int64_t(x) + TextWidth(text),
                       std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max())),
              y };
}

void TCanvas::TextRect(const TRect& rect, int32_t x, int32_t y, const std::string& text)
{
    if (m_vector) {
        if (m_brush.Style() == TBrushStyle::bsSolid)
            m_vector->fillRect(QRectF(rect.Left, rect.Top, double(rect.Right) - rect.Left,
                                   double(rect.Bottom) - rect.Top),
                ColorToQColor(m_brush.Color()));
        vectorText(x, y, text, &rect);
    }
    const VectorPause rasterOnly(*this);
    if (m_scale != 1.0) {
        if (m_brush.Style() == TBrushStyle::bsSolid)
            FillRect(rect);
        drawTextScaled(x, y, text, &rect);
        return;
    }
    if (m_brush.Style() == TBrushStyle::bsSolid)
        FillRect(rect);
    const Box imageBox { 0, 0, m_image->width() - 1, m_image->height() - 1 };
    const Box box = intersect(
        imageBox, Box { rect.Left, rect.Top, int64_t(rect.Right) - 1, int64_t(rect.Bottom) - 1 });
    if (box.empty())
        return;
    const QRect clip(static_cast<int>(box.left), static_cast<int>(box.top),
        static_cast<int>(box.right - box.left + 1), static_cast<int>(box.bottom - box.top + 1));
    drawText(x, y, text, &clip);
}

void TCanvas::Draw(int32_t x, int32_t y, const TBitmap& bitmap)
{
    if (m_vector && !bitmap.Image().isNull())
        m_vector->drawImage(QRectF(x, y, bitmap.Width(), bitmap.Height()), bitmap.Image());
    if (m_scale != 1.0) {
        const int32_t dx = deviceEdge(x), dy = deviceEdge(y);
        const DeviceScope scope(*this);
        Draw(dx, dy, bitmap);
        return;
    }
    ++m_drawCount;
    const QImage& source = bitmap.Image();
    const Box imageBox { 0, 0, m_image->width() - 1, m_image->height() - 1 };
    const Box target = intersect(
        imageBox, Box { x, y, int64_t(x) + source.width() - 1, int64_t(y) + source.height() - 1 });
    if (target.empty() || source.isNull() || &source == m_image)
        return;
    const size_t count = static_cast<size_t>(target.right - target.left + 1);
    // The rows are reached by stride from one pointer each: scanLine() checks for sharing on
    // every call.
    const auto* sourceBits = reinterpret_cast<const uint32_t*>(source.constBits());
    auto* targetBits = reinterpret_cast<uint32_t*>(m_image->bits());
    const qsizetype sourceStride = source.bytesPerLine() / 4,
                    targetStride = m_image->bytesPerLine() / 4;
    for (int64_t row = target.top; row <= target.bottom; ++row) {
        const uint32_t* from = sourceBits + (row - y) * sourceStride + (target.left - x);
        uint32_t* to = targetBits + row * targetStride + target.left;
        if (m_copyMode == TCopyMode::cmSrcCopy) {
            std::memcpy(to, from, count * sizeof(uint32_t));
        } else {
            for (size_t i = 0; i < count; ++i)
                to[i] &= from[i];
        }
    }
}

TColor TCanvas::Pixel(int32_t x, int32_t y) const
{
    if (m_scale != 1.0) {
        if (x < 0 || y < 0 || x >= m_logicalWidth || y >= m_logicalHeight)
            return clWhite;
        const int32_t dx = std::min(deviceEdge(x), m_image->width() - 1);
        const int32_t dy = std::min(deviceEdge(y), m_image->height() - 1);
        return RGBToColor(m_image->pixel(dx, dy));
    }
    if (x < 0 || y < 0 || x >= m_image->width() || y >= m_image->height())
        return clWhite;
    return RGBToColor(m_image->pixel(x, y));
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

// ---------------------------------------------------------------------------------------------
// TBitmap

TBitmap::TBitmap()
    : m_canvas(&m_image)
{
}

TBitmap::TBitmap(int32_t width, int32_t height)
    : TBitmap()
{
    SetSize(width, height);
}

void TBitmap::SetSize(int32_t width, int32_t height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    allocate();
}

void TBitmap::SetScale(double scale)
{
    scale = std::isfinite(scale) ? std::clamp(scale, minScale, maxScale) : 1.0;
    if (scale == m_scale)
        return;
    m_scale = scale;
    allocate();
}

int32_t TBitmap::ScaledSize(int32_t logical, double scale)
{
    return scale == 1.0 ? logical : saturated(std::round(logical * scale));
}

void TBitmap::allocate()
{
    m_canvas.EndPainting();
    const int32_t width = ScaledSize(m_width, m_scale);
    const int32_t height = ScaledSize(m_height, m_scale);
    // An image with no pixels is null in Qt; the canvas clips everything against it.
    m_image = (width <= 0 || height <= 0) ? QImage() : QImage(width, height, QImage::Format_RGB32);
    if (!m_image.isNull())
        m_image.fill(0xFFFFFFFFu);
    m_canvas.SetScale(m_scale, m_width, m_height);
}

} // namespace znq
