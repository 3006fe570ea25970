// A chart driven by a stream of operations read from bytes: setters with any double, data,
// labels, crosshairs, mouse gestures, resizes down to 0 x 0, paints and both transforms, with the
// invariants that must hold after each. The random-operation test feeds it random bytes, the
// chart's fuzz target the fuzzer's.
#pragma once

#include "../mouse_events.h"
#include "ZNQ_polchart.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

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
    std::string text()
    {
        const size_t length = byte() % 24;
        std::string result;
        for (size_t i = 0; i < length; ++i)
            result.push_back(static_cast<char>(' ' + byte() % 95));
        return result;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
};

class ChartOps {
public:
    // The chart's size stays below limit x limit.
    ChartOps(TPolChart& chart, int limit)
        : m_chart(chart)
        , m_limit(limit)
    {
    }

    void step(ByteReader& in)
    {
        TPolChart& c = m_chart;
        switch (in.small(30)) {
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
        }
    }

    // An empty text when every invariant holds, else the first one broken.
    std::string broken() const
    {
        const TPolChart& c = m_chart;
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
        const TpcMouseGesture& g = c.MouseGesture();
        if (g.DraggedCrossHair < 0 || g.DraggedCrossHair > TCustomPolChart::CrossHairCount
            || g.DraggedTextLabel < 0 || g.DraggedTextLabel > TCustomPolChart::TextLabelCount)
            return "dragged object index";
        const double turn = 2 * 3.141592653589793 / c.AngleUnit();
        for (const auto& [x, y] : { std::pair { 0, 0 }, { c.Width(), c.Height() },
                 { c.CenterX(), c.CenterY() - 3 }, { -70000, 12 } }) {
            const TpcPolarPoint p = c.PixelToPolar(x, y);
            if (!std::isfinite(p.Rad) || !(p.Phi >= 0 && p.Phi <= turn))
                return "PixelToPolar(" + std::to_string(x) + ", " + std::to_string(y)
                    + ") = " + std::to_string(p.Rad) + ", " + std::to_string(p.Phi);
        }
        return {};
    }

private:
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
};

} // namespace znq::chart_ops
