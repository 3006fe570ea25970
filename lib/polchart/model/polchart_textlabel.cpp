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
    notifyProperties();
    if (OnChange)
        OnChange(this);
}

void TpcTextLabel::notifyProperties()
{
    NotifyIfChanged(*this, m_told.PosRad, m_posRad, &TpcTextLabel::posRadChanged);
    NotifyIfChanged(*this, m_told.PosPhi, m_posPhi, &TpcTextLabel::posPhiChanged);
    NotifyIfChanged(*this, m_told.ShadowDx, m_shadowDx, &TpcTextLabel::shadowDxChanged);
    NotifyIfChanged(*this, m_told.ShadowDy, m_shadowDy, &TpcTextLabel::shadowDyChanged);
    NotifyIfChanged(*this, m_told.ColorShadow, m_colorShadow, &TpcTextLabel::colorShadowChanged);
    NotifyIfChanged(*this, m_told.Alignment, m_alignment, &TpcTextLabel::alignmentChanged);
    NotifyIfChanged(*this, m_told.AttachToData, m_attachToData, &TpcTextLabel::attachToDataChanged);
    NotifyIfChanged(*this, m_told.ColorBkg, m_colorBkg, &TpcTextLabel::colorBkgChanged);
    NotifyIfChanged(*this, m_told.ColorBorder, m_colorBorder, &TpcTextLabel::colorBorderChanged);
    NotifyIfChanged(*this, m_told.Transparent, m_transparent, &TpcTextLabel::transparentChanged);
    NotifyIfChanged(*this, m_told.Caption, m_caption, &TpcTextLabel::captionChanged);
    NotifyIfChanged(*this, m_told.Visible, m_visible, &TpcTextLabel::visibleChanged);
    NotifyIfChanged(*this, m_told.Mode, m_mode, &TpcTextLabel::modeChanged);
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
    notifyProperties();
}

} // namespace znq
