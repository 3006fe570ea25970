// The layers' operations on a chart: wedges and wind roses, the raster and its rows, the sweep's
// clock, the 256 classes and their styles, long data runs for the threaded pass, listeners that
// edit the chart or throw, the accessible texts and value, and held copies of the picture; with
// the invariants the layers must keep.
#pragma once

#include "../mouse_events.h"
#include "chart/polchart_seams.h"
#include "ops_core.h"

#include <QAccessible>
#include <QAccessibleValueInterface>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace znq::chart_ops {

class LayerOps : public OpsCore {
public:
    LayerOps(TPolChart& chart, int limit)
        : OpsCore(chart, limit)
    {
        // Listeners that edit the chart while it reports, or throw.
        QObject::connect(
            &m_chart, &TCustomPolChart::wedgeHovered, &m_listening, [this] { listen(); });
        QObject::connect(
            &m_chart, &TCustomPolChart::rasterValueHovered, &m_listening, [this] { listen(); });
        QObject::connect(
            &m_chart, &TCustomPolChart::legendClicked, &m_listening, [this] { listen(); });
    }

    // One of the layers' families of operations.
    void family(int which, ByteReader& in)
    {
        switch (which) {
        case 0:
            windRose(in);
            break;
        case 1:
            wedgeSetters(in);
            break;
        case 2:
        case 3:
            rasterRows(in);
            break;
        case 4:
            clock(in);
            break;
        case 5:
            classes(in);
            break;
        case 6:
            longRun(in);
            break;
        case 7:
            listeners(in);
            break;
        case 8:
            accessible(in);
            break;
        case 9:
            hold(in);
            break;
        default:
            QApplication::processEvents();
            break;
        }
    }

    // An empty text when the layers keep their invariants, else the first one broken.
    std::string layersBroken() const
    {
        if (!m_held.isNull() && m_held != m_heldPixels)
            return "a held copy of the control's picture changed";
        return rowsBrightened();
    }

protected:
    // A class's style, an element's value or the legend, with any value: a refused style value
    // changes nothing, and an index outside the store is refused.
    void series(ByteReader& in)
    {
        TPolChart& c = m_chart;
        TpcClassStyle* style = c.ClassStyle(in.small(3));
        const double value = in.small(2) ? in.real() : (in.small(200) - 50) / 10.0;
        const auto before = std::tuple { style->MarkerSize(), style->FillOpacity(),
            style->ValueLow(), style->ValueHigh() };
        try {
            switch (in.small(10)) {
            case 0:
                style->SetMarker(static_cast<TpcMarker>(in.small(9)));
                break;
            case 1:
                style->SetMarkerSize(in.small(2) ? in.integer() : in.small(70));
                break;
            case 2:
                style->SetFill(static_cast<TpcFill>(in.small(3)));
                style->SetFillOpacity(value);
                break;
            case 3: {
                style->SetColorMap(static_cast<TpcColorMap>(in.small(5)));
                style->SetValueLow(value);
                // A refusal of the high end is checked against the style after the low end.
                const double high = in.real();
                refusalChangesNothing(
                    "ValueHigh",
                    [&] {
                        return std::tuple { style->ValueLow(), style->ValueHigh() };
                    },
                    [&] { style->SetValueHigh(high); });
                break;
            }
            case 4:
                style->SetLines(in.byte() & 1);
                style->SetMarkerFilled(in.byte() & 1);
                style->SetName(in.text());
                break;
            case 5:
                c.AppendValue(value);
                break;
            case 6:
                c.SetElementValue(in.small(2) ? in.integer() : in.small(8), value);
                break;
            case 7:
                c.Legend()->SetVisible(in.byte() & 1);
                c.Legend()->SetCorner(static_cast<TpcLegendCorner>(in.small(4)));
                break;
            case 8:
                c.Legend()->SetPosition(in.integer() % 100000, in.integer() % 100000);
                break;
            default:
                c.SetClassVisible(static_cast<uint8_t>(in.small(3)), in.byte() & 1);
                break;
            }
        } catch (const EZNQPolChartError&) {
            if (std::tuple { style->MarkerSize(), style->FillOpacity(), style->ValueLow(),
                    style->ValueHigh() }
                != before)
                m_failure = "a refused style value changed the style";
        }
        if (style->MarkerSize() < TpcClassStyle::MinMarkerSize
            || style->MarkerSize() > TpcClassStyle::MaxMarkerSize
            || !(style->FillOpacity() >= 0 && style->FillOpacity() <= 1))
            m_failure = "a style value out of its range";
    }

