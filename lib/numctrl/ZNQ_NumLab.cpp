#include "ZNQ_NumLab.h"
#include "numlab_accessible.h"

#include "znq_application.h"

#include "base_helpers.h"

#include <QEvent>
#include <QMetaMethod>
#include <QPainter>
#include <algorithm>
#include <cstdint>

namespace znq {

namespace {
    // A text with the tallest ascenders and deepest descenders of the font ("(8g]}ÜÄ§"): its
    // height is the cell height every text of the control is centred by.
    const std::string sampleText = "(8g]}\xC3\x9C\xC3\x84\xC2\xA7";

    // Layout sums such as LeftSpace + LabelWidth are formed in 64 bits (LabelWidth is stored
    // without bounds) and then limited to a range the canvas takes without overflow; anything
    // that far out is clipped away anyway.
    int32_t pixel(int64_t value)
    {
        constexpr int64_t limit = int64_t(1) << 30;
        return static_cast<int32_t>(std::clamp(value, -limit, limit));
    }

    std::string className(const QObject* object)
    {
        return object ? object->metaObject()->className() : "null object";
    }
} // namespace

TNumLab::TNumLab(QWidget* parent)
    : TGraphicControl(parent)
{
    InstallAccessible<TNumLab, TNumLabAccessible>();
    m_notice = new TAccessibleNotice(this, [this] { return QString::fromStdString(ShownText()); });
    SetBounds(Left(), Top(), 160, 28);
    // The change signals start from the defaults.
    notifyProperties();
}

template <typename T> void TNumLab::setAndRepaint(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    notifyProperties();
    Paint();
}

void TNumLab::notifyProperties()
{
    NotifyIfChanged(*this, m_told.Alignment, Alignment(), &TNumLab::alignmentChanged);
    NotifyIfChanged(*this, m_told.ColorLabBakG, ColorLabBakG(), &TNumLab::colorLabBakGChanged);
    NotifyIfChanged(*this, m_told.ColorLabText, ColorLabText(), &TNumLab::colorLabTextChanged);
    NotifyIfChanged(*this, m_told.ColorOutBakG, ColorOutBakG(), &TNumLab::colorOutBakGChanged);
    NotifyIfChanged(*this, m_told.ColorOutText, ColorOutText(), &TNumLab::colorOutTextChanged);
    NotifyIfChanged(*this, m_told.ColorScheme, ColorScheme(), &TNumLab::colorSchemeChanged);
    NotifyIfChanged(*this, m_told.Comma, Comma(), &TNumLab::commaChanged);
    NotifyIfChanged(*this, m_told.DisplayType, DisplayType(), &TNumLab::displayTypeChanged);
    NotifyIfChanged(*this, m_told.DTFormat, DTFormat(), &TNumLab::dtFormatChanged);
    NotifyIfChanged(*this, m_told.Empty, Empty(), &TNumLab::emptyChanged);
    NotifyIfChanged(*this, m_told.Enabled, Enabled(), &TNumLab::enabledChanged);
    NotifyIfChanged(*this, m_told.ForcePlusSign, ForcePlusSign(), &TNumLab::forcePlusSignChanged);
    NotifyIfChanged(*this, m_told.FrameStyle, FrameStyle(), &TNumLab::frameStyleChanged);
    NotifyIfChanged(*this, m_told.LabelWidth, LabelWidth(), &TNumLab::labelWidthChanged);
    NotifyIfChanged(*this, m_told.LeftSpace, LeftSpace(), &TNumLab::leftSpaceChanged);
    NotifyIfChanged(*this, m_told.LeftText, LeftText(), &TNumLab::leftTextChanged);
    NotifyIfChanged(
        *this, m_told.LeftTextAlignment, LeftTextAlignment(), &TNumLab::leftTextAlignmentChanged);
    NotifyIfChanged(
        *this, m_told.OverflowIndicator, OverflowIndicator(), &TNumLab::overflowIndicatorChanged);
    NotifyIfChanged(*this, m_told.Precision, Precision(), &TNumLab::precisionChanged);
    NotifyIfChanged(*this, m_told.RightText, RightText(), &TNumLab::rightTextChanged);
    NotifyIfChanged(*this, m_told.RightTextAlignment, RightTextAlignment(),
        &TNumLab::rightTextAlignmentChanged);
    NotifyIfChanged(*this, m_told.StateText, StateText(), &TNumLab::stateTextChanged);
    NotifyIfChanged(*this, m_told.Transparent, Transparent(), &TNumLab::transparentChanged);
    NotifyIfChanged(*this, m_told.Value, Value(), &TNumLab::valueChanged);
}

void TNumLab::SetAlignment(TAlignment value)
{
    helpers::RequireKnownEnum(Name(), "Alignment", value);
    setAndRepaint(m_alignment, value);
}

void TNumLab::SetColorLabBakG(TColor value)
{
    setAndRepaint(m_colorLabBakG, value);
}

void TNumLab::SetColorLabText(TColor value)
{
    setAndRepaint(m_colorLabText, value);
}

void TNumLab::SetColorOutBakG(TColor value)
{
    setAndRepaint(m_colorOutBakG, value);
}

void TNumLab::SetColorOutText(TColor value)
{
    setAndRepaint(m_colorOutText, value);
}

void TNumLab::SetColorScheme(TColorScheme value)
{
    helpers::RequireKnownEnum(Name(), "ColorScheme", value);
    if (value == m_colorScheme)
        return;
    m_colorScheme = value;
    if (value == TColorScheme::csSystem) {
        m_frameShadowColor = clBtnShadow;
        m_frameHighlightColor = clBtnHighlight;
    } else {
        m_frameShadowColor = clGray;
        m_frameHighlightColor = clWhite;
    }
    notifyProperties();
    Paint();
}

void TNumLab::SetComma(bool value)
{
    setAndRepaint(m_settings.Comma, value);
}

void TNumLab::SetDisplayType(TDisplay value)
{
    helpers::RequireKnownEnum(Name(), "DisplayType", value);
    setAndRepaint(m_settings.DisplayType, value);
}

void TNumLab::SetDTFormat(const std::string& value)
{
    setAndRepaint(m_settings.DTFormat, value);
}

void TNumLab::SetEmpty(bool value)
{
    setAndRepaint(m_empty, value);
}

void TNumLab::SetEnabled(bool value)
{
    TControl::SetEnabled(value);
    notifyProperties();
    Paint();
}

void TNumLab::SetForcePlusSign(bool value)
{
    setAndRepaint(m_settings.ForcePlusSign, value);
}

void TNumLab::SetFrameStyle(TFrameStyle value)
{
    helpers::RequireKnownEnum(Name(), "FrameStyle", value);
    setAndRepaint(m_frameStyle, value);
}

void TNumLab::SetLabelWidth(int value)
{
    setAndRepaint(m_settings.LabelWidth, value);
}

void TNumLab::SetLeftSpace(int value)
{
    if (value < 0 || value == m_leftSpace)
        return;
    m_leftSpace = std::min(value, Width());
    notifyProperties();
    Paint();
}

void TNumLab::SetLeftText(const std::string& value)
{
    setAndRepaint(m_leftText, value);
}

void TNumLab::SetLeftTextAlignment(TAlignment value)
{
    helpers::RequireKnownEnum(Name(), "LeftTextAlignment", value);
    setAndRepaint(m_leftTextAlignment, value);
}

void TNumLab::SetOverflowIndicator(const std::string& value)
{
    setAndRepaint(m_settings.OverflowIndicator, value);
}

void TNumLab::SetPrecision(int value)
{
    if (value < 0 || value == m_settings.Precision)
        return;
    m_settings.Precision = std::min(value, 15);
    notifyProperties();
    Paint();
}

void TNumLab::SetRightText(const std::string& value)
{
    setAndRepaint(m_rightText, value);
}

void TNumLab::SetRightTextAlignment(TAlignment value)
{
    helpers::RequireKnownEnum(Name(), "RightTextAlignment", value);
    setAndRepaint(m_rightTextAlignment, value);
}

void TNumLab::SetStateText(const std::string& value)
{
    setAndRepaint(m_settings.StateText, value);
}

void TNumLab::SetTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    notifyProperties();
    // A transparent label is combined with the parent's picture when the widget is painted, so
    // it waits for that; an opaque one has everything it needs at once.
    if (value)
        Invalidate();
    else
        Paint();
}

