/// \file
/// Pixel geometry that the painting layers and the navigator both need: the rounding to pixels,
/// the chart area, and where a text label is anchored. Pure functions; nothing here knows a widget.
#pragma once

#include "polchart_bars.h"
#include "polchart_store.h"
#include "polchart_transform.h"
#include "polchart_types.h"

#include "znq_types.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace znq::geometry {

/// Nearest integer, halves to the even one, saturated to the 32-bit range (NaN gives 0).
int32_t RoundPixel(double value);
/// The value saturated to the 32-bit range.
int32_t Saturate(int64_t value);

/// The gaps between the outer circle and an angle label's box: its centre stands this far beyond
/// its half width (across) and its half height (along the ray) out from the circle. The grid
/// draws the labels there and the sector fit makes room for them there.
inline constexpr int AngleLabelGapX = 6;
/// See AngleLabelGapX.
inline constexpr int AngleLabelGapY = 3;
/// The gap between a partial sector's start edge and the radial labels along it.
inline constexpr int EdgeLabelGap = 6;

/// The chart area: 0 <= x <= width - shadowWidth and 0 <= y <= height - shadowWidth, the pixels of
/// the chart image.
bool InChartArea(int32_t x, int32_t y, int32_t width, int32_t height, int32_t shadowWidth);

/// The anchor pixel of a text label: its polar position mapped by the transform when it is
/// attached to the data, else its two positions rounded as pixel coordinates.
TPoint LabelAnchor(const TpcTransform& transform, bool attachToData, double posRad, double posPhi);

/// The box of a text label whose lines are width pixels wide and lineHeight pixels high each,
/// anchored at the middle (or left or right end, by alignment) of its bottom edge.
struct TpcLabelBox {
    /// Column where the text starts.
    int64_t TextLeft = 0;
    /// The box: the text with a margin of 4 pixels left and right, 2 above and below.
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};
/// The box of a label at anchor with lineCount lines.
TpcLabelBox LabelBox(
    TPoint anchor, TAlignment alignment, int64_t width, int64_t lineHeight, int64_t lineCount);

/// Where the legend's parts lie in the chart image.
struct TpcLegendLayout {
    /// The legend's box, right and bottom exclusive.
    TRect Box;
    /// One entry: its class and its row, right and bottom exclusive.
    struct Entry {
        int Class = 0;
        TRect Row;
    };
    /// The entries, top to bottom.
    std::vector<Entry> Entries;
    /// Whether (x, y) lies in the box.
    bool Contains(int32_t x, int32_t y) const
    {
        return x >= Box.Left && x < Box.Right && y >= Box.Top && y < Box.Bottom;
    }
    /// The class of the entry at (x, y); -1 for none.
    int EntryAt(int32_t x, int32_t y) const;
};

/// The annular sectors, in chart-image pixels, that a wedge covers in the view: one, or two where
/// the view's partial sector cuts it in the middle, none where it lies outside. Radial values map
/// through the transform (below RangeLow, and 0 and below on a logarithmic scale, to RangeLow);
/// a band spans the view's whole radial range. Returns their number.
int WedgeSectors(const TpcTransform& transform, const TpcWedge& wedge, TSector (&out)[2]);
/// The chords that draw an arc of a radius in pixels over span radians within a sixteenth of a
/// pixel of it: a chord over the angle a bows out by radius * a^2 / 8, so span * sqrt(2 * radius)
/// chords do (at least 2, at most 4096).
int ArcSteps(double span, double radius);
/// The radii of WedgeSectors' sectors, inner and outer; false where they leave none.
bool WedgeRadii(const TpcTransform& transform, const TpcWedge& wedge, double& inner, double& outer);
/// The centre and edges of WedgeSectors' sectors, for the wedge's angles alone; their number.
int WedgeEdges(const TpcTransform& transform, const TpcWedge& wedge, TSector (&out)[2]);

/// Whether the element at index is a drawn point of the data, as the data layer draws it: its
/// class is shown, it has a place on the transform's scale and lies in its view, and it is a
/// line-to, a move-to that starts a line (the next element of a shown class is a line-to with a
/// place), or an element of a class marked to draw a marker on each element. False for an index
/// outside the store.
bool IsDrawnPoint(const TpcDataStore& store, const std::array<bool, 256>& classVisible,
    const TpcTransform& transform, int32_t index, const std::array<bool, 256>& classMarked = {});

} // namespace znq::geometry