    // Wedges, stacks and bands with any values, the wedge under any pixel, and measurements: a
    // refused wedge stores nothing.
    void wedges(ByteReader& in)
    {
        TPolChart& c = m_chart;
        TpcBars& bars = *c.Bars();
        const int before = bars.Count();
        auto value = [&] { return in.small(2) ? in.real() : (in.small(300) - 100) / 10.0; };
        try {
            switch (in.small(7)) {
            case 0:
                bars.Add(value(), value(), value(), value(), static_cast<uint8_t>(in.small(3)));
                break;
            case 1:
                bars.AddStack(value(), value(), { value(), value(), value() }, { 0, 1, 2 });
                break;
            case 2:
                bars.AddBand(
                    value(), value(), TColor(in.integer() & 0xFFFFFF), in.small(11) / 10.0);
                break;
            case 3:
                if (bars.Count() > 0)
                    bars.Remove(in.small(bars.Count()));
                bars.SetLayer(
                    in.small(2) ? TpcBarLayer::blBehindGrid : TpcBarLayer::blInFrontOfGrid);
                break;
            case 4:
                bars.WedgeAt(in.integer() % 100000, in.integer() % 100000);
                break;
            case 5:
                c.SetShowMeasurement(in.byte() & 1);
                c.MeasureBetween(1 + in.small(4), 1 + in.small(4));
                break;
            default:
                if (in.small(8) == 0)
                    bars.Clear();
                break;
            }
        } catch (const EZNQPolChartError&) {
            if (bars.Count() != before)
                m_failure = "a refused wedge changed the bars";
        }
    }

    // The raster layer and the sweep with any values; grids stay small (a refused large one
    // allocates nothing).
    void raster(ByteReader& in)
    {
        TPolChart& c = m_chart;
        TpcRaster& raster = *c.Raster();
        TpcSweep& sweep = *c.Sweep();
        const auto before = std::tuple { raster.AzCount(), raster.RangeCount(), raster.AzStep() };
        auto value = [&] { return in.small(2) ? in.real() : (in.small(800) - 200) / 10.0; };
        auto count = [&] { return in.small(8) == 0 ? int(in.integer()) : int(in.small(300)); };
        try {
            switch (in.small(8)) {
            case 0: {
                const int rows = count(), cells = count();
                raster.SetGrid(rows, int64_t(rows) * cells > 200000 ? 1 : cells, value(), value(),
                    value(), value());
                break;
            }
            case 1: {
                std::vector<float> values(size_t(in.small(400)));
                for (float& v : values)
                    v = float(in.small(3) ? in.small(100) : std::nan(""));
                raster.SetRow(count(), values.data(), int(values.size()));
                break;
            }
            case 2:
                raster.SetCell(count(), count(), value());
                raster.Fill(in.small(4) ? value() : std::nan(""));
                break;
            case 3:
                raster.SetValueLow(value());
                raster.SetValueHigh(value());
                raster.SetOpacity(value());
                break;
            case 4:
                raster.SetColorMap(TpcColorMap(in.small(5)));
                raster.SetInterpolation(
                    in.small(2) ? TpcRasterInterp::riBilinear : TpcRasterInterp::riNearest);
                raster.SetVisible(in.small(4) != 0);
                raster.SetThreads(int(in.small(4)) - 1);
                break;
            case 5:
                raster.ValueAtPixel(int32_t(in.integer() % 100000), int32_t(in.integer() % 100000));
                break;
            case 6:
                if (const double step = in.small(2) ? value() : in.small(100) / 50.0;
                    std::isfinite(step))
                    m_now += step;
                sweep.SetPersistence(value());
                sweep.SetSweepAngle(value());
                sweep.SetShowSweepLine(in.small(2) != 0);
                break;
            default:
                c.Redraw();
                break;
            }
        } catch (const EZNQPolChartError&) {
            if (std::tuple { raster.AzCount(), raster.RangeCount(), raster.AzStep() } != before)
                m_failure = "a refused raster change changed the grid";
        }
    }

private:
    // What a listener does, as the operations last chose: nothing, clear the data, clear or
    // remove wedges, resize the chart, or throw.
    void listen()
    {
        ++m_heard;
        TPolChart& c = m_chart;
        switch (m_listenerAction) {
        case 1:
            c.Clear();
            break;
        case 2:
            if (c.Bars()->Count() > 0)
                c.Bars()->Remove(c.Bars()->Count() - 1);
            break;
        case 3:
            c.Bars()->Clear();
            break;
        case 4:
            c.SetBounds(0, 0, 1 + m_heard % m_limit, 1 + (m_heard * 7) % m_limit);
            break;
        case 5:
            throw HookThrew();
        default:
            break;
        }
    }

