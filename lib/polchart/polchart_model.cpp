// The chart's object model: construction, the property setters with their clamps, snaps and the
// redraw rule, loading, the data store operations and the scaling state.
#include "ZNQ_polchart.h"
#include "polchart_rooms.h"

#include <algorithm>
#include <cmath>

namespace znq {

namespace {
    constexpr double pi = 3.141592653589793;

    // The other range bound one unit away from value; for magnitudes where one unit is lost in
    // rounding, the next representable number instead, so that the bounds never meet.
    double awayFrom(double value, double direction)
    {
        const double moved = value + direction;
        return moved != value ? moved : std::nextafter(value, direction * HUGE_VAL);
    }
} // namespace

// ---------------------------------------------------------------------------------------------
// Construction and destruction

// Painting stays suspended until the window exists; since Paint is virtual, nothing the base
// classes do while they are constructed can reach this class's Paint either.
TCustomPolChart::TCustomPolChart(QWidget* parent)
    : TCustomControl(parent)
    , m_rooms(std::make_unique<TpcChartRooms>(*this))
{
    SetBounds(Left(), Top(), 240, 160);

    m_classVisible.fill(true);
    for (int i = 0; i < CrossHairCount; ++i) {
        m_crossHairs[size_t(i)] = new TpcCrossHair(this);
        m_crossHairs[size_t(i)]->m_chart = this;
        m_crossHairs[size_t(i)]->OnChange = [this](TObject* sender) { ChartObjectChanged(sender); };
    }
    for (int i = 0; i < TextLabelCount; ++i) {
        TpcTextLabel* label = new TpcTextLabel(this);
        label->m_font->Assign(Font());
        label->OnChange = [this](TObject* sender) { ChartObjectChanged(sender); };
        // A write to the label's font object repaints nothing, but the next paint shows it.
        label->m_font->OnChange = [this](TObject*) { chartChanged(); };
        m_textLabels[size_t(i)] = label;
    }

    m_chartBitmap.SetSize(chartImageWidth(), chartImageHeight());

    Font().OnChange = [this](TObject* sender) { ChartFontChanged(sender); };
    OnResize = [this](TObject* sender) { ChartResized(sender); };
    // A chart created by program code is never loaded; its scale is valid from the start.
    UpdateScaling();
}

// The crosshairs and labels are children of the chart and go with it; the labels own their fonts.
TCustomPolChart::~TCustomPolChart()
{
    // Nothing may paint or notify while the chart is being taken apart.
    m_paintingSuspended = true;
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
    m_paintingSuspended = false;
    Invalidate();
}

void TCustomPolChart::Loaded()
{
    TCustomControl::Loaded();
    UpdateScaling();
    Paint();
}

// ---------------------------------------------------------------------------------------------
// Redraw rule and handlers

void TCustomPolChart::redrawIfAuto()
{
    chartChanged();
    if (m_autoRedraw || Designing())
        Paint();
}

template <typename T> void TCustomPolChart::storeAndRedraw(T& field, T value)
{
    field = value;
    redrawIfAuto();
}

void TCustomPolChart::rescaleAndRedraw()
{
    UpdateScaling();
    redrawIfAuto();
}

void TCustomPolChart::applyView(const TpcViewState& view)
{
    rooms().Viewport.Apply(view, TpcViewCause::vcProperty);
    redrawIfAuto();
}

// A crosshair change leaves the chart image as it is: only the crosshair layer is shown again.
void TCustomPolChart::ChartObjectChanged(TObject* sender)
{
    const bool crossHair
        = std::find(m_crossHairs.begin(), m_crossHairs.end(), sender) != m_crossHairs.end();
    if (!crossHair) {
        redrawIfAuto();
        return;
    }
    if (m_autoRedraw || Designing())
        PaintCrossHairs();
}

void TCustomPolChart::ChartFontChanged(TObject*)
{
    chartChanged();
    Paint();
}

void TCustomPolChart::ChartResized(TObject*)
{
    chartChanged();
    if (m_autoCenter)
        CenterChart();
}

void TCustomPolChart::SetPaintingSuspended(bool value)
{
    const bool resume = m_paintingSuspended && !value;
    m_paintingSuspended = value;
    if (resume)
        Paint();
}

// ---------------------------------------------------------------------------------------------
// Getters and the setters that only store

uint8_t TCustomPolChart::ClassDefault() const
{
    return style().ClassDefault;
}

int32_t TCustomPolChart::DecPlaceRad() const
{
    return style().DecPlaceRad;
}

int32_t TCustomPolChart::DecPlacePhi() const
{
    return style().DecPlacePhi;
}

TColor TCustomPolChart::GridColor() const
{
    return style().GridColor;
}

TpcGridStyleAng TCustomPolChart::GridStyleAngular() const
{
    return style().GridStyleAngular;
}

TpcGridStyleRad TCustomPolChart::GridStyleRadial() const
{
    return style().GridStyleRadial;
}

TColor TCustomPolChart::DataColor() const
{
    return style().DataColor;
}

void TCustomPolChart::SetDataColor(TColor value)
{
    storeQuietly(style().DataColor, value);
}

TPenStyle TCustomPolChart::PenStyle() const
{
    return style().PenStyle;
}

void TCustomPolChart::SetPenStyle(TPenStyle value)
{
    storeQuietly(style().PenStyle, value);
}

TColor TCustomPolChart::ScaleColor() const
{
    return style().ScaleColor;
}

TColor TCustomPolChart::FillColor() const
{
    return style().FillColor;
}

void TCustomPolChart::SetFillColor(TColor value)
{
    storeQuietly(style().FillColor, value);
}

TColor TCustomPolChart::ChartColor() const
{
    return style().ChartColor;
}

uint8_t TCustomPolChart::LineWidth() const
{
    return style().LineWidth;
}

void TCustomPolChart::SetLineWidth(uint8_t value)
{
    storeQuietly(style().LineWidth, value);
}

TpcAngLabelMode TCustomPolChart::LabelModeAngular() const
{
    return style().LabelModeAngular;
}

TpcRadLabelMode TCustomPolChart::LabelModeRadial() const
{
    return style().LabelModeRadial;
}

double TCustomPolChart::AngleBtwRays() const
{
    return style().AngleBtwRays;
}

int32_t TCustomPolChart::ShadowWidth() const
{
    return style().ShadowWidth;
}

TShadowStyle TCustomPolChart::ShadowStyle() const
{
    return style().ShadowStyle;
}

TColor TCustomPolChart::ShadowColor() const
{
    return style().ShadowColor;
}

TColor TCustomPolChart::ShadowBakColor() const
{
    return style().ShadowBakColor;
}

TFontStyles TCustomPolChart::TextFontStyle() const
{
    return style().TextFontStyle;
}

TpcTextBkg TCustomPolChart::TextBkStyle() const
{
    return style().TextBkStyle;
}

TColor TCustomPolChart::TextBkColor() const
{
    return style().TextBkColor;
}

TAlignment TCustomPolChart::TextAlignment() const
{
    return style().TextAlignment;
}

// ---------------------------------------------------------------------------------------------
// Setters

void TCustomPolChart::SetAllocSize(int32_t value)
{
    m_store.SetAllocSize(value);
}

void TCustomPolChart::SetAngleOffset(double value)
{
    if (std::isnan(value))
        return;
    const double limit = UseDegrees() ? 180.0 : pi;
    TpcViewState view = rooms().Viewport.View();
    view.AngleOffset = std::clamp(value, -limit, limit);
    applyView(view);
}

void TCustomPolChart::SetAutoCenter(bool value)
{
    if (value == m_autoCenter)
        return;
    m_autoCenter = value;
    if (m_autoCenter)
        CenterChart();
}

// With AutoCenter the assignment is replaced by CenterChart, which repaints by itself; a second
// paint of the same picture is left out.
void TCustomPolChart::SetCenterX(int32_t value)
{
    if (value == CenterX())
        return;
    if (m_autoCenter) {
        CenterChart();
        return;
    }
    TpcViewState view = rooms().Viewport.View();
    view.CenterX
        = static_cast<int32_t>(std::clamp<int64_t>(value, -int64_t(Width()), 2 * int64_t(Width())));
    applyView(view);
}

void TCustomPolChart::SetCenterY(int32_t value)
{
    if (value == CenterY())
        return;
    if (m_autoCenter) {
        CenterChart();
        return;
    }
    TpcViewState view = rooms().Viewport.View();
    view.CenterY = static_cast<int32_t>(
        std::clamp<int64_t>(value, -int64_t(Height()), 2 * int64_t(Height())));
    applyView(view);
}

void TCustomPolChart::SetClassDefault(uint8_t value)
{
    if (value != 255)
        style().ClassDefault = value;
}

void TCustomPolChart::SetDecPlaceRad(int32_t value)
{
    style().DecPlaceRad = std::clamp(value, -2, 12);
    redrawIfAuto();
}

void TCustomPolChart::SetDecPlacePhi(int32_t value)
{
    style().DecPlacePhi = std::clamp(value, 0, 3);
    redrawIfAuto();
}

void TCustomPolChart::SetGridColor(TColor value)
{
    storeAndRedraw(style().GridColor, value);
}

void TCustomPolChart::SetGridStyleAngular(TpcGridStyleAng value)
{
    storeAndRedraw(style().GridStyleAngular, value);
}

void TCustomPolChart::SetGridStyleRadial(TpcGridStyleRad value)
{
    storeAndRedraw(style().GridStyleRadial, value);
}

void TCustomPolChart::SetScaleColor(TColor value)
{
    storeAndRedraw(style().ScaleColor, value);
}

void TCustomPolChart::SetChartColor(TColor value)
{
    storeAndRedraw(style().ChartColor, value);
}

void TCustomPolChart::SetLabelModeAngular(TpcAngLabelMode value)
{
    storeAndRedraw(style().LabelModeAngular, value);
}

void TCustomPolChart::SetLabelModeRadial(TpcRadLabelMode value)
{
    storeAndRedraw(style().LabelModeRadial, value);
}

// Non-finite bounds are ignored: with an infinite bound no value could be placed on the axis.
void TCustomPolChart::SetRangeLow(double value)
{
    if (!std::isfinite(value))
        return;
    TpcViewState view = rooms().Viewport.View();
    if (view.RangeHigh == value)
        view.RangeHigh = awayFrom(value, 1.0);
    view.RangeLow = value;
    applyView(view);
}

void TCustomPolChart::SetRangeHigh(double value)
{
    if (!std::isfinite(value))
        return;
    TpcViewState view = rooms().Viewport.View();
    if (view.RangeLow == value)
        view.RangeLow = awayFrom(value, -1.0);
    view.RangeHigh = value;
    applyView(view);
}

// Snaps to the nearest table angle; on a tie the earlier, smaller one wins. Values of any size
// snap to their nearest entry (a huge one to 360), so the search starts from an unbounded distance
// and infinities are brought into range first.
void TCustomPolChart::SetAngleBtwRays(double value)
{
    if (std::isnan(value))
        return;
    value = std::clamp(value, -1e9, 1e9);
    double best = HUGE_VAL;
    double chosen = RayAngles[0];
    for (double entry : RayAngles) {
        const double distance = std::fabs(value - entry);
        if (distance < best) {
            best = distance;
            chosen = entry;
        }
    }
    style().AngleBtwRays = chosen;
    rescaleAndRedraw();
}

void TCustomPolChart::SetMagFactor(double value)
{
    if (std::isnan(value))
        return;
    TpcViewState view = rooms().Viewport.View();
    view.MagFactor = std::clamp(value, viewlimits::MinMagFactor, viewlimits::MaxMagFactor);
    applyView(view);
}

TpcRotationDir TCustomPolChart::RotationDir() const
{
    return RotationSign() == 1 ? TpcRotationDir::rdClockwise : TpcRotationDir::rdCounterCW;
}

// The mapping reads the direction as it is: no rescale.
void TCustomPolChart::SetRotationDir(TpcRotationDir value)
{
    TpcViewState view = rooms().Viewport.View();
    view.RotationSign = value == TpcRotationDir::rdClockwise ? 1 : -1;
    rooms().Viewport.Apply(view, TpcViewCause::vcDirection);
    redrawIfAuto();
}

void TCustomPolChart::SetShadowWidth(int32_t value)
{
    style().ShadowWidth = std::clamp(value, 0, 32);
    rescaleAndRedraw();
}

void TCustomPolChart::SetShadowStyle(TShadowStyle value)
{
    storeAndRedraw(style().ShadowStyle, value);
}

void TCustomPolChart::SetShadowColor(TColor value)
{
    storeAndRedraw(style().ShadowColor, value);
}

void TCustomPolChart::SetShadowBakColor(TColor value)
{
    storeAndRedraw(style().ShadowBakColor, value);
}

void TCustomPolChart::SetTextFontStyle(TFontStyles value)
{
    storeAndRedraw(style().TextFontStyle, value);
}

void TCustomPolChart::SetTextBkStyle(TpcTextBkg value)
{
    storeAndRedraw(style().TextBkStyle, value);
}

void TCustomPolChart::SetTextBkColor(TColor value)
{
    storeAndRedraw(style().TextBkColor, value);
}

void TCustomPolChart::SetTextAlignment(TAlignment value)
{
    storeAndRedraw(style().TextAlignment, value);
}

void TCustomPolChart::SetUseDegrees(bool value)
{
    TpcViewState view = rooms().Viewport.View();
    view.AngleUnit = value ? pi / 180 : 1.0;
    applyView(view);
}

// ---------------------------------------------------------------------------------------------
// Data store

void TCustomPolChart::append(TpcElemKind kind, double rad, double phi)
{
    TpcDataElement element;
    element.Rad = rad;
    element.Phi = phi;
    element.Color = style().DataColor;
    element.PenStyle = style().PenStyle;
    element.LineWidth = style().LineWidth;
    element.ElemClass = style().ClassDefault;
    element.Kind = kind;
    m_store.Append(element);
    dataChanged();
}

void TCustomPolChart::MoveTo(double rad, double phi)
{
    append(TpcElemKind::ekMoveTo, rad, phi);
}

void TCustomPolChart::DrawTo(double rad, double phi)
{
    append(TpcElemKind::ekDrawTo, rad, phi);
}

const TpcDataElement& TCustomPolChart::Element(int32_t index) const
{
    if (index < 0 || index >= m_store.Count())
        throw EZNQPolChartError(Name(), ": invalid index into the data elements");
    return m_store[index];
}

// A crosshair snapped to an element forgets it: the element is gone.
void TCustomPolChart::Clear()
{
    dataChanged();
    m_store.Clear();
    for (TpcCrossHair* crossHair : m_crossHairs)
        crossHair->m_snappedIndex = -1;
}

void TCustomPolChart::Redraw()
{
    if (Visible())
        Paint();
}

void TCustomPolChart::SetClassVisible(uint8_t elemClass, bool visible)
{
    m_classVisible[elemClass] = visible;
    dataChanged();
    redrawIfAuto();
}

// ---------------------------------------------------------------------------------------------
// Scaling and centring

void TCustomPolChart::UpdateScaling()
{
    chartChanged();
    rooms().Viewport.Rescale(Loading());
}

// The label width is measured on the control's own canvas in that canvas's font, which is not the
// chart's Font.
void TCustomPolChart::CenterChart()
{
    const int32_t low = Canvas().TextWidth(FormatScaleNumber(1, style().DecPlaceRad, RangeLow()));
    const int32_t high = Canvas().TextWidth(FormatScaleNumber(1, style().DecPlaceRad, RangeHigh()));
    const int32_t labelWidth = std::max(low, high);
    const int32_t areaWidth = Width() - style().ShadowWidth,
                  areaHeight = Height() - style().ShadowWidth;
    const int32_t fifth = areaWidth / 5;
    int32_t dx = 0;
    if (style().LabelModeRadial == TpcRadLabelMode::rlmVertLeft)
        dx = (fifth - labelWidth) / 2;
    else if (style().LabelModeRadial == TpcRadLabelMode::rlmVertRight)
        dx = (labelWidth - fifth) / 2;
    TpcViewState view = rooms().Viewport.View();
    view.CenterX = areaWidth / 2 + dx;
    view.CenterY = areaHeight / 2;
    rooms().Viewport.Apply(view, TpcViewCause::vcProperty);
    Redraw();
}

TpcTransform TCustomPolChart::Transform() const
{
    return rooms().Viewport.Transform();
}

double TCustomPolChart::AngleOffset() const
{
    return rooms().Viewport.View().AngleOffset;
}

int32_t TCustomPolChart::CenterX() const
{
    return rooms().Viewport.View().CenterX;
}

int32_t TCustomPolChart::CenterY() const
{
    return rooms().Viewport.View().CenterY;
}

double TCustomPolChart::RangeLow() const
{
    return rooms().Viewport.View().RangeLow;
}

double TCustomPolChart::RangeHigh() const
{
    return rooms().Viewport.View().RangeHigh;
}

double TCustomPolChart::MagFactor() const
{
    return rooms().Viewport.View().MagFactor;
}

double TCustomPolChart::AngleUnit() const
{
    return rooms().Viewport.View().AngleUnit;
}

int32_t TCustomPolChart::RotationSign() const
{
    return rooms().Viewport.View().RotationSign;
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

} // namespace znq
