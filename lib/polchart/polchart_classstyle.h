/// \file
/// How one data class of the polar chart is drawn. Included by ZNQ_polchart.h.
#pragma once

#include "polchart_types.h"

#include <QObject>

#include <cstdint>
#include <string>

namespace znq {

/// How the elements of one data class (0 .. 255) are drawn: their lines, a marker on each drawn
/// element, a filled area under the lines, colours from a map of the elements' values, and the
/// class's name in the legend. The defaults draw the lines alone, as a chart without styles does.
/// A write that changes a value emits changed() and fires OnChange; the chart then redraws. The
/// chart makes a class's style on the first ClassStyle(c) and owns it.
class TpcClassStyle : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ QName WRITE SetQName NOTIFY changed)
    Q_PROPERTY(bool Lines READ Lines WRITE SetLines NOTIFY changed)
    Q_PROPERTY(znq::polchart_types::TpcMarker Marker READ Marker WRITE SetMarker NOTIFY changed)
    Q_PROPERTY(int MarkerSize READ MarkerSize WRITE SetMarkerSize NOTIFY changed)
    Q_PROPERTY(bool MarkerFilled READ MarkerFilled WRITE SetMarkerFilled NOTIFY changed)
    Q_PROPERTY(znq::polchart_types::TpcFill Fill READ Fill WRITE SetFill NOTIFY changed)
    Q_PROPERTY(uint FillColor READ FillColor WRITE SetFillColor NOTIFY changed)
    Q_PROPERTY(double FillOpacity READ FillOpacity WRITE SetFillOpacity NOTIFY changed)
    Q_PROPERTY(
        znq::polchart_types::TpcColorMap ColorMap READ ColorMap WRITE SetColorMap NOTIFY changed)
    Q_PROPERTY(double ValueLow READ ValueLow WRITE SetValueLow NOTIFY changed)
    Q_PROPERTY(double ValueHigh READ ValueHigh WRITE SetValueHigh NOTIFY changed)

public:
    /// The smallest MarkerSize.
    static constexpr int MinMarkerSize = 1;
    /// The largest MarkerSize.
    static constexpr int MaxMarkerSize = 64;

    /// The style of class elemClass with the defaults.
    explicit TpcClassStyle(int elemClass = 0, QObject* parent = nullptr);

    /// The class this style belongs to.
    int ElemClass() const { return m_class; }
    /// The class's entry in the legend; an empty name (the default) has none.
    const std::string& Name() const { return m_name; }
    /// Sets the name.
    void SetName(const std::string& value);
    /// Whether the line-tos of the class draw their lines (true).
    bool Lines() const { return m_lines; }
    /// Sets Lines.
    void SetLines(bool value);
    /// The marker on every drawn element of the class, move-tos included (mkNone).
    TpcMarker Marker() const { return m_marker; }
    /// Sets the marker.
    void SetMarker(TpcMarker value);
    /// The marker's size in pixels, 1 .. 64 (7); an even size is drawn as the next odd one, so
    /// that a marker is symmetric about its pixel. A dot is one pixel whatever the size.
    int MarkerSize() const { return m_markerSize; }
    /// Sets the size; EZNQPolChartError outside 1 .. 64.
    void SetMarkerSize(int value);
    /// Whether circles, squares, diamonds and triangles are filled (true) or outlined.
    bool MarkerFilled() const { return m_markerFilled; }
    /// Sets MarkerFilled.
    void SetMarkerFilled(bool value);
    /// The area filled under all lines and markers (flNone).
    TpcFill Fill() const { return m_fill; }
    /// Sets the fill.
    void SetFill(TpcFill value);
    /// The fill's colour (clBlue).
    TColor FillColor() const { return m_fillColor; }
    /// Sets the fill's colour.
    void SetFillColor(TColor value);
    /// The fill's opacity, 0 .. 1 (0.3).
    double FillOpacity() const { return m_fillOpacity; }
    /// Sets the opacity; EZNQPolChartError outside 0 .. 1.
    void SetFillOpacity(double value);
    /// The map that colours markers and lines by the elements' values (cmNone: their own colour).
    TpcColorMap ColorMap() const { return m_colorMap; }
    /// Sets the map.
    void SetColorMap(TpcColorMap value);
    /// The value at the map's low end (0).
    double ValueLow() const { return m_valueLow; }
    /// Sets ValueLow; EZNQPolChartError when it is not finite.
    void SetValueLow(double value);
    /// The value at the map's high end (1); below ValueLow the map runs backwards.
    double ValueHigh() const { return m_valueHigh; }
    /// Sets ValueHigh; EZNQPolChartError when it is not finite.
    void SetValueHigh(double value);
    /// Whether anything differs from the defaults but the name: the class is drawn otherwise than
    /// plain lines.
    bool Styled() const;

    /// Fires after every change of a value.
    TNotifyEvent OnChange;

Q_SIGNALS:
    /// A value changed.
    void changed();

private:
    friend class TCustomPolChart;
    template <typename T> void store(T& field, T value);
    QString QName() const { return QString::fromStdString(m_name); }
    void SetQName(const QString& value) { SetName(value.toStdString()); }

    int m_class = 0;
    std::string m_name;
    bool m_lines = true;
    TpcMarker m_marker = TpcMarker::mkNone;
    int m_markerSize = 7;
    bool m_markerFilled = true;
    TpcFill m_fill = TpcFill::flNone;
    TColor m_fillColor = clBlue;
    double m_fillOpacity = 0.3;
    TpcColorMap m_colorMap = TpcColorMap::cmNone;
    double m_valueLow = 0;
    double m_valueHigh = 1;
    // The chart that owns the object, as its objects see it; none when it was made without one.
    TpcChartLink* m_link = nullptr;
};

} // namespace znq
