// What assistive tools see of the chart: a chart whose name is "Polar chart" (or the
// application's accessible name), whose description tells in plain words what it shows, whose
// value is crosshair 1's position, and whose value interface moves crosshair 1 round the circle.
// Internal to the chart.
#pragma once

#include <QAccessibleWidget>

namespace znq {

class TCustomPolChart;

/// The chart as an accessible chart with a value interface over crosshair 1's angle.
class TpcChartAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    /// The interface of chart.
    explicit TpcChartAccessible(TCustomPolChart* chart);

    /// Name: accessibleName when set, else "Polar chart"; description: accessibleDescription
    /// when set, else the chart's AccessibleDescription; value: its AccessibleValue.
    QString text(QAccessible::Text kind) const override;
    /// The value interface, besides the widget's own.
    void* interface_cast(QAccessible::InterfaceType type) override;

    /// @{
    /// Crosshair 1's angle in the chart's angle unit, 0 up to a full turn; a value set outside
    /// wraps, one that is not a finite number is ignored, and the radius stays. The step is one
    /// degree; while crosshair 1 snaps to the data, a change of at most one step moves it to the
    /// next drawn element in that direction instead.
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;
    /// @}

private:
    TCustomPolChart* chart() const;
    double turn() const;
};

} // namespace znq
