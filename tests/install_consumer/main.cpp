#include "ZNQ_NumLab.h"
#include "ZNQ_polchart.h"
#include "ZNQ_stringl.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    znq::TPolChart chart;
    chart.SetRangeHigh(10);
    znq::TNumLab label;
    label.SetValue(3.14159);
    const bool ok = chart.PolarToPixel(0, 0) == znq::TPoint { chart.CenterX(), chart.CenterY() }
        && znq::FormatEngineering(3, 1000) == "1.00k";
    std::puts(ok ? "consumer ok" : "consumer FAILED");
    return ok ? 0 : 1;
}