void TNumLab::SetValue(double value)
{
    // Written as "neither below nor above" so that NaN, which compares unordered, changes
    // nothing.
    if (!(value < m_settings.Value || value > m_settings.Value))
        return;
    m_settings.Value = value;
    // Only the value can have changed: its signal alone, as this path is the hot one.
    NotifyIfChanged(*this, m_told.Value, m_settings.Value, &TNumLab::valueChanged);
    // A read-out that follows the mouse gets many values that show the same text; its picture is
    // then right as it stands. A display hook may change any text, so with one it always paints.
    static const QMetaMethod hookSignal = QMetaMethod::fromSignal(&TNumLab::beforeDisplay);
    if (m_shownText && !OnBeforeDisplay && !isSignalConnected(hookSignal) && !m_empty) {
        if (valueText() == *m_shownText)
            return;
    }
    Paint();
}

void TNumLab::Assign(const QObject* source)
{
    const auto* other = qobject_cast<const TNumLab*>(source);
    if (!other) {
        throw EZNQError("Cannot assign a " + className(source) + " to a " + className(this));
    }
    m_leftSpace = other->m_leftSpace;
    m_empty = other->m_empty;
    m_settings.LabelWidth = other->m_settings.LabelWidth;
    m_settings.Precision = other->m_settings.Precision;
    m_leftText = other->m_leftText;
    m_rightText = other->m_rightText;
    m_frameStyle = other->m_frameStyle;
    m_alignment = other->m_alignment;
    m_rightTextAlignment = other->m_rightTextAlignment;
    m_leftTextAlignment = other->m_leftTextAlignment;
    m_settings.OverflowIndicator = other->m_settings.OverflowIndicator;
    m_settings.Value = other->m_settings.Value;
    m_settings.StateText = other->m_settings.StateText;
    m_transparent = other->m_transparent;
    m_colorLabBakG = other->m_colorLabBakG;
    m_colorLabText = other->m_colorLabText;
    m_colorOutBakG = other->m_colorOutBakG;
    m_colorOutText = other->m_colorOutText;
    m_frameShadowColor = other->m_frameShadowColor;
    m_frameHighlightColor = other->m_frameHighlightColor;
    m_colorScheme = other->m_colorScheme;
    m_settings.DisplayType = other->m_settings.DisplayType;
    notifyProperties();
    Paint();
}

