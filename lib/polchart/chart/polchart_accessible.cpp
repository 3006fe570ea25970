// The chart's accessible interface and the texts it reads: the description of the
// chart's state and the value of crosshair 1.
#include "chart/polchart_accessible.h"
#include "chart/polchart_rooms.h"
#include "polchart_bars.h"
#include "polchart_raster.h"
#include "znq_application.h"

#include <QAccessible>

#include <cmath>
#include <numbers>

namespace znq {

namespace {
    // A number as a reader says it: at most decimals decimals, without trailing zeros; very
    // large and very small magnitudes in exponent form.
    std::string spoken(double value, int decimals)
    {
        if (!std::isfinite(value))
            return std::isnan(value) ? "not a number" : value > 0 ? "infinity" : "minus infinity";
        const double magnitude = std::fabs(value);
        if (decimals < 0 || magnitude >= 1e15 || (magnitude > 0 && magnitude < 1e-4))
            return QString::number(value, 'g', 6).toStdString();
        std::string text = QString::number(value, 'f', decimals).toStdString();
        if (text.find('.') != std::string::npos) {
            text.erase(text.find_last_not_of('0') + 1);
            if (text.back() == '.')
                text.pop_back();
        }
        return text == "-0" ? "0" : text;
    }

    // A count and its noun, singular for one.
    std::string counted(int64_t count, const char* noun, const char* nouns)
    {
        return std::to_string(count) + " " + (count == 1 ? noun : nouns);
    }

