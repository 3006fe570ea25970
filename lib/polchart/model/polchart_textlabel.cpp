// The text label: its properties with change notification.
#include "polchart_textlabel.h"
#include "model/polchart_chart_link.h"

namespace znq {

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
    RequireKnown(RefusingName(m_link, *this), "Alignment", value);
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
    RequireKnown(RefusingName(m_link, *this), "Mode", value);
    store(m_mode, value);
}

void TpcTextLabel::movePositionSilently(double rad, double phi)
{
    m_posRad = rad;
    m_posPhi = phi;
}

} // namespace znq