void TNumLab::AssignTo(QObject* dest) const
{
    // Only a TNumLab has an Assign that understands this label; handing a label to a base class
    // of it would come straight back here, so that is an error like any other mismatch.
    auto* label = qobject_cast<TNumLab*>(dest);
    if (label && metaObject()->inherits(dest->metaObject())) {
        label->Assign(this);
        return;
    }
    throw EZNQError("Cannot assign a " + className(this) + " to a " + className(dest));
}

void TNumLab::FontChanged()
{
    Paint();
}

void TNumLab::changeEvent(QEvent* event)
{
    TGraphicControl::changeEvent(event);
    // The parent's enabled state reaches the label here; its own setter repaints by itself.
    if (event->type() == QEvent::EnabledChange) {
        notifyProperties();
        Invalidate();
    }
}

void TNumLab::presentBacking(QPainter& painter)
{
    if (m_transparent)
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    TGraphicControl::presentBacking(painter);
}

// One side text at (x, y). Disabled, it is engraved: a white copy one pixel lower and one to the
// right (to the left for a right-justified right text), the grey text on top, without cell fill.
void TNumLab::drawSideText(
    TCanvas& canvas, const std::string& text, int x, int y, bool rightJustified)
{
    if (isEnabled()) {
        canvas.Font().SetColor(m_colorOutText);
        canvas.TextOut(x, y, text);
        return;
    }
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Font().SetColor(clWhite);
    canvas.TextOut(rightJustified ? x - 1 : x + 1, y + 1, text);
    canvas.Font().SetColor(clGray);
    canvas.TextOut(x, y, text);
}

