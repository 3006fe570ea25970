#include "ZNQ_NumLab.h"
#include "ZNQ_polchart.h"
#include "ZNQ_stringl.h"

#include <QApplication>
#include <QObject>
#include <cstdio>

// A Qt class written the ordinary way, with the keywords a library must leave alone.
class Relay : public QObject {
    Q_OBJECT

public:
    void zoomed() { emit relayed(); }

signals:
    void relayed();

public slots:
    void count() { ++received; }

public:
    int received = 0;
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    znq::TPolChart chart;
    chart.SetRangeHigh(10);
    znq::TNumLab label;
    label.SetValue(3.14159);
    Relay relay;
    QObject::connect(&relay, &Relay::relayed, &relay, &Relay::count);
    chart.OnZoomPan = [&](znq::TObject*) { relay.zoomed(); };
    chart.OnZoomPan(&chart);
    // The library's own signals, from the installed headers and library.
    double notified = 0;
    QObject::connect(&chart, &znq::TPolChart::magFactorChanged, [&](double m) { notified = m; });
    chart.SetMagFactor(0.5);
    const bool ok = chart.PolarToPixel(0, 0) == znq::TPoint { chart.CenterX(), chart.CenterY() }
        && znq::FormatEngineering(3, 1000) == "1.00k" && relay.received == 1 && notified == 0.5;
    std::puts(ok ? "consumer ok" : "consumer FAILED");
    return ok ? 0 : 1;
}

#include "main.moc"
