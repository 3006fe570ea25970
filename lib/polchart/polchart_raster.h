/// \file
/// The raster layer: a grid of values over azimuth and range drawn on the polar grid through a
/// colour map, for radar and sonar displays, antenna maps and polar heat maps; and the live sweep
/// over it, whose rows fade as they age. Included by ZNQ_polchart.h.
#pragma once

#include "polchart_types.h"

#include <QObject>
#include <QTimer>

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace znq {

/// A grid of cells over azimuth and range, drawn after the chart's background and before the grid
/// and the data, over the chart circle (the sector and its hole in a sector view). Cell (i, j)
/// covers the data angles from AzStart + i * AzStep to AzStart + (i + 1) * AzStep (the chart's
/// angle unit) and the radial values from RangeStart + j * RangeStep on by RangeStep; when the
/// azimuths cover a full turn the layer wraps at the seam. Each device pixel is mapped back
/// through the chart's transform to the cell under its centre, so the view's offset, direction,
/// inverted range, magnification, centre, logarithmic scale and the screen's pixel density all
/// apply. Cells hold single-precision values (4 bytes each); NaN means no data and is transparent.
/// Every change redraws by the chart's redraw rule and emits changed() (cellsChanged() for cells
/// written); refusals raise EZNQPolChartError and change nothing. Writing a few rows repaints only
/// the part of the chart image their pixels lie in.
class TpcRaster : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        znq::polchart_types::TpcColorMap ColorMap READ ColorMap WRITE SetColorMap NOTIFY changed)
    Q_PROPERTY(double ValueLow READ ValueLow WRITE SetValueLow NOTIFY changed)
    Q_PROPERTY(double ValueHigh READ ValueHigh WRITE SetValueHigh NOTIFY changed)
    Q_PROPERTY(double Opacity READ Opacity WRITE SetOpacity NOTIFY changed)
    Q_PROPERTY(znq::polchart_types::TpcRasterInterp Interpolation READ Interpolation WRITE
            SetInterpolation NOTIFY changed)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible NOTIFY changed)
    Q_PROPERTY(int Threads READ Threads WRITE SetThreads NOTIFY changed)

