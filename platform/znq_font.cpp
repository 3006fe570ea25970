// Colours, fonts and the text helpers of the drawing surface.
#include "znq_graphics.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace znq {

namespace {

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
    NotifyIfChanged(*this, m_told.Name, m_name, &TFont::nameChanged);
    NotifyIfChanged(*this, m_told.Size, Size(), &TFont::sizeChanged);
    NotifyIfChanged(*this, m_told.Height, m_height, &TFont::heightChanged);
    NotifyIfChanged(*this, m_told.Color, m_color, &TFont::colorChanged);
    NotifyIfChanged(*this, m_told.Style, m_style, &TFont::styleChanged);
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

} // namespace znq
