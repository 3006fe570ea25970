/// \file
/// The polar chart's legend. Included by ZNQ_polchart.h.
#pragma once

#include "polchart_types.h"

#include <QObject>

#include <cstdint>
#include <memory>

namespace znq {

/// The chart's legend: a box in the chart image with an entry for every class that has a name and
/// at least one stored element (a line sample in the class's pen, its marker, a fill swatch and
/// the name), and a colour bar with the value range when a class uses a colour map. It sits in
/// Corner until the user drags it with the label-drag mouse action; a click on an entry shows or
/// hides the class. A write that changes a value emits changed() and the chart redraws.
class TpcLegend : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible NOTIFY changed)
    Q_PROPERTY(
        znq::polchart_types::TpcLegendCorner Corner READ Corner WRITE SetCorner NOTIFY changed)
    Q_PROPERTY(bool Placed READ Placed NOTIFY changed)
    Q_PROPERTY(int Left READ Left NOTIFY changed)
    Q_PROPERTY(int Top READ Top NOTIFY changed)
    Q_PROPERTY(uint ColorBkg READ ColorBkg WRITE SetColorBkg NOTIFY changed)
    Q_PROPERTY(uint ColorBorder READ ColorBorder WRITE SetColorBorder NOTIFY changed)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent NOTIFY changed)

public:
    /// A hidden legend in the top-right corner, white box, black border, in the chart's font.
    explicit TpcLegend(QObject* parent = nullptr);
    ~TpcLegend() override;

    /// Whether the legend is drawn (false).
    bool Visible() const { return m_visible; }
    /// Shows or hides the legend.
    void SetVisible(bool value);
    /// The corner of the chart image it sits in while not Placed (lcTopRight).
    TpcLegendCorner Corner() const { return m_corner; }
    /// Puts the legend into a corner (it is no longer Placed).
    void SetCorner(TpcLegendCorner value);
    /// Whether the legend sits at a position of its own (after a drag or SetPosition).
    bool Placed() const { return m_placed; }
    /// The left edge of the box in chart-image pixels, when Placed.
    int Left() const { return m_left; }
    /// The top edge of the box in chart-image pixels, when Placed.
    int Top() const { return m_top; }
    /// The farthest a placed box's corner lies from the chart image's origin, in either direction.
    static constexpr int MaxPosition = 1 << 29;
    /// Places the box's top-left corner at (left, top) of the chart image; each coordinate is
    /// clamped to -MaxPosition .. MaxPosition, which leaves room for the box's far edges.
    void SetPosition(int left, int top);
    /// The colour of the box.
    TColor ColorBkg() const { return m_colorBkg; }
    /// Sets ColorBkg.
    void SetColorBkg(TColor value);
    /// The colour of the frame.
    TColor ColorBorder() const { return m_colorBorder; }
    /// Sets ColorBorder.
    void SetColorBorder(TColor value);
    /// Whether the box is left unfilled (false).
    bool Transparent() const { return m_transparent; }
    /// Sets Transparent.
    void SetTransparent(bool value);
    /// The font of the names and values, with the text colour; a copy of the chart's font when the
    /// chart was made. Changing it directly does not redraw; SetFont does.
    TFont& Font() { return *m_font; }
    /// The font of the names and values.
    const TFont& Font() const { return *m_font; }
    /// Copies the attributes of font and redraws.
    void SetFont(const TFont& font);

Q_SIGNALS:
    /// A value changed.
    void changed();

private:
    friend class TCustomPolChart;
    friend class TpcNavigator;
    // Places the box without notifying, for the drag.
    void movePositionSilently(int left, int top);
    void notify();
    template <typename T> void store(T& field, T value);

    bool m_visible = false;
    TpcLegendCorner m_corner = TpcLegendCorner::lcTopRight;
    bool m_placed = false;
    int m_left = 0;
    int m_top = 0;
    TColor m_colorBkg = clWhite;
    TColor m_colorBorder = clBlack;
    bool m_transparent = false;
    std::unique_ptr<TFont> m_font;
    // The chart that owns the object, as its objects see it; none when it was made without one.
    TpcChartLink* m_link = nullptr;
};

} // namespace znq