    // An angle moved into 0 up to (not including) a full turn.
    double wrapped(double angle, double turn)
    {
        double a = std::fmod(angle, turn);
        if (a < 0)
            a += turn;
        return a >= turn ? 0 : a;
    }
} // namespace

// ---------------------------------------------------------------------------------------------
// The texts

// The screen direction of angle 0, in degrees counter-clockwise from the right within
// (-180, 180]: the offset turns it and the direction of rotation mirrors it.
static double zeroDirection(const TCustomPolChart& chart)
{
    double degrees = chart.AngleOffset() * chart.AngleUnit() * 180 / std::numbers::pi;
    if (chart.RotationDir() == TpcRotationDir::rdClockwise)
        degrees = -degrees;
    degrees = std::remainder(degrees, 360.0);
    return degrees == -180 ? 180 : degrees;
}

std::string TCustomPolChart::AccessibleDescription() const
{
    const TpcChartRooms& r = rooms();
    const bool degrees = UseDegrees();
    const std::string unit = degrees ? "degrees" : "radians";
    const int radDecimals = std::max(DecPlaceRad(), 0);
    const int phiDecimals = degrees ? 2 : std::max(DecPlacePhi(), 2);
    const std::string& radSuffix = r.ScaleLabelSuffix[size_t(TpcScaleKind::sckRad)];
    const auto radius = [&](double rad) { return spoken(rad, radDecimals) + radSuffix; };

    std::string text
        = "Polar chart, " + spoken(RangeLow(), radDecimals) + " to " + radius(RangeHigh());
    if (RadialScale() == TpcRadialScale::rsLog10)
        text += " on a logarithmic scale";
    text += ", angles in " + unit + " ";
    text += RotationDir() == TpcRotationDir::rdClockwise ? "clockwise" : "counter-clockwise";
    const double zero = zeroDirection(*this);
    const long whole = std::lround(zero);
    if (std::fabs(zero - double(whole)) < 1e-9 && whole % 90 == 0) {
        static const char* sides[] = { "the right", "the top", "the left", "the bottom" };
        text += std::string(" from 0 at ") + sides[((whole / 90) % 4 + 4) % 4];
    } else {
        text += " from 0 at the right turned " + spoken(std::fabs(zero), 2) + " degrees "
            + (zero > 0 ? "counter-clockwise" : "clockwise");
    }
    if (SectorSpan() < 2 * std::numbers::pi / AngleUnit() - 1e-12)
        text += ", a sector from " + spoken(SectorStart(), phiDecimals) + " over "
            + spoken(SectorSpan(), phiDecimals) + " " + unit;
    // The ray angle is in degrees whatever the unit.
    const double rays = degrees ? AngleBtwRays() : AngleBtwRays() * std::numbers::pi / 180;
    text += ", rays every " + spoken(rays, phiDecimals) + " " + unit;
    text += ", " + counted(ElementCount(), "point", "points");
    std::vector<std::string> names;
    for (const TpcClassStyle* style : r.ClassStyles)
        if (style && !style->Name().empty())
            names.push_back(style->Name());
    if (!names.empty()) {
        text += ", " + counted(int64_t(names.size()), "named class", "named classes") + ": ";
        for (size_t i = 0; i < names.size(); ++i)
            text += (i ? ", " : "") + names[i];
    }
    if (r.Bars->Count() > 0)
        text += ", " + counted(r.Bars->Count(), "wedge", "wedges");
    if (r.Raster->Visible() && r.Raster->AzCount() > 0)
        text += ", a raster of " + std::to_string(r.Raster->AzCount()) + " by "
            + std::to_string(r.Raster->RangeCount()) + " cells";
    for (int i = 1; i <= CrossHairCount; ++i) {
        const TpcCrossHair* crossHair = r.CrossHairs[size_t(i - 1)];
        if (crossHair->Mode() == TpcCrossHMode::chOff)
            continue;
        text += ", crosshair " + std::to_string(i) + " at " + radius(crossHair->PosRad()) + ", "
            + spoken(crossHair->PosPhi(), phiDecimals) + " " + unit;
    }
    return text;
}

std::string TCustomPolChart::AccessibleValue() const
{
    const TpcChartRooms& r = rooms();
    const TpcCrossHair* crossHair = r.CrossHairs[0];
    const int radDecimals = std::clamp(DecPlaceRad(), 0, 12);
    const int phiDecimals = UseDegrees() ? 2 : std::max(DecPlacePhi(), 2);
    const auto fixed = [](double value, int decimals) {
        return std::isfinite(value) ? QString::number(value, 'f', decimals).toStdString()
                                    : spoken(value, decimals);
    };
    const auto position = [&](double rad, double phi) {
        return fixed(rad, radDecimals) + r.ScaleLabelSuffix[size_t(TpcScaleKind::sckRad)] + ", "
            + fixed(phi, phiDecimals) + (UseDegrees() ? " degrees" : " radians");
    };
    const int32_t snapped = crossHair->SnappedIndex();
    if (snapped >= 0 && snapped < ElementCount()) {
        const TpcDataElement& element = Element(snapped);
        std::string text
            = "element " + std::to_string(snapped) + ": " + position(element.Rad, element.Phi);
        const double value = ElementValue(snapped);
        if (!std::isnan(value))
            text += ", value " + spoken(value, 6);
        return text;
    }
    return position(crossHair->PosRad(), crossHair->PosPhi());
}

// ---------------------------------------------------------------------------------------------
// The interface

TpcChartAccessible::TpcChartAccessible(TCustomPolChart* chart)
    : QAccessibleWidget(chart, QAccessible::Chart)
{
}

TCustomPolChart* TpcChartAccessible::chart() const
{
    return static_cast<TCustomPolChart*>(widget());
}

double TpcChartAccessible::turn() const
{
    return 2 * std::numbers::pi / chart()->AngleUnit();
}

QString TpcChartAccessible::text(QAccessible::Text kind) const
{
    switch (kind) {
    case QAccessible::Name: {
        const QString name = widget()->accessibleName();
        return name.isEmpty() ? QStringLiteral("Polar chart") : name;
    }
    case QAccessible::Description: {
        const QString description = widget()->accessibleDescription();
        return description.isEmpty() ? QString::fromStdString(chart()->AccessibleDescription())
                                     : description;
    }
    case QAccessible::Value:
        return QString::fromStdString(chart()->AccessibleValue());
    default:
        return QAccessibleWidget::text(kind);
    }
}

void* TpcChartAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant TpcChartAccessible::currentValue() const
{
    return wrapped(chart()->CrossHair(1)->PosPhi(), turn());
}

void TpcChartAccessible::setCurrentValue(const QVariant& value)
{
    bool ok = false;
    const double wanted = value.toDouble(&ok);
    if (!ok || !std::isfinite(wanted))
        return;
    TCustomPolChart* c = chart();
    TpcCrossHair* crossHair = c->CrossHair(1);
    const double target = wrapped(wanted, turn());
    if (crossHair->SnapToData() && crossHair->SnappedIndex() >= 0) {
        // A step's worth (either way round the seam) moves to the neighbouring element.
        const double change = std::remainder(target - currentValue().toDouble(), turn());
        const double step = minimumStepSize().toDouble();
        if (change != 0 && std::fabs(change) <= step * (1 + 1e-9)) {
            Guarded([&] { c->StepCrossHair(1, change > 0 ? 1 : -1); });
            return;
        }
    }
    Guarded([&] { crossHair->SetPosition(crossHair->PosRad(), target); });
}

QVariant TpcChartAccessible::maximumValue() const
{
    return turn();
}

QVariant TpcChartAccessible::minimumValue() const
{
    return 0.0;
}

QVariant TpcChartAccessible::minimumStepSize() const
{
    return std::numbers::pi / 180 / chart()->AngleUnit();
}

} // namespace znq
