// The smallest program with a chart: a spiral of 1,000 points on a grid with scales.
#include "ZNQ_polchart.h"

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    znq::TPolChart chart;
    chart.resize(500, 500);
    chart.SetRangeHigh(10);
    chart.SetMagFactor(0.8);
    chart.SetDataColor(znq::clRed);
    chart.MoveTo(0, 0);
    for (int i = 1; i <= 1000; ++i)
        chart.DrawTo(i / 100.0, i * 0.72); // 2 turns out to radius 10, in degrees
    chart.show();
    // For the documentation: "--save FILE" saves the picture and ends.
    if (argc > 2 && std::strcmp(argv[1], "--save") == 0) {
        chart.SaveImage(argv[2]);
        return 0;
    }
    // For the smoke test: quit after the given number of milliseconds.
    if (argc > 1)
        QTimer::singleShot(std::atoi(argv[1]), &app, &QApplication::quit);
    return app.exec();
}