    // No row's age goes down, nor its time of writing changes, without a write: the sweep's time
    // never goes back, so no row brightens by itself. Checked for grids of a few rows.
    std::string rowsBrightened() const
    {
        const TpcRaster& raster = *m_chart.Raster();
        if (raster.AzCount() > 2000) {
            m_rowVersions.clear();
            return {};
        }
        const double now = m_chart.Sweep()->Now();
        std::string broken;
        if (now < m_sweepTime)
            broken = "the sweep's time went back";
        if (m_rowVersions.size() == raster.RowVersions().size())
            for (size_t az = 0; az < m_rowVersions.size() && broken.empty(); ++az)
                if (raster.RowVersions()[az] == m_rowVersions[az]
                    && !(raster.RowTimes()[az] == m_rowTimes[az]
                        || (std::isinf(raster.RowTimes()[az]) && std::isinf(m_rowTimes[az]))))
                    broken = "row " + std::to_string(az) + " got younger without a write";
        m_sweepTime = now;
        m_rowVersions = raster.RowVersions();
        m_rowTimes = raster.RowTimes();
        return broken;
    }

    // A wind rose over any samples and options: refused options add nothing.
    void windRose(ByteReader& in)
    {
        TPolChart& c = m_chart;
        std::vector<double> directions(size_t(in.small(64))), speeds(directions.size());
        for (size_t i = 0; i < directions.size(); ++i) {
            directions[i] = in.small(8) ? in.small(720) - 180.0 : in.real();
            speeds[i] = in.small(8) ? in.small(300) / 10.0 : in.real();
        }
        if (!speeds.empty() && in.small(8) == 0)
            speeds.pop_back();
        TpcWindRoseOptions options;
        options.Sectors = in.small(4) ? 1 + in.small(72) : int(in.integer() % 1000);
        options.Percent = in.byte() & 1;
        options.FirstClass = in.byte();
        options.CalmThreshold = in.small(2) ? 0.5 : in.real();
        if (in.small(4) == 0)
            options.SpeedEdges = { in.real(), in.real(), in.real() };
        options.Unit = in.text();
        refusalChangesNothing(
            "wind rose", [&] { return c.Bars()->Count(); },
            [&] { WindRose(*c.Bars(), directions, speeds, options); });
    }

    // The wedges' setters with any values (enumerations too), removals with indices taken modulo
    // the count, and stacks of many rings.
    void wedgeSetters(ByteReader& in)
    {
        TPolChart& c = m_chart;
        TpcBars& bars = *c.Bars();
        const auto state = [&] {
            return std::tuple { bars.Count(), bars.BarGap(), bars.Layer(), bars.Outline() };
        };
        const double value = in.small(2) ? in.real() : in.small(120) / 100.0;
        switch (in.small(5)) {
        case 0:
            refusalChangesNothing("bar gap", state, [&] { bars.SetBarGap(value); });
            break;
        case 1:
            bars.SetOutline(in.byte() & 1);
            bars.SetOutlineColor(TColor(in.integer() & 0xFFFFFF));
            break;
        case 2:
            refusalChangesNothing("layer", state,
                [&] { bars.SetLayer(TpcBarLayer(in.small(4) ? in.small(2) : in.byte())); });
            break;
        case 3:
            if (bars.Count() > 0)
                bars.Remove(int(uint32_t(in.integer()) % uint32_t(bars.Count())));
            break;
        default: {
            std::vector<double> values(size_t(in.small(48)));
            std::vector<uint8_t> classes(values.size());
            for (size_t i = 0; i < values.size(); ++i) {
                values[i] = in.small(8) ? in.small(40) - 10 : in.real();
                classes[i] = in.byte();
            }
            refusalChangesNothing("stack", state,
                [&] { bars.AddStack(in.small(720) - 180.0, in.small(90) + 0.5, values, classes); });
            break;
        }
        }
    }

