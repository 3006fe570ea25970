// The chart's object model: construction, the handlers of the redraw rule, loading, the data store
// operations, and the scale and centring.
#include "chart/polchart_accessible.h"
#include "chart/polchart_rooms.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace znq {

// ---------------------------------------------------------------------------------------------
// Construction and destruction

// Painting stays suspended until the window exists; since Paint is virtual, nothing the base
// classes do while they are constructed can reach this class's Paint either.
TCustomPolChart::TCustomPolChart(QWidget* parent)
    : TCustomControl(parent)
    , m_rooms(std::make_unique<TpcChartRooms>(*this))
{
    SetBounds(Left(), Top(), 240, 160);

    TpcChartRooms& r = rooms();
    InstallAccessible<TCustomPolChart, TpcChartAccessible>();
    r.AccessNotice = new TAccessibleNotice(
        this, [this] { return QString::fromStdString(AccessibleValue()); },
        [this] { return QString::fromStdString(AccessibleDescription()); });
    r.ClassVisible.fill(true);
    for (TpcCrossHair*& crossHair : r.CrossHairs) {
        crossHair = new TpcCrossHair(this);
        crossHair->m_link = &r;
        crossHair->OnChange = [this](TObject* sender) { ChartObjectChanged(sender); };
    }
    for (TpcTextLabel*& label : r.TextLabels) {
        label = new TpcTextLabel(this);
        label->m_link = &r;
        label->m_font->Assign(Font());
        label->OnChange = [this](TObject* sender) { ChartObjectChanged(sender); };
        // A write to the label's font object repaints nothing, but the next paint shows it.
        label->m_font->OnChange = [this](TObject*) { rooms().ChartChanged(); };
    }

    r.Legend = new TpcLegend(this);
    r.Legend->m_link = &r;
    r.Legend->Font().Assign(Font());
    connect(r.Legend, &TpcLegend::changed, this, [this] {
        if (!rooms().LegendMoving)
            rooms().RedrawIfAuto();
    });
    r.Legend->Font().OnChange = [this](TObject*) { rooms().ChartChanged(); };

    r.Bars = new TpcBars(this);
    // Indices may now name other wedges: the next move reports the wedge under the pointer anew.
    connect(r.Bars, &TpcBars::changed, this, [this] {
        rooms().HoveredWedge = -1;
        rooms().RedrawIfAuto();
    });
    r.Raster = new TpcRaster(this);
    connect(r.Raster, &TpcRaster::changed, this, [this] { rooms().RedrawIfAuto(); });
    connect(r.Raster, &TpcRaster::cellsChanged, this, [this] { RasterCellsChanged(); });
    r.Sweep = new TpcSweep(this);
    connect(r.Sweep, &TpcSweep::changed, this, [this] { rooms().RedrawIfAuto(); });
    connect(r.Sweep, &TpcSweep::frame, this, [this] { rooms().RedrawIfAuto(); });

    r.ChartBitmap.SetSize(r.ChartImageWidth(), r.ChartImageHeight());

    Font().OnChange = [this](TObject* sender) { ChartFontChanged(sender); };
    OnResize = [this](TObject* sender) { ChartResized(sender); };
    // A chart created by program code is never loaded; its scale is valid from the start.
    UpdateScaling();
}

// The crosshairs and labels are children of the chart and go with it; the labels own their fonts.
TCustomPolChart::~TCustomPolChart()
{
    // Nothing may paint or notify while the chart is being taken apart.
    rooms().PaintingSuspended = true;
    OnResize = nullptr;
    Font().OnChange = nullptr;
}

TPolChart::TPolChart(QWidget* parent)
    : TCustomPolChart(parent)
{
}

void TPolChart::CreateWnd()
{
    TCustomPolChart::CreateWnd();
    rooms().PaintingSuspended = false;
    Invalidate();
}

void TCustomPolChart::Loaded()
{
    TCustomControl::Loaded();
    UpdateScaling();
    Paint();
}

// ---------------------------------------------------------------------------------------------
// Handlers of the redraw rule

// A crosshair change leaves the chart image as it is: only the crosshair layer is shown again.
void TCustomPolChart::ChartObjectChanged(TObject* sender)
{
    TpcChartRooms& r = rooms();
    const bool crossHair
        = std::find(r.CrossHairs.begin(), r.CrossHairs.end(), sender) != r.CrossHairs.end();
    if (!crossHair) {
        r.RedrawIfAuto();
        return;
    }
    if (r.AutoRedraw || Designing())
        PaintCrossHairs();
}

void TCustomPolChart::ChartFontChanged(TObject*)
{
    rooms().ChartChanged();
    Paint();
}

void TCustomPolChart::ChartResized(TObject*)
{
    rooms().ChartChanged();
    if (AutoCenter())
        CenterChart();
}

bool TCustomPolChart::PaintingSuspended() const
{
    return rooms().PaintingSuspended;
}

void TCustomPolChart::Batch(const std::function<void()>& changes)
{
    TpcChartRooms& r = rooms();
    ++r.BatchDepth;
    try {
        changes();
    } catch (...) {
        // No paint on the way out, where a throwing hook would hide the first exception.
        if (--r.BatchDepth == 0 && std::exchange(r.BatchRedraw, false)
            && (r.AutoRedraw || Designing()))
            Invalidate();
        throw;
    }
    if (--r.BatchDepth == 0 && std::exchange(r.BatchRedraw, false))
        r.RedrawIfAuto();
}

void TCustomPolChart::SetPaintingSuspended(bool value)
{
    const bool resume = rooms().PaintingSuspended && !value;
    rooms().PaintingSuspended = value;
    if (resume)
        Paint();
}