// Measured on the off-screen canvas in the label's font, which the last paint left there, so that
// a text measured for the comparison in SetValue is laid out only once.
std::string TNumLab::valueText()
{
    TCanvas& canvas = m_bitmap.Canvas();
    return NumLabText(
        m_settings, SystemLocaleInfo(),
        [this](std::string& shown) {
            if (OnBeforeDisplay)
                OnBeforeDisplay(this, shown);
            Q_EMIT beforeDisplay(&shown);
        },
        [&canvas](const std::string& shown) { return canvas.TextWidth(shown); });
}

void TNumLab::Paint()
{
    if (!Visible() && !Designing()) {
        // Painted when it is shown again.
        if (!isVisible())
            Invalidate();
        return;
    }
    // A display hook that changes the read-out asks for a paint: it follows this one.
    runPaint([this] {
        fitBacking();
        ++m_paintCount;
        // The texts' row, from the control canvas's metrics of the label's font.
        TCanvas& control = Canvas();
        control.Font().Assign(Font());
        const int32_t y = pixel((int64_t(Height()) - control.TextHeight(sampleText)) / 2);
        TCanvas& canvas = preparePicture();
        drawSideTexts(canvas, y);
        drawBox(canvas);
        drawValue(canvas, y);
        presentPicture();
    });
    // Assistive tools hear of a new text after the paint, at most ten times a second.
    m_notice->Changed();
}

// The off-screen picture is kept between paints with its canvas, which keeps the laid-out texts;
// every paint starts from a new canvas's pen, brush and copy mode and covers every pixel with the
// background. The canvas keeps the label's font afterwards, for measuring the next value. At the
// control's resolution: on a screen of more device pixels than logical ones the picture is drawn
// at the device's scale.
TCanvas& TNumLab::preparePicture()
{
    const int32_t width = pixel(Width()), height = pixel(Height());
    m_bitmap.SetScale(Canvas().Scale());
    m_bitmap.SetSize(width, height);
    TCanvas& canvas = m_bitmap.Canvas();
    canvas.Pen() = TPen();
    canvas.Brush() = TBrush();
    canvas.SetCopyMode(TCopyMode::cmSrcCopy);
    canvas.Font().Assign(Font());

    const TColor background = m_transparent ? clWhite : m_colorOutBakG;
    canvas.Pen().SetColor(background);
    canvas.Brush().SetColor(background);
    canvas.Rectangle(0, 0, width, height);
    return canvas;
}

// The left text in the space left of the box, the right text in the space right of it, each by
// its alignment.
void TNumLab::drawSideTexts(TCanvas& canvas, int32_t y)
{
    const int64_t width = Width(), leftSpace = m_leftSpace, labelWidth = m_settings.LabelWidth;
    {
        const int64_t tw = canvas.TextWidth(m_leftText);
        int64_t x = 7;
        if (m_leftTextAlignment == TAlignment::taRightJustify)
            x = leftSpace - tw - 5;
        else if (m_leftTextAlignment == TAlignment::taCenter)
            x = (leftSpace - tw) / 2;
        drawSideText(canvas, m_leftText, pixel(x), y, false);
    }
    {
        const int64_t tw = canvas.TextWidth(m_rightText);
        int64_t x = leftSpace + labelWidth + 7;
        if (m_rightTextAlignment == TAlignment::taRightJustify)
            x = width - tw - 6;
        else if (m_rightTextAlignment == TAlignment::taCenter)
            x = leftSpace + labelWidth + 1 + (width - leftSpace - labelWidth - tw) / 2;
        drawSideText(
            canvas, m_rightText, pixel(x), y, m_rightTextAlignment == TAlignment::taRightJustify);
    }
}

