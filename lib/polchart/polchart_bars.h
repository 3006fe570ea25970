/// \file
/// Polar bars: annular sectors (wedges) beside the pen-plotter data, for polar histograms,
/// stacked bars, wind roses and shaded bands. Included by ZNQ_polchart.h.
#pragma once

#include "polchart_types.h"

#include <QObject>

#include <cstdint>
#include <vector>

namespace znq {

/// One wedge: the annular sector from PhiStart to PhiEnd in growing data angle (the chart's angle
/// unit) and from RadLow to RadHigh (radial units).
struct TpcWedge {
    /// Where the wedge starts, in growing data angle.
    double PhiStart = 0;
    /// Where it ends; a span of a full turn or more is the whole annulus.
    double PhiEnd = 0;
    /// The inner radial value (at most RadHigh).
    double RadLow = 0;
    /// The outer radial value.
    double RadHigh = 0;
    /// The class whose style fills it and whose visibility shows it.
    uint8_t ElemClass = 0;
    /// Drawn behind the grid (a band), else in front of it.
    TpcBarLayer Layer = TpcBarLayer::blInFrontOfGrid;
    /// A band: from the view's inner edge to its outer circle, in its own colour and opacity,
    /// shown whatever its class.
    bool Band = false;
    /// A band's colour.
    TColor Color = clSilver;
    /// A band's opacity, 0 .. 1.
    double Opacity = 1;
};

/// The chart's wedges, drawn after the grid (or before it, by Layer) and before the data, each
/// pixel whose centre lies in a wedge's annular sector filled in its class's FillColor at its
/// FillOpacity (TpcClassStyle; the defaults where a class has no style). Every change emits
/// changed() and redraws by the chart's redraw rule. Values that are not finite are refused with
/// EZNQPolChartError and nothing is stored.
class TpcBars : public QObject {
    Q_OBJECT
    Q_PROPERTY(double BarGap READ BarGap WRITE SetBarGap NOTIFY changed)
    Q_PROPERTY(znq::polchart_types::TpcBarLayer Layer READ Layer WRITE SetLayer NOTIFY changed)
    Q_PROPERTY(bool Outline READ Outline WRITE SetOutline NOTIFY changed)
    Q_PROPERTY(uint OutlineColor READ OutlineColor WRITE SetOutlineColor NOTIFY changed)

public:
    /// The bars of chart (owned by it).
    explicit TpcBars(TCustomPolChart* chart);
    /// The chart the bars belong to.
    TCustomPolChart* Chart() const { return m_chart; }

    /// Adds a wedge from phiStart to phiEnd in growing data angle (350 to 10 degrees is the 20
    /// degrees across the seam) and from radLow to radHigh (swapped when given the other way), in
    /// the present Layer; returns its index.
    int Add(double phiStart, double phiEnd, double radLow, double radHigh, uint8_t elemClass);
    /// A stacked bar centred on phiCenter, width wide less BarGap: positive values stack outwards
    /// from 0 and negative ones inwards from 0, each sign on its own running base; NaN values
    /// are skipped. classes[i] is the class of values[i] (EZNQPolChartError when there are fewer
    /// classes than values). Returns the indices of the wedges added.
    std::vector<int> AddStack(double phiCenter, double width, const std::vector<double>& values,
        const std::vector<uint8_t>& classes);
    /// A shaded band from phiStart to phiEnd over the whole radial range of the view, behind the
    /// grid, in color at opacity (0 .. 1); returns its index.
    int AddBand(double phiStart, double phiEnd, TColor color, double opacity);
    /// Removes every wedge.
    void Clear();
    /// The number of wedges.
    int Count() const { return int(m_wedges.size()); }
    /// Removes wedge index (EZNQPolChartError outside 0 .. Count() - 1); the later ones move down.
    void Remove(int index);
    /// Wedge index (EZNQPolChartError outside 0 .. Count() - 1).
    const TpcWedge& Wedge(int index) const;
    /// The wedges in order.
    const std::vector<TpcWedge>& Wedges() const { return m_wedges; }

    /// The fraction of a stack's width left empty, 0 .. 0.95 (0.1).
    double BarGap() const { return m_barGap; }
    /// Sets BarGap; EZNQPolChartError outside 0 .. 0.95.
    void SetBarGap(double value);
    /// The layer of the wedges added from now on (blInFrontOfGrid).
    TpcBarLayer Layer() const { return m_layer; }
    /// Sets Layer.
    void SetLayer(TpcBarLayer value);

    /// Whether a one-pixel outline in OutlineColor is drawn around every wedge but the bands, over
    /// the fills of its layer (false). Its arcs are polylines within a sixteenth of a pixel of the
    /// circles.
    bool Outline() const { return m_outline; }
    /// Sets Outline.
    void SetOutline(bool value);
    /// The outline's colour (clBlack).
    TColor OutlineColor() const { return m_outlineColor; }
    /// Sets OutlineColor.
    void SetOutlineColor(TColor value);
    /// The index of the top-most wedge drawn over pixel (x, y) of the control, by the same rule
    /// as the drawing; -1 for none.
    int WedgeAt(int32_t x, int32_t y) const;

Q_SIGNALS:
    /// The wedges or a property changed.
    void changed();

private:
    void checkIndex(int index) const;
    void notify();

    TCustomPolChart* m_chart;
    // The chart that owns the object, as its objects see it; none when it was made without one.
    TpcChartLink* m_link = nullptr;
    std::vector<TpcWedge> m_wedges;
    double m_barGap = 0.1;
    TpcBarLayer m_layer = TpcBarLayer::blInFrontOfGrid;
    bool m_outline = false;
    TColor m_outlineColor = clBlack;
};

} // namespace znq
