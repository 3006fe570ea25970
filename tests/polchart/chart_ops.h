// A chart driven by a stream of operations read from bytes: setters with any double, data,
// labels, crosshairs, mouse gestures, the wheel with any delta and position, the view keys and
// history, snapping, resizes down to 0 x 0, paints, both transforms and pictures out; the layers'
// setters (wedges, wind roses, raster rows that fit the grid, the sweep's clock going both ways),
// classes 0 to 255, data runs long enough for the threaded pass, listeners that edit the chart or
// throw, throwing hooks during a row's render, the accessible texts and value, and held copies of
// the control's picture; with the invariants that must hold after each. The random-operation test
// feeds it random bytes, the chart's fuzz target the fuzzer's.
#pragma once

#include "../mouse_events.h"
#include "ZNQ_polchart.h"
#include "polchart_seams.h"
#include "znq_application.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QXmlStreamReader>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace znq::chart_ops {

// Bytes consumed from the front; zeros once they are used up.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool done() const { return m_position >= m_size; }
    uint8_t byte() { return m_position < m_size ? m_data[m_position++] : 0; }
    int32_t integer()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | byte();
        return static_cast<int32_t>(value);
    }
    // Mostly ordinary values, one in four any bit pattern at all (NaN, infinities, denormals).
    double real()
    {
        if (byte() % 4 != 0)
            return static_cast<int16_t>(byte() << 8 | byte()) / 100.0;
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = bits << 8 | byte();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    int small(int limit) { return byte() % limit; }
    // Mostly printable ASCII; one text in four any bytes at all (controls, broken UTF-8).
    std::string text()
    {
        const bool anyBytes = byte() % 4 == 0;
        const size_t length = byte() % 24;
        std::string result;
        for (size_t i = 0; i < length; ++i)
            result.push_back(static_cast<char>(anyBytes ? byte() : ' ' + byte() % 95));
        return result;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
};

// What the operations' hooks and listeners throw when told to.
struct HookThrew : std::runtime_error {
    HookThrew()
        : std::runtime_error("a hook threw")
    {
    }
};

class ChartOps {
public:
    // The chart's size stays below limit x limit.
    ChartOps(TPolChart& chart, int limit)
        : m_chart(chart)
        , m_limit(limit)
    {
        m_chart.OnBeforeDrawScaleLabel
            = [this](TObject*, TCanvas&, TpcScaleKind, std::string& text, int, int) {
                  text += m_unitText;
                  throwIfArmed();
              };
        m_chart.OnDataRendered = [this](TObject*, TCanvas&, int, int) { throwIfArmed(); };
        // The sweep's fading reads a clock the operations move, so that a run repeats exactly.
        m_chart.Sweep()->SetClock([this] { return m_now; });
        // Listeners that edit the chart while it reports, or throw.
        QObject::connect(
            &m_chart, &TCustomPolChart::wedgeHovered, &m_listening, [this] { listen(); });
        QObject::connect(
            &m_chart, &TCustomPolChart::rasterValueAtPointer, &m_listening, [this] { listen(); });
        QObject::connect(
            &m_chart, &TCustomPolChart::legendClick, &m_listening, [this] { listen(); });
        // An exception that escapes an event handler is reported, not shown in a message box.
        if (TApplication* app = TApplication::Instance())
            m_onException = std::exchange(app->OnException, [](const std::string&) {});
    }

    ~ChartOps()
    {
        if (TApplication* app = TApplication::Instance())
            app->OnException = m_onException;
    }
    ChartOps(const ChartOps&) = delete;
    ChartOps& operator=(const ChartOps&) = delete;

    // One operation. On a logarithmic axis the bounds' setters refuse values of 0 and below with
    // an error that must leave the range as it was; no other operation may raise one.
    void step(ByteReader& in)
    {
        const auto before = std::tuple { m_chart.RangeLow(), m_chart.RangeHigh() };
        const bool logarithmic = m_chart.RadialScale() == TpcRadialScale::rsLog10;
        m_armed = false;
        try {
            operation(in);
        } catch (const HookThrew&) {
            // A paint that a hook stopped; the picture is checked by the operations that arm it.
        } catch (const EZNQPolChartError& error) {
            if (!logarithmic)
                m_failure = std::string("an operation raised ") + error.what();
            else if (std::tuple { m_chart.RangeLow(), m_chart.RangeHigh() } != before)
                m_failure = "a refused bound changed the range";
        }
    }

    void operation(ByteReader& in)
    {
        TPolChart& c = m_chart;
        // Bytes below 225 pick the first 45 operations as they always did, so that old inputs
        // keep their meaning; the rest pick the layers' families.
        const uint8_t op = in.byte();
        if (op >= 225) {
            family((op - 225) % 11, in);
            return;
        }
        switch (op % 45) {
        case 0:
            c.SetMagFactor(in.real());
            break;
        case 1:
            c.SetRangeLow(in.real());
            break;
        case 2:
            c.SetRangeHigh(in.real());
            break;
        case 3:
            c.SetAngleOffset(in.real());
            break;
        case 4:
            c.SetAngleBtwRays(in.real());
            break;
        case 5:
            c.SetUseDegrees(in.byte() & 1);
            break;
        case 6:
            c.SetRotationDir(static_cast<TpcRotationDir>(in.small(2)));
            break;
        case 7:
            c.SetCenterX(in.integer());
            break;
        case 8:
            c.SetCenterY(in.integer());
            break;
        case 9:
            c.SetAutoCenter(in.byte() & 1);
            break;
        case 10:
            c.SetShadowWidth(in.integer() % 40);
            break;
        case 11:
            c.SetGridStyleRadial(static_cast<TpcGridStyleRad>(in.small(6)));
            c.SetGridStyleAngular(static_cast<TpcGridStyleAng>(in.small(3)));
            c.SetLabelModeAngular(static_cast<TpcAngLabelMode>(in.small(7)));
            c.SetLabelModeRadial(static_cast<TpcRadLabelMode>(in.small(4)));
            break;
        case 12:
        case 13: {
            if (c.ElementCount() > 4000)
                c.Clear();
            const double rad = in.real(), phi = in.real();
            c.SetPenStyle(static_cast<TPenStyle>(in.small(7)));
            c.SetLineWidth(static_cast<uint8_t>(in.small(4) == 0 ? in.byte() % 40 : 1));
            if (in.byte() & 1)
                c.MoveTo(rad, phi);
            else
                c.DrawTo(rad, phi);
            break;
        }
        case 14:
            c.Clear();
            break;
        case 15:
            c.AddTextLabel(static_cast<TColor>(in.integer() & 0xFFFFFF), in.text(), in.real(),
                in.real(), in.small(22));
            break;
        case 16: {
            TpcTextLabel* label = c.TextLabel(1 + in.small(20));
            label->SetMode(static_cast<TTxtLblMode>(in.small(5)));
            label->SetAttachToData(in.byte() & 1);
            label->SetPosRad(in.real());
            label->SetPosPhi(in.real());
            label->SetCaption(in.text());
            label->SetShadowDx(in.integer() % 50);
            break;
        }
        case 17: {
            TpcCrossHair* crossHair = c.CrossHair(1 + in.small(4));
            crossHair->SetMode(static_cast<TpcCrossHMode>(in.small(3)));
            crossHair->SetLineWid(in.small(8) == 0 ? in.byte() : 1 + in.small(3));
            crossHair->SetLineType(static_cast<TPenStyle>(in.small(7)));
            crossHair->SetPosition(in.real(), in.real());
            break;
        }
        case 18:
            c.SetBounds(0, 0, in.small(m_limit), in.small(m_limit));
            break;
        case 19:
            c.Redraw();
            break;
        case 20:
            c.SetMouseAction(static_cast<TMouseActMode>(in.small(19)));
            break;
        case 21:
        case 22:
        case 23:
            mouse(in);
            break;
        case 24:
            c.PolarToPixel(in.real(), in.real());
            break;
        case 25:
            c.PixelToPolar(in.integer() % 100000, in.integer() % 100000);
            break;
        case 26:
            c.SetAutoRedraw(in.byte() & 1);
            break;
        case 27:
            c.SetDecPlaceRad(in.integer());
            c.SetDecPlacePhi(in.integer());
            break;
        case 28:
            c.Font().SetHeight(in.integer() % 60);
            break;
        case 29:
            c.SetPaintingSuspended(in.byte() & 1);
            break;
        case 30:
        case 31:
            wheel(in);
            break;
        case 32:
            key(in);
            break;
        case 33:
            switch (in.small(5)) {
            case 0:
                c.ViewBack();
                break;
            case 1:
                c.ViewForward();
                break;
            case 2:
                c.ViewHome();
                break;
            default:
                testing_support::SendMouse(m_chart, QEvent::MouseButtonPress, QPoint(5, 5),
                    in.byte() & 1 ? Qt::BackButton : Qt::ForwardButton);
            }
            break;
        case 34: {
            TpcCrossHair* crossHair = c.CrossHair(1 + in.small(4));
            crossHair->SetSnapToData(in.byte() & 1);
            c.StepCrossHair(1 + in.small(4), static_cast<int8_t>(in.byte()));
            c.NearestElement(in.real(), in.real());
            break;
        }
        case 35:
            c.SetClassDefault(static_cast<uint8_t>(in.small(3)));
            c.SetClassVisible(static_cast<uint8_t>(in.small(3)), in.byte() & 1);
            break;
        case 36:
            c.SetName(in.text());
            m_unitText = in.text();
            break;
        case 37:
            checkImage();
            break;
        case 38:
            if (in.small(4) == 0)
                save(in);
            break;
        case 39:
            c.ToImage(in.byte() & 1 ? 0.25 : 1.7);
            break;
        case 40:
            radialRange(in);
            break;
        case 41:
            sector(in);
            break;
        case 42:
            series(in);
            break;
        case 43:
            wedges(in);
            break;
        case 44:
            raster(in);
            break;
        }
    }

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

    // An empty text when every invariant holds, else the first one broken.
    std::string broken() const
    {
        const TPolChart& c = m_chart;
        if (!m_failure.empty())
            return m_failure;
        if (!(c.RangeLow() != c.RangeHigh()))
            return "RangeLow equals RangeHigh";
        if (!std::isfinite(c.RangeLow()) || !std::isfinite(c.RangeHigh()))
            return "a range bound is not finite";
        if (!std::isfinite(c.MagFactor()) || !(c.MagFactor() > 0))
            return "MagFactor " + std::to_string(c.MagFactor());
        if (!std::isfinite(c.ScaleX()))
            return "the scale is not finite";
        if (c.ElementCount() < 0 || c.ElementCount() > c.ElementCapacity())
            return "element count " + std::to_string(c.ElementCount());
        const TpcMouseGesture& g = TpcChartSeams::MouseGesture(c);
        if (g.DraggedCrossHair < 0 || g.DraggedCrossHair > TCustomPolChart::CrossHairCount
            || g.DraggedTextLabel < 0 || g.DraggedTextLabel > TCustomPolChart::TextLabelCount)
            return "dragged object index";
        for (int i = 1; i <= TCustomPolChart::CrossHairCount; ++i) {
            const int32_t snapped = c.CrossHair(i)->SnappedIndex();
            if (snapped == -1)
                continue;
            if (snapped < 0 || snapped >= c.ElementCount() || !std::isfinite(c.Element(snapped).Rad)
                || !std::isfinite(c.Element(snapped).Phi))
                return "crosshair " + std::to_string(i) + " snapped to element "
                    + std::to_string(snapped) + " of " + std::to_string(c.ElementCount());
        }
        if (!m_held.isNull() && m_held != m_heldPixels)
            return "a held copy of the control's picture changed";
        if (const std::string rows = rowsBrightened(); !rows.empty())
            return rows;
        const double turn = 2 * 3.141592653589793 / c.AngleUnit();
        // Three rows above the centre, which the wheel may have taken to the end of the range.
        const auto above = static_cast<int32_t>(
            std::max<int64_t>(int64_t(c.CenterY()) - 3, std::numeric_limits<int32_t>::min()));
        for (const auto& [x, y] : { std::pair { 0, 0 }, { c.Width(), c.Height() },
                 { c.CenterX(), above }, { -70000, 12 } }) {
            const TpcPolarPoint p = c.PixelToPolar(x, y);
            if (!std::isfinite(p.Rad) || !(p.Phi >= 0 && p.Phi <= turn))
                return "PixelToPolar(" + std::to_string(x) + ", " + std::to_string(y)
                    + ") = " + std::to_string(p.Rad) + ", " + std::to_string(p.Phi);
        }
        return {};
    }

private:
    void throwIfArmed()
    {
        if (m_armed) {
            m_armed = false;
            throw HookThrew();
        }
    }

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

    // Runs change; when it is refused, what state reads must be as it was just before it.
    template <typename State, typename Change>
    void refusalChangesNothing(const char* what, State state, Change change)
    {
        const auto before = state();
        try {
            change();
        } catch (const EZNQPolChartError&) {
            if (state() != before)
                m_failure = std::string("a refused ") + what + " changed the chart";
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

    // The range and the scale at once, or one of their setters: a refused value must leave them
    // as they were, and a logarithmic axis must keep both bounds above 0.
    void radialRange(ByteReader& in)
    {
        TPolChart& c = m_chart;
        const auto before = std::tuple { c.RangeLow(), c.RangeHigh(), c.RadialScale() };
        const double value = in.real();
        try {
            switch (in.small(4)) {
            case 0:
                c.SetRadialRange(value, in.real(),
                    in.small(2) ? TpcRadialScale::rsLog10 : TpcRadialScale::rsLinear);
                break;
            case 1:
                c.SetRadialScale(in.small(2) ? TpcRadialScale::rsLog10 : TpcRadialScale::rsLinear);
                break;
            case 2:
                c.SetRangeLow(std::fabs(value));
                break;
            default:
                c.SetRangeHigh(std::fabs(value));
                break;
            }
        } catch (const EZNQPolChartError&) {
            if (std::tuple { c.RangeLow(), c.RangeHigh(), c.RadialScale() } != before)
                m_failure = "a refused range changed the chart";
        }
        if (c.RadialScale() == TpcRadialScale::rsLog10 && !(c.RangeLow() > 0 && c.RangeHigh() > 0))
            m_failure = "a logarithmic axis with a bound of 0 or below";
    }

    // The sector and the hole, any values: a refused one must change nothing.
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

    void sector(ByteReader& in)
    {
        TPolChart& c = m_chart;
        const auto before = std::tuple { c.SectorStart(), c.SectorSpan(), c.HoleFraction() };
        const double value = in.small(2) ? in.real() : in.small(400) - 20;
        try {
            switch (in.small(3)) {
            case 0:
                c.SetSectorStart(value);
                break;
            case 1:
                c.SetSectorSpan(value);
                break;
            default:
                c.SetHoleFraction(value / 100);
                break;
            }
        } catch (const EZNQPolChartError&) {
            if (std::tuple { c.SectorStart(), c.SectorSpan(), c.HoleFraction() } != before)
                m_failure = "a refused sector changed the chart";
        }
    }

    // Any delta; a position in or near the control, or any double at all (NaN, infinities, far).
    void wheel(ByteReader& in)
    {
        const int delta = in.small(2) ? (in.small(9) - 4) * 60 : in.integer();
        QPointF p(in.small(m_limit + 40) - 20, in.small(m_limit + 40) - 20);
        if (in.small(4) == 0)
            p = QPointF(in.real(), in.real());
        QWheelEvent event(p, p, QPoint(), QPoint(0, delta), Qt::NoButton,
            in.byte() & 1 ? Qt::ShiftModifier : Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&m_chart, &event);
    }

    void key(ByteReader& in)
    {
        static constexpr Qt::Key keys[] = { Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down,
            Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Equal, Qt::Key_Home, Qt::Key_A };
        static constexpr Qt::KeyboardModifier modifiers[]
            = { Qt::NoModifier, Qt::AltModifier, Qt::ShiftModifier };
        QKeyEvent event(QEvent::KeyPress, keys[in.small(9)], modifiers[in.small(3)]);
        QApplication::sendEvent(&m_chart, &event);
    }

    // The picture out at scale 1 is the control's own, once the control shows the present state
    // (not when painting is suspended or a zoom box is drawn over it).
    void checkImage()
    {
        TPolChart& c = m_chart;
        if (c.PaintingSuspended() || TpcChartSeams::MouseGesture(c).ZoomBoxActive)
            return;
        c.Redraw();
        if (c.ToImage(1) != c.BackingImage())
            m_failure = "ToImage(1) differs from the control's picture";
    }

    // A picture with pixels is saved and an SVG file parses; an empty one raises in every format.
    void save(ByteReader& in)
    {
        static const char* suffixes[] = { "svg", "pdf", "png" };
        static QTemporaryDir folder;
        const std::string path
            = folder.filePath(QStringLiteral("chart.") + QLatin1String(suffixes[in.small(3)]))
                  .toStdString();
        const double scale = in.byte() & 1 ? 1.0 : 0.25;
        const bool empty = std::lround(m_chart.Width() * scale) == 0
            || std::lround(m_chart.Height() * scale) == 0;
        QFile::remove(QString::fromStdString(path));
        try {
            m_chart.SaveImage(path, scale);
        } catch (const EZNQPolChartError& error) {
            if (!empty)
                m_failure = std::string("saving failed: ") + error.what();
            return;
        }
        if (empty) {
            m_failure = "an empty picture was saved as " + path;
            return;
        }
        if (path.ends_with(".svg")) {
            QFile file(QString::fromStdString(path));
            if (!file.open(QIODevice::ReadOnly)) {
                m_failure = "no SVG file";
                return;
            }
            QXmlStreamReader xml(&file);
            while (!xml.atEnd())
                xml.readNext();
            if (xml.hasError())
                m_failure = "the SVG file is not XML: " + xml.errorString().toStdString();
        }
    }

    // A press, a move or a release with any buttons, anywhere, as the platform delivers them
    // (moves outside the control arrive while a button is held).
    void mouse(ByteReader& in)
    {
        static constexpr Qt::MouseButton buttons[]
            = { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton };
        const int kind = in.small(3);
        const QPoint p(in.small(m_limit + 40) - 20, in.small(m_limit + 40) - 20);
        const Qt::MouseButton button = buttons[in.small(3)];
        Qt::MouseButtons held = Qt::MouseButtons::fromInt(in.small(8));
        QEvent::Type type = QEvent::MouseMove;
        Qt::MouseButton changed = Qt::NoButton;
        if (kind == 0) {
            type = QEvent::MouseButtonPress;
            changed = button;
            held |= button;
        } else if (kind == 1) {
            type = QEvent::MouseButtonRelease;
            changed = button;
            held &= ~Qt::MouseButtons(button);
        }
        testing_support::SendMouse(m_chart, type, p, changed, held);
    }

    TPolChart& m_chart;
    int m_limit;
    // Appended to every scale label.
    std::string m_unitText;
    // The sweep's clock, in seconds: it may stand, jump and run backwards.
    double m_now = 1000;
    // The first invariant an operation found broken.
    std::string m_failure;
    // Whether the next hook call throws.
    bool m_armed = false;
    // What the listeners do (listen), how often they heard, and the object their connections
    // live as long as.
    int m_listenerAction = 0;
    int m_heard = 0;
    QObject m_listening;
    // The application's handler of escaped exceptions before the operations took it.
    std::function<void(const std::string&)> m_onException;
    // A caller's copy of a picture, and its pixels when taken.
    QImage m_held, m_heldPixels;
    // The sweep's time and the rows' versions and times at the last check.
    mutable double m_sweepTime = -HUGE_VAL;
    mutable std::vector<uint64_t> m_rowVersions;
    mutable std::vector<double> m_rowTimes;
};

} // namespace znq::chart_ops
