// What the chart's operations share: a reader of the bytes that drive them, the chart with its
// hooks and clock in the operations' hands, and the first invariant found broken. The layers'
// operations (layer_ops.h) and the chart's own (chart_ops.h) build on it.
#pragma once

#include "ZNQ_polchart.h"
#include "znq_application.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

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

class OpsCore {
public:
    // The chart's size stays below limit x limit.
    OpsCore(TPolChart& chart, int limit)
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
        // An exception that escapes an event handler is reported, not shown in a message box.
        if (TApplication* app = TApplication::Instance())
            m_onException = std::exchange(app->OnException, [](const std::string&) {});
    }

    ~OpsCore()
    {
        if (TApplication* app = TApplication::Instance())
            app->OnException = m_onException;
    }
    OpsCore(const OpsCore&) = delete;
    OpsCore& operator=(const OpsCore&) = delete;

protected:
    void throwIfArmed()
    {
        if (m_armed) {
            m_armed = false;
            throw HookThrew();
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

private:
    // The application's handler of escaped exceptions before the operations took it.
    std::function<void(const std::string&)> m_onException;
};

} // namespace znq::chart_ops