    // A grid of a few rows, and rows and cells written within it (indices modulo the grid),
    // often with AutoRedraw on and no crosshair, so that the rows render in place; a hook may
    // throw during that render. With the picture whole before, the control then shows what a
    // whole render shows, after the paint a throw leaves due.
    void rasterRows(ByteReader& in)
    {
        TPolChart& c = m_chart;
        TpcRaster& raster = *c.Raster();
        if (raster.AzCount() == 0 || raster.RangeCount() == 0 || in.small(16) == 0) {
            const int rows = 1 + in.small(180), cells = 1 + in.small(60);
            const double step = (std::fabs(c.RangeHigh() - c.RangeLow()) + 1) / cells;
            if (!std::isfinite(step))
                return;
            raster.SetGrid(
                rows, cells, in.small(360), 360.0 / rows * (in.small(4) ? 1 : 0.5), 0, step);
            raster.Fill(in.small(100));
        }
        const bool inPlace = in.small(2);
        if (inPlace) {
            c.SetAutoRedraw(true);
            c.SetPaintingSuspended(false);
            for (int i = 1; i <= TCustomPolChart::CrossHairCount; ++i)
                c.CrossHair(i)->SetMode(TpcCrossHMode::chOff);
            c.Redraw();
        }
        m_armed = in.small(4) == 0;
        const bool armed = m_armed;
        const QImage last = inPlace && armed ? c.BackingImage().copy() : QImage();
        const int az = int(uint32_t(in.integer()) % uint32_t(raster.AzCount()));
        try {
            if (in.small(4)) {
                std::vector<float> values(size_t(in.small(raster.RangeCount() + 1)));
                for (float& v : values)
                    v = float(in.small(8) ? in.small(100) : std::nan(""));
                raster.SetRow(az, values.data(), int(values.size()));
            } else {
                raster.SetCell(
                    az, int(uint32_t(in.integer()) % uint32_t(raster.RangeCount())), in.small(100));
            }
        } catch (const HookThrew&) {
        }
        m_armed = false;
        if (inPlace && (armed || in.small(4) == 0)) {
            QApplication::processEvents();
            wholePictureShown(armed ? "after a hook threw in a row's render" : "after a row", last);
        }
    }

    // With the picture current, the control shows what ToImage renders at scale 1; after a throw
    // it may show the last whole picture instead.
    void wholePictureShown(const char* when, const QImage& last)
    {
        TPolChart& c = m_chart;
        if (c.PaintingSuspended() || !c.AutoRedraw() || TpcChartSeams::MouseGesture(c).ZoomBoxActive
            || c.Width() == 0 || c.Height() == 0)
            return;
        const QImage shown = c.BackingImage();
        if (c.ToImage(1) != shown && (last.isNull() || last != shown))
            m_failure = std::string("the control's picture is not a whole picture ") + when;
    }

    // The sweep's clock forward or back, its persistence, and a tick of its timer.
    void clock(ByteReader& in)
    {
        TpcSweep& sweep = *m_chart.Sweep();
        const int step = in.small(200) - 100;
        m_now += in.small(4) == 0 ? step * 1000.0 : step / 10.0;
        if (in.small(2))
            sweep.SetPersistence(in.small(50) / 10.0);
        TpcChartSeams::SweepTick(m_chart);
    }

