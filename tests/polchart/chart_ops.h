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
#include "chart/polchart_seams.h"
#include "layer_ops.h"

#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QXmlStreamReader>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <utility>

namespace znq::chart_ops {

class ChartOps : public LayerOps {
public:
    using LayerOps::LayerOps;

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
        if (const std::string layers = layersBroken(); !layers.empty())
            return layers;
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
};

} // namespace znq::chart_ops