// The pen colour only matters to the caller's state: DrawFrame sets its own colours. The brush
// keeps its style, so a disabled label leaves the box interior unfilled.
void TNumLab::drawBox(TCanvas& canvas)
{
    const int64_t leftSpace = m_leftSpace, labelWidth = m_settings.LabelWidth;
    if (m_frameStyle == TFrameStyle::fsNone)
        canvas.Pen().SetColor(m_colorLabBakG);
    else if (m_frameStyle == TFrameStyle::fsEmbossed)
        canvas.Pen().SetColor(m_frameHighlightColor);
    else
        canvas.Pen().SetColor(m_frameShadowColor);
    const TBrushStyle brushStyle = canvas.Brush().Style();
    canvas.Brush().SetColor(m_colorLabBakG);
    canvas.Brush().SetStyle(brushStyle);
    DrawFrame(canvas, m_frameStyle, pixel(leftSpace + 1), 0, pixel(leftSpace + labelWidth),
        pixel(int64_t(Height()) - 2), clWhite, clSilver, clGray, clBlack, clBlack);
}

// The value text in the box by its alignment, clipped to the box's inside; nothing while Empty.
void TNumLab::drawValue(TCanvas& canvas, int32_t y)
{
    m_shownText.reset();
    if (m_empty)
        return;
    const int64_t leftSpace = m_leftSpace, labelWidth = m_settings.LabelWidth;
    const std::string text = valueText();
    m_shownText = text;
    canvas.Font().SetColor(isEnabled() ? m_colorLabText : clBtnShadow);
    const int64_t tw = canvas.TextWidth(text);
    int64_t x = leftSpace + 2 + (labelWidth - tw) / 2;
    if (m_alignment == TAlignment::taLeftJustify)
        x = leftSpace + 4;
    else if (m_alignment == TAlignment::taRightJustify)
        x = leftSpace + labelWidth - 2 - tw;
    const TRect clip = Rect(
        pixel(leftSpace + 3), 2, pixel(leftSpace + labelWidth - 1), pixel(int64_t(Height()) - 3));
    canvas.TextRect(clip, pixel(x), y, text);
}

// The picture onto the control's canvas: by plain copy, or for a transparent label by AND onto a
// canvas that stands for the parent's picture, which presentBacking ANDs this image onto; white is
// neutral there. The box is cleared to its background first (or to white for a coloured text),
// then the picture is ANDed on, so its white background lets the parent show through.
void TNumLab::presentPicture()
{
    TCanvas& control = Canvas();
    if (m_transparent) {
        const int64_t leftSpace = m_leftSpace, labelWidth = m_settings.LabelWidth;
        const int32_t width = pixel(Width()), height = pixel(Height());
        control.Pen().SetColor(clWhite);
        control.Brush().SetColor(clWhite);
        control.Rectangle(0, 0, width, height);
        const TColor box = m_colorLabText == clBlack ? m_colorLabBakG : clWhite;
        control.Pen().SetColor(box);
        control.Brush().SetColor(box);
        control.Rectangle(
            pixel(leftSpace + 2), 2, pixel(leftSpace + labelWidth), pixel(int64_t(Height()) - 2));
        control.SetCopyMode(TCopyMode::cmSrcAnd);
    } else {
        control.SetCopyMode(TCopyMode::cmSrcCopy);
    }
    control.Draw(0, 0, m_bitmap);
    canvasPainted();
}

} // namespace znq