    // Any of the 256 classes: names of any bytes, styles with any enumeration values, the
    // default class and which classes are shown.
    void classes(ByteReader& in)
    {
        TPolChart& c = m_chart;
        const uint8_t elemClass = in.byte();
        TpcClassStyle& style = *c.ClassStyle(elemClass);
        const auto state = [&] {
            return std::tuple { style.Marker(), style.Fill(), style.ColorMap(), style.Name() };
        };
        const auto anyEnum
            = [&](int count) { return uint8_t(in.small(4) ? in.small(count) : in.byte()); };
        switch (in.small(4)) {
        case 0:
            style.SetName(in.text());
            break;
        case 1:
            refusalChangesNothing("marker", state, [&] { style.SetMarker(TpcMarker(anyEnum(9))); });
            refusalChangesNothing("fill", state, [&] { style.SetFill(TpcFill(anyEnum(3))); });
            refusalChangesNothing(
                "colour map", state, [&] { style.SetColorMap(TpcColorMap(anyEnum(5))); });
            break;
        case 2:
            c.SetClassDefault(elemClass);
            break;
        default:
            c.SetClassVisible(elemClass, in.byte() & 1);
            c.Legend()->SetVisible(true);
            break;
        }
    }

    // A run of points long enough for the threaded data pass, in one class, then a paint; mostly
    // cleared again, so that the operations after it paint quickly.
    void longRun(ByteReader& in)
    {
        TPolChart& c = m_chart;
        if (c.ElementCount() > 40000)
            c.Clear();
        const int count = 16384 + in.small(64) * 64;
        const double step = in.small(2) ? in.small(100) / 10.0 : in.real();
        const double radius = std::fabs(c.RangeHigh() - c.RangeLow());
        c.MoveTo(c.RangeLow(), 0);
        for (int i = 0; i < count; ++i)
            c.DrawTo(c.RangeLow() + radius * ((i * 37) % 101) / 100.0, i * step);
        c.Redraw();
        if (in.small(4) != 0)
            c.Clear();
    }

    // What the listeners do next, and a move or press that makes them report: over a wedge, the
    // raster, or a legend entry.
    void listeners(ByteReader& in)
    {
        m_listenerAction = in.small(6);
        const QPoint p(in.small(m_limit), in.small(m_limit));
        if (in.small(2)) {
            testing_support::SendMouse(m_chart, QEvent::MouseMove, p);
            return;
        }
        const geometry::TpcLegendLayout* legend = TpcChartSeams::LegendLayout(m_chart);
        const QPoint at = legend && !legend->Entries.empty()
            ? QPoint(legend->Entries[0].Row.Left + 1, legend->Entries[0].Row.Top + 1)
            : p;
        testing_support::SendMouse(
            m_chart, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        testing_support::SendMouse(m_chart, QEvent::MouseButtonRelease, at, Qt::LeftButton);
    }

    // The texts and the value interface that assistive tools read and write.
    void accessible(ByteReader& in)
    {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&m_chart);
        if (!face)
            return;
        for (const QAccessible::Text kind :
            { QAccessible::Name, QAccessible::Description, QAccessible::Value, QAccessible::Help })
            face->text(kind);
        if (QAccessibleValueInterface* value = face->valueInterface()) {
            value->currentValue();
            value->minimumValue();
            value->maximumValue();
            if (in.small(2))
                value->setCurrentValue(in.real());
            else
                value->setCurrentValue(QString::fromStdString(in.text()));
        }
    }

    // A copy of the control's picture or of the chart image, held as a caller would.
    void hold(ByteReader& in)
    {
        m_held = in.small(2) ? m_chart.BackingImage() : m_chart.ChartBitmap().Image();
        m_heldPixels = m_held.copy();
    }

    // What the listeners do (listen), how often they heard, and the object their connections
    // live as long as.
    int m_listenerAction = 0;
    int m_heard = 0;
    QObject m_listening;
    // A caller's copy of a picture, and its pixels when taken.
    QImage m_held, m_heldPixels;
    // The sweep's time and the rows' versions and times at the last check.
    mutable double m_sweepTime = -HUGE_VAL;
    mutable std::vector<uint64_t> m_rowVersions;
    mutable std::vector<double> m_rowTimes;
};

} // namespace znq::chart_ops