public:
    /// The most cells a grid may have.
    static constexpr int64_t MaxCells = 100'000'000;
    /// The most rows a grid may have: each keeps 16 bytes for the sweep besides its cells.
    static constexpr int MaxRows = 1'000'000;

    /// The raster layer of chart (owned by it), without cells.
    explicit TpcRaster(TCustomPolChart* chart);
    /// The chart the layer belongs to.
    TCustomPolChart* Chart() const { return m_chart; }

    /// Makes a grid of azCount x rangeCount cells, every one NaN: azimuths from azStart by azStep,
    /// radial values from rangeStart by rangeStep. EZNQPolChartError for a count below 0, more than
    /// MaxCells cells or MaxRows rows, a start that is not finite, or a step that is not finite and
    /// above 0; a count of 0 leaves the layer without cells.
    void SetGrid(int azCount, int rangeCount, double azStart, double azStep, double rangeStart,
        double rangeStep);
    /// The number of azimuth rows.
    int AzCount() const { return m_azCount; }
    /// The number of cells along each row.
    int RangeCount() const { return m_rangeCount; }
    /// The first row's first azimuth.
    double AzStart() const { return m_azStart; }
    /// The azimuth each row covers.
    double AzStep() const { return m_azStep; }
    /// The radial value where the rows start.
    double RangeStart() const { return m_rangeStart; }
    /// The radial extent of a cell.
    double RangeStep() const { return m_rangeStep; }
    /// Whether the rows cover a full turn (to a millionth of it), so that the layer wraps.
    bool Wraps() const;

    /// Writes the first count cells of row az (the sweep of one ray) from values; the others keep
    /// theirs. EZNQPolChartError for a row outside 0 .. AzCount() - 1, a count below 0 or above
    /// RangeCount(), or no values for a count above 0.
    void SetRow(int az, const float* values, int count);
    /// Writes one cell (EZNQPolChartError outside the grid).
    void SetCell(int az, int range, double value);
    /// Writes every cell.
    void Fill(double value);
    /// The value of a cell (EZNQPolChartError outside the grid).
    double Cell(int az, int range) const;
    /// The cell value under pixel (x, y) of the control, by the mapping the drawing uses; NaN
    /// where no cell is drawn (outside the grid, the circle or the view's sector, or while the
    /// layer has no cells or is hidden).
    double ValueAtPixel(int32_t x, int32_t y) const;

    /// The colour map (cmViridis); cmNone draws nothing.
    TpcColorMap ColorMap() const { return m_colorMap; }
    /// Sets the colour map.
    void SetColorMap(TpcColorMap value);
    /// The value at the map's low end (0); values beyond the ends take the end's colour.
    double ValueLow() const { return m_valueLow; }
    /// Sets ValueLow; EZNQPolChartError when it is not finite.
    void SetValueLow(double value);
    /// The value at the map's high end (1); below ValueLow the map runs backwards.
    double ValueHigh() const { return m_valueHigh; }
    /// Sets ValueHigh; EZNQPolChartError when it is not finite.
    void SetValueHigh(double value);
    /// The layer's opacity, 0 .. 1 (1).
    double Opacity() const { return m_opacity; }
    /// Sets the opacity; EZNQPolChartError outside 0 .. 1.
    void SetOpacity(double value);
    /// How a pixel's colour comes from the cells (riNearest).
    TpcRasterInterp Interpolation() const { return m_interpolation; }
    /// Sets the interpolation.
    void SetInterpolation(TpcRasterInterp value);
    /// Whether the layer is drawn (true).
    bool Visible() const { return m_visible; }
    /// Shows or hides the layer.
    void SetVisible(bool value);
    /// The threads a render of the whole layer uses: 0 (the default) as many as the machine has
    /// cores, 1 the painting thread alone. The picture is the same whatever the number.
    int Threads() const { return m_threads; }
    /// Sets Threads; EZNQPolChartError below 0.
    void SetThreads(int value);

    /// The cells, row after row.
    const std::vector<float>& Cells() const { return m_cells; }
    /// Counts the changes of the grid (SetGrid).
    uint64_t GridVersion() const { return m_gridVersion; }
    /// Counts the changes of the cells.
    uint64_t DataVersion() const { return m_dataVersion; }
    /// The DataVersion at which each row was last written.
    const std::vector<uint64_t>& RowVersions() const { return m_rowVersions; }
    /// When each row was last written, by the sweep's clock (seconds).
    const std::vector<double>& RowTimes() const { return m_rowTimes; }
    /// One write of rows First .. Last, which made the cells' DataVersion Version.
    struct RowWrite {
        uint64_t Version = 0; ///< The DataVersion after the write.
        int First = 0; ///< The first row written.
        int Last = 0; ///< The last row written.
    };
    /// The writes since WritesSince(), oldest first: what a picture coloured at a DataVersion of
    /// at least WritesSince() needs to colour again. The log is bounded: when it holds as many
    /// writes as a quarter of the rows (or 64), it starts afresh.
    const std::vector<RowWrite>& Writes() const { return m_writes; }
    /// The DataVersion from which Writes() holds every write.
    uint64_t WritesSince() const { return m_writesSince; }

Q_SIGNALS:
    /// The grid or a property changed.
    void changed();
    /// Cells were written (SetRow, SetCell, Fill).
    void cellsChanged();

private:
    void checkCell(int az, int range) const;
    void rowsWritten(int first, int last);
    TCustomPolChart* m_chart;
    // The chart that owns the object, as its objects see it; none when it was made without one.
    TpcChartLink* m_link = nullptr;
    int m_azCount = 0, m_rangeCount = 0;
    double m_azStart = 0, m_azStep = 1, m_rangeStart = 0, m_rangeStep = 1;
    std::vector<float> m_cells;
    std::vector<uint64_t> m_rowVersions;
    std::vector<double> m_rowTimes;
    std::vector<RowWrite> m_writes;
    uint64_t m_gridVersion = 0, m_dataVersion = 0, m_writesSince = 0;
    TpcColorMap m_colorMap = TpcColorMap::cmViridis;
    double m_valueLow = 0, m_valueHigh = 1, m_opacity = 1;
    TpcRasterInterp m_interpolation = TpcRasterInterp::riNearest;
    bool m_visible = true;
    int m_threads = 0;
};