// ---------------------------------------------------------------------------------------------
// Data store

void TpcChartRooms::Append(TpcElemKind kind, double rad, double phi)
{
    TpcDataElement element;
    element.Rad = rad;
    element.Phi = phi;
    element.Color = Style.DataColor;
    element.PenStyle = Style.PenStyle;
    element.LineWidth = Style.LineWidth;
    element.ElemClass = Style.ClassDefault;
    element.Kind = kind;
    Store.Append(element);
    DataChanged();
}

void TCustomPolChart::MoveTo(double rad, double phi)
{
    rooms().Append(TpcElemKind::ekMoveTo, rad, phi);
}

void TCustomPolChart::DrawTo(double rad, double phi)
{
    rooms().Append(TpcElemKind::ekDrawTo, rad, phi);
}

int32_t TCustomPolChart::ElementCount() const
{
    return rooms().Store.Count();
}

int32_t TCustomPolChart::ElementCapacity() const
{
    return rooms().Store.Capacity();
}

const TpcDataStore& TCustomPolChart::Store() const
{
    return rooms().Store;
}

const TpcDataElement& TCustomPolChart::Element(int32_t index) const
{
    if (index < 0 || index >= ElementCount())
        throw EZNQPolChartError(Name(), ": invalid index into the data elements");
    return rooms().Store[index];
}

// A crosshair snapped to an element forgets it: the element is gone.
void TCustomPolChart::Clear()
{
    TpcChartRooms& r = rooms();
    r.DataChanged();
    r.Store.Clear();
    for (TpcCrossHair* crossHair : r.CrossHairs)
        crossHair->m_snappedIndex = -1;
}

void TCustomPolChart::Redraw()
{
    if (Visible())
        Paint();
}

bool TCustomPolChart::ClassVisible(uint8_t elemClass) const
{
    return rooms().ClassVisible[elemClass];
}

void TCustomPolChart::SetClassVisible(uint8_t elemClass, bool visible)
{
    rooms().ClassVisible[elemClass] = visible;
    rooms().DataChanged();
    rooms().RedrawIfAuto();
}

// ---------------------------------------------------------------------------------------------
// Scaling and centring

void TCustomPolChart::UpdateScaling()
{
    rooms().ChartChanged();
    rooms().Viewport.Rescale(Loading());
}

// The label width is measured on the control's own canvas in that canvas's font, which is not the
// chart's Font.
void TCustomPolChart::CenterChart()
{
    const TpcChartStyle& style = rooms().Style;
    const int32_t low = Canvas().TextWidth(FormatScaleNumber(1, style.DecPlaceRad, RangeLow()));
    const int32_t high = Canvas().TextWidth(FormatScaleNumber(1, style.DecPlaceRad, RangeHigh()));
    const int32_t labelWidth = std::max(low, high);
    const int32_t areaWidth = Width() - style.ShadowWidth;
    const int32_t areaHeight = Height() - style.ShadowWidth;
    const int32_t fifth = areaWidth / 5;
    int32_t dx = 0;
    if (style.LabelModeRadial == TpcRadLabelMode::rlmVertLeft)
        dx = (fifth - labelWidth) / 2;
    else if (style.LabelModeRadial == TpcRadLabelMode::rlmVertRight)
        dx = (labelWidth - fifth) / 2;
    TpcViewState view = rooms().Viewport.View();
    view.CenterX = areaWidth / 2 + dx;
    view.CenterY = areaHeight / 2;
    // A partial sector's box, labels' room included, is centred in the area: at MagFactor 1 it
    // fills it.
    if (!WholeTurn(view)) {
        const auto radius = static_cast<double>(
            TpcViewport::FitSide(view, rooms().ViewArea(), rooms().ViewSectorSide())
            * view.MagFactor / 2);
        const TpcExtent extent = ExtentAt(rooms().SectorFeatures(), radius);
        view.CenterX = geometry::RoundPixel(areaWidth / 2.0 - (extent.Left + extent.Right) / 2);
        view.CenterY = geometry::RoundPixel(areaHeight / 2.0 - (extent.Top + extent.Bottom) / 2);
    }
    rooms().FittedSector = !WholeTurn(view);
    rooms().Viewport.Apply(view, TpcViewCause::vcProperty);
    Redraw();
}

TpcTransform TCustomPolChart::Transform() const
{
    return rooms().Viewport.Transform();
}

long double TCustomPolChart::ScaleX() const
{
    return rooms().Viewport.Scale();
}

int32_t TCustomPolChart::OuterRadius() const
{
    return rooms().Viewport.OuterRadius();
}

TPoint TCustomPolChart::PolarToPixel(double rad, double phi) const
{
    return Transform().PolarToPixel(rad, phi);
}

TpcPolarPoint TCustomPolChart::PixelToPolar(int32_t x, int32_t y) const
{
    return Transform().PixelToPolar(x, y);
}

void TCustomPolChart::AppendValue(double value)
{
    TpcChartRooms& r = rooms();
    if (r.Store.Count() == 0)
        throw EZNQPolChartError(Name(), ": AppendValue needs an element to give the value to");
    r.Store.SetValue(r.Store.Count() - 1, value);
    r.DataChanged();
}

void TCustomPolChart::SetElementValue(int32_t index, double value)
{
    TpcChartRooms& r = rooms();
    Element(index);
    r.Store.SetValue(index, value);
    r.DataChanged();
    r.RedrawIfAuto();
}

double TCustomPolChart::ElementValue(int32_t index) const
{
    Element(index);
    return rooms().Store.Value(index);
}

} // namespace znq
