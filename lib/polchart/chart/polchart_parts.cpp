// The chart's parts by index and by kind: crosshairs, text labels (a new one from a template),
// class styles, the legend, the bars, the raster and the sweep; and the link by which they reach
// the chart.
#include "chart/polchart_rooms.h"

namespace znq {

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
    label.notifyProperties();
    return slot;
}

TpcClassStyle* TCustomPolChart::ClassStyle(int elemClass)
{
    if (elemClass < 0 || elemClass > 255)
        throw EZNQPolChartError(
            Name(), ": a class lies between 0 and 255: " + std::to_string(elemClass));
    TpcClassStyle*& style = rooms().ClassStyles[size_t(elemClass)];
    if (!style) {
        style = new TpcClassStyle(elemClass, this);
        style->m_link = &rooms();
        // A style changes how the data are drawn, as showing or hiding a class does.
        connect(style, &TpcClassStyle::changed, this, [this] {
            rooms().DataChanged();
            rooms().RedrawIfAuto();
        });
    }
    return style;
}

TpcLegend* TCustomPolChart::Legend() const
{
    return rooms().Legend;
}

TpcBars* TCustomPolChart::Bars() const
{
    return rooms().Bars;
}

TpcRaster* TCustomPolChart::Raster() const
{
    return rooms().Raster;
}

TpcSweep* TCustomPolChart::Sweep() const
{
    return rooms().Sweep;
}

// ---------------------------------------------------------------------------------------------
// The layers' objects, bound to their chart and linked to it from the start

TpcBars::TpcBars(TCustomPolChart* chart)
    : QObject(chart)
    , m_chart(chart)
    , m_link(chart ? &chart->rooms() : nullptr)
{
}

TpcRaster::TpcRaster(TCustomPolChart* chart)
    : QObject(chart)
    , m_chart(chart)
    , m_link(chart ? &chart->rooms() : nullptr)
{
}

TpcSweep::TpcSweep(TCustomPolChart* chart)
    : QObject(chart)
    , m_chart(chart)
    , m_link(chart ? &chart->rooms() : nullptr)
{
    // At most 60 redraws a second while anything fades: one every 17 ms.
    m_timer.setInterval(17);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
}

// ---------------------------------------------------------------------------------------------
// The link the parts reach the chart by

std::string TpcChartRooms::ChartName() const
{
    return Chart.Name();
}

TpcTransform TpcChartRooms::ChartTransform() const
{
    return Viewport.Transform();
}

bool TpcChartRooms::ClassShown(uint8_t elemClass) const
{
    return ClassVisible[elemClass];
}

bool TpcChartRooms::AnglesInDegrees() const
{
    return Chart.UseDegrees();
}

const TpcDataElement& TpcChartRooms::StoredElement(int32_t index) const
{
    return Chart.Element(index);
}

int32_t TpcChartRooms::ElementNearest(double rad, double phi)
{
    return Chart.NearestElement(rad, phi);
}

int32_t TpcChartRooms::ElementNearestPixel(TPoint pixel)
{
    return BuiltSnapIndex().Nearest(pixel);
}

int TpcChartRooms::WedgeAtPixel(int32_t x, int32_t y) const
{
    return layers::WedgeAt(Viewport.Transform(), *Bars, ClassVisible, x, y);
}

double TpcChartRooms::RasterValueAtPixel(int32_t x, int32_t y) const
{
    return RasterValueAt(Viewport.Transform(), *Raster, x, y);
}

TpcSweep& TpcChartRooms::ChartSweep() const
{
    return *Sweep;
}

} // namespace znq
