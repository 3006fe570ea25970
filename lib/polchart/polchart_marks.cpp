// Crosshairs and text labels: their properties with change notification, and the chart's access
// to them.
#include "polchart_rooms.h"

namespace znq {

// ---------------------------------------------------------------------------------------------
// TpcCrossHair

TpcCrossHair::TpcCrossHair(QObject* parent)
    : QObject(parent)
{
}

void TpcCrossHair::changed()
{
    if (OnChange)
        OnChange(this);
}

template <typename T> void TpcCrossHair::store(T& field, T value)
{
    field = value;
    changed();
}

void TpcCrossHair::SetPosRad(double value)
{
    m_snappedIndex = -1;
    store(m_posRad, value);
}

void TpcCrossHair::SetPosPhi(double value)
{
    m_snappedIndex = -1;
    store(m_posPhi, value);
}

void TpcCrossHair::SetColor(TColor value)
{
    store(m_color, value);
}

void TpcCrossHair::SetMode(TpcCrossHMode value)
{
    RequireKnown(*this, "Mode", value);
    store(m_mode, value);
}

void TpcCrossHair::SetLineType(TPenStyle value)
{
    RequireKnown(*this, "LineType", value);
    store(m_lineType, value);
}

void TpcCrossHair::SetLineWid(int32_t value)
{
    store(m_lineWid, value);
}

void TpcCrossHair::SetPosition(double rad, double phi)
{
    if (m_snapToData && m_chart) {
        placeOn(m_chart->NearestElement(rad, phi));
    } else {
        m_posRad = rad;
        m_posPhi = phi;
        m_snappedIndex = -1;
    }
    changed();
}

void TpcCrossHair::SetSnapToData(bool value)
{
    m_snapToData = value;
    if (value && m_chart)
        placeOn(m_chart->NearestElement(m_posRad, m_posPhi));
    changed();
}

// With nothing drawn the crosshair stays where it is.
void TpcCrossHair::placeOn(int32_t index)
{
    m_snappedIndex = index;
    if (index < 0)
        return;
    const TpcDataElement& element = m_chart->Element(index);
    m_posRad = element.Rad;
    m_posPhi = element.Phi;
}

void TpcCrossHair::movePositionSilently(double rad, double phi)
{
    m_posRad = rad;
    m_posPhi = phi;
    m_snappedIndex = -1;
}

bool TpcCrossHair::snapSilentlyToPixel(TPoint pixel)
{
    if (!m_snapToData || !m_chart)
        return false;
    const int32_t index = m_chart->rooms().BuiltSnapIndex().Nearest(pixel);
    if (index < 0)
        return false;
    placeOn(index);
    return true;
}

void TpcCrossHair::copyValuesFrom(const TpcCrossHair& source)
{
    m_posRad = source.m_posRad;
    m_posPhi = source.m_posPhi;
    m_color = source.m_color;
    m_mode = source.m_mode;
    m_lineType = source.m_lineType;
    m_lineWid = source.m_lineWid;
    m_snapToData = source.m_snapToData;
    m_snappedIndex = source.m_snappedIndex;
}

// ---------------------------------------------------------------------------------------------
// TpcTextLabel

TpcTextLabel::TpcTextLabel(QObject* parent)
    : QObject(parent)
    , m_font(std::make_unique<TFont>())
{
}

void TpcTextLabel::changed()
{
    if (OnChange)
        OnChange(this);
}

template <typename T> void TpcTextLabel::store(T& field, T value)
{
    field = value;
    changed();
}

void TpcTextLabel::SetPosRad(double value)
{
    store(m_posRad, value);
}

void TpcTextLabel::SetPosPhi(double value)
{
    store(m_posPhi, value);
}

void TpcTextLabel::SetShadowDx(int32_t value)
{
    store(m_shadowDx, value);
}

void TpcTextLabel::SetShadowDy(int32_t value)
{
    store(m_shadowDy, value);
}

void TpcTextLabel::SetColorShadow(TColor value)
{
    store(m_colorShadow, value);
}

void TpcTextLabel::SetAlignment(TAlignment value)
{
    RequireKnown(*this, "Alignment", value);
    store(m_alignment, value);
}

void TpcTextLabel::SetAttachToData(bool value)
{
    store(m_attachToData, value);
}

void TpcTextLabel::SetColorBkg(TColor value)
{
    store(m_colorBkg, value);
}

void TpcTextLabel::SetColorBorder(TColor value)
{
    store(m_colorBorder, value);
}

void TpcTextLabel::SetTransparent(bool value)
{
    store(m_transparent, value);
}

void TpcTextLabel::SetFont(const TFont& font)
{
    m_font->Assign(font);
    changed();
}

void TpcTextLabel::SetCaption(const std::string& value)
{
    m_caption = value;
    changed();
}

void TpcTextLabel::SetVisible(bool value)
{
    store(m_visible, value);
}

void TpcTextLabel::SetMode(TTxtLblMode value)
{
    RequireKnown(*this, "Mode", value);
    store(m_mode, value);
}

void TpcTextLabel::movePositionSilently(double rad, double phi)
{
    m_posRad = rad;
    m_posPhi = phi;
}

// ---------------------------------------------------------------------------------------------
// The chart's access

TpcCrossHair* TCustomPolChart::CrossHair(int index) const
{
    if (index < 1 || index > CrossHairCount)
        throw EZNQPolChartError(Name(), ": invalid index into CrossHair array");
    return rooms().CrossHairs[size_t(index - 1)];
}

TpcTextLabel* TCustomPolChart::TextLabel(int index) const
{
    if (index < 1 || index > TextLabelCount)
        throw EZNQPolChartError(Name(), ": invalid index into TextLabel array");
    return rooms().TextLabels[size_t(index - 1)];
}

void TCustomPolChart::assignCrossHair(int index, TpcCrossHair* source)
{
    TpcCrossHair* own = CrossHair(index);
    if (!own || !source || source == own)
        return;
    own->copyValuesFrom(*source);
    Q_EMIT crossHairsChanged();
    rooms().RedrawIfAuto();
}

int TCustomPolChart::AddTextLabel(
    TColor color, const std::string& caption, double rad, double phi, int templateIndex)
{
    if (templateIndex < 1 || templateIndex > TextLabelCount)
        templateIndex = 0;
    rooms().ChartChanged();
    int slot = 0;
    for (int i = 1; i <= TextLabelCount && slot == 0; ++i)
        if (rooms().TextLabels[size_t(i - 1)]->m_mode == TTxtLblMode::tlOff)
            slot = i;
    if (slot == 0)
        return 0;

    TpcTextLabel& label = *rooms().TextLabels[size_t(slot - 1)];
    label.m_posRad = rad;
    label.m_posPhi = phi;
    TTxtLblMode mode = TTxtLblMode::tlsimple;
    if (templateIndex != 0) {
        // Copied field by field, so a label used as its own template keeps its style.
        const TpcTextLabel& model = *rooms().TextLabels[size_t(templateIndex - 1)];
        label.m_attachToData = model.m_attachToData;
        label.m_alignment = model.m_alignment;
        label.m_colorBkg = model.m_colorBkg;
        label.m_shadowDx = model.m_shadowDx;
        label.m_shadowDy = model.m_shadowDy;
        label.m_colorShadow = model.m_colorShadow;
        label.m_colorBorder = model.m_colorBorder;
        label.m_transparent = model.m_transparent;
        if (model.m_mode != TTxtLblMode::tlOff)
            mode = model.m_mode;
    } else {
        label.m_attachToData = true;
        label.m_alignment = TAlignment::taCenter;
        label.m_colorBkg = rooms().Style.ChartColor;
        label.m_shadowDx = 0;
        label.m_shadowDy = 0;
        label.m_colorShadow = clSilver;
        label.m_colorBorder = rooms().Style.ScaleColor;
        label.m_transparent = false;
    }
    label.m_caption = caption;
    label.m_font->SetColor(color);
    label.m_mode = mode;
    return slot;
}

} // namespace znq