/// The live sweep over the raster layer. With Persistence above 0 each row fades after it is
/// written: its cells are drawn with alpha exp(-age / Persistence) times the layer's Opacity, so
/// the picture at a moment is the same at any frame rate; while anything fades the chart redraws
/// (by its redraw rule) at most 60 times a second, and not at all once every row has faded out
/// (below half a step of alpha), nothing was written, or the time stands (the clock stands still
/// or went back), until the next write or change. The sweep line runs from the centre to the
/// outer circle at SweepAngle. Every change redraws by the chart's redraw rule and emits changed().
class TpcSweep : public QObject {
    Q_OBJECT
    Q_PROPERTY(double Persistence READ Persistence WRITE SetPersistence NOTIFY changed)
    Q_PROPERTY(bool ShowSweepLine READ ShowSweepLine WRITE SetShowSweepLine NOTIFY changed)
    Q_PROPERTY(double SweepAngle READ SweepAngle WRITE SetSweepAngle NOTIFY changed)
    Q_PROPERTY(uint SweepLineColor READ SweepLineColor WRITE SetSweepLineColor NOTIFY changed)

public:
    /// The sweep of chart (owned by it).
    explicit TpcSweep(TCustomPolChart* chart);
    /// The chart the sweep belongs to.
    TCustomPolChart* Chart() const { return m_chart; }

    /// How long a row takes to fade to 1/e of its opacity, in seconds (0: rows never fade).
    double Persistence() const { return m_persistence; }
    /// Sets Persistence; EZNQPolChartError when it is not finite or below 0.
    void SetPersistence(double value);
    /// Whether the sweep line is drawn (false).
    bool ShowSweepLine() const { return m_showSweepLine; }
    /// Shows or hides the sweep line.
    void SetShowSweepLine(bool value);
    /// The sweep line's data angle, in the chart's angle unit (0).
    double SweepAngle() const { return m_sweepAngle; }
    /// Sets SweepAngle; EZNQPolChartError when it is not finite.
    void SetSweepAngle(double value);
    /// The sweep line's colour (clLime).
    TColor SweepLineColor() const { return m_lineColor; }
    /// Sets the sweep line's colour.
    void SetSweepLineColor(TColor value);

    /// The time of the rows' ages, in seconds: the clock's reading (a steady clock unless one is
    /// set) moved on by however far the clock has gone back, so that the time itself never goes
    /// back. When a replay rewinds its clock, what has faded stays faded, and rows written
    /// afterwards fade from there as the clock runs on. A reading that is not finite leaves the
    /// time where it was.
    double Now() const;
    /// Sets the clock (for tests and for replaying recorded data); an empty one restores the
    /// steady clock. The time goes on from where it was with the new clock's first reading.
    void SetClock(std::function<double()> clock);
    /// Whether anything still fades at the clock's present time: the chart then redraws again.
    bool Fading() const;
    /// The age after which a row has faded out: alpha exp(-age / Persistence) is below half a step
    /// of 255.
    double FadedAge() const;
    /// A row was written: the fading starts (or goes on).
    void RowWritten();

Q_SIGNALS:
    /// A property changed.
    void changed();
    /// A step of the fading is due: the chart redraws by its redraw rule.
    void frame();

private:
    friend class TpcChartSeams;
    void tick();
    TCustomPolChart* m_chart;
    // The chart that owns the object, as its objects see it; none when it was made without one.
    TpcChartLink* m_link = nullptr;
    double m_persistence = 0;
    bool m_showSweepLine = false;
    double m_sweepAngle = 0;
    TColor m_lineColor = clLime;
    std::function<double()> m_clock;
    // When the last row was written, and the time of the last frame, by Now().
    double m_lastWrite = -HUGE_VAL, m_lastFrame = -HUGE_VAL;
    // Now()'s state: the clock's last reading (NaN: none since the clock was set), how far the
    // time is ahead of the clock's readings, and the time last given.
    mutable double m_reading = std::nan(""), m_ahead = 0, m_time = -HUGE_VAL;
    QTimer m_timer;
};

} // namespace znq
