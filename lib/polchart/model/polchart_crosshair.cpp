// The crosshair: its properties with change notification, and its placing on the data.
#include "polchart_crosshair.h"
#include "model/polchart_chart_link.h"

namespace znq {

TpcCrossHair::TpcCrossHair(QObject* parent)
    : QObject(parent)
{
}

void TpcCrossHair::changed()
{
    notifyProperties();
    if (OnChange)
        OnChange(this);
}

void TpcCrossHair::notifyProperties()
{
    NotifyIfChanged(*this, m_told.PosRad, m_posRad, &TpcCrossHair::posRadChanged);
    NotifyIfChanged(*this, m_told.PosPhi, m_posPhi, &TpcCrossHair::posPhiChanged);
    NotifyIfChanged(*this, m_told.Color, m_color, &TpcCrossHair::colorChanged);
    NotifyIfChanged(*this, m_told.Mode, m_mode, &TpcCrossHair::modeChanged);
    NotifyIfChanged(*this, m_told.LineType, m_lineType, &TpcCrossHair::lineTypeChanged);
    NotifyIfChanged(*this, m_told.LineWid, m_lineWid, &TpcCrossHair::lineWidChanged);
    NotifyIfChanged(*this, m_told.SnapToData, m_snapToData, &TpcCrossHair::snapToDataChanged);
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
    RequireKnown(RefusingName(m_link, *this), "Mode", value);
    store(m_mode, value);
}

void TpcCrossHair::SetLineType(TPenStyle value)
{
    RequireKnown(RefusingName(m_link, *this), "LineType", value);
    store(m_lineType, value);
}

void TpcCrossHair::SetLineWid(int32_t value)
{
    store(m_lineWid, value);
}

void TpcCrossHair::SetPosition(double rad, double phi)
{
    if (m_snapToData && m_link) {
        placeOn(m_link->ElementNearest(rad, phi));
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
    if (value && m_link)
        placeOn(m_link->ElementNearest(m_posRad, m_posPhi));
    changed();
}

// With nothing drawn the crosshair stays where it is.
void TpcCrossHair::placeOn(int32_t index)
{
    m_snappedIndex = index;
    if (index < 0)
        return;
    const TpcDataElement& element = m_link->StoredElement(index);
    m_posRad = element.Rad;
    m_posPhi = element.Phi;
    notifyProperties();
}

void TpcCrossHair::movePositionSilently(double rad, double phi)
{
    m_posRad = rad;
    m_posPhi = phi;
    m_snappedIndex = -1;
    notifyProperties();
}

bool TpcCrossHair::snapSilentlyToPixel(TPoint pixel)
{
    if (!m_snapToData || !m_link)
        return false;
    const int32_t index = m_link->ElementNearestPixel(pixel);
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
    notifyProperties();
}

} // namespace znq
