// The chart and two read-outs in Qt layouts beside ordinary widgets. Signals connect them: the
// read-outs follow the pointer over the chart, the slider and the chart's magnification follow
// each other, and the check box switches panning with the mouse on and off.
//
//   layout [--self-test]
// --self-test moves a synthetic pointer over the chart, checks that the read-outs and the slider
// followed, and quits with the result.
#include "ZNQ_NumLab.h"
#include "ZNQ_polchart.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    auto* chart = new znq::TPolChart;
    chart->setMinimumSize(300, 300);
    chart->SetRangeHigh(10);
    chart->SetMagFactor(0.8);
    chart->MoveTo(0, 0);
    for (int i = 1; i <= 500; ++i)
        chart->DrawTo(i / 50.0, i * 1.44);

    auto* rad = new znq::TNumLab;
    rad->SetLeftText("Rad");
    rad->SetPrecision(2);
    auto* phi = new znq::TNumLab;
    phi->SetLeftText("Phi");
    phi->SetPrecision(1);
    for (znq::TNumLab* readOut : { rad, phi })
        readOut->setFixedSize(169, 22);
    auto* magnification = new QSlider(Qt::Horizontal);
    magnification->setRange(10, 300);
    magnification->setValue(static_cast<int>(std::lround(chart->MagFactor() * 100)));
    auto* pan = new QCheckBox("Pan with the mouse");

    auto* panel = new QVBoxLayout;
    panel->addWidget(new QLabel("Under the pointer"));
    panel->addWidget(rad);
    panel->addWidget(phi);
    panel->addWidget(new QLabel("Magnification"));
    panel->addWidget(magnification);
    panel->addWidget(pan);
    panel->addStretch();
    auto* row = new QHBoxLayout(&window);
    row->addWidget(chart, 1);
    row->addLayout(panel);

    QObject::connect(chart, &znq::TPolChart::mouseMovedInChart,
        [rad, phi](bool inChart, znq::TShiftState, double r, double p) {
            rad->SetEmpty(!inChart);
            phi->SetEmpty(!inChart);
            rad->SetValue(r);
            phi->SetValue(p);
        });
    QObject::connect(magnification, &QSlider::valueChanged,
        [chart](int percent) { chart->SetMagFactor(percent / 100.0); });
    QObject::connect(chart, &znq::TPolChart::magFactorChanged, [magnification](double factor) {
        const QSignalBlocker quiet(magnification);
        magnification->setValue(static_cast<int>(std::lround(factor * 100)));
    });
    QObject::connect(pan, &QCheckBox::toggled, [chart](bool on) {
        chart->SetMouseAction(on ? znq::TMouseActMode::maPan : znq::TMouseActMode::maNone);
    });
    window.setWindowTitle("Chart in a layout");
    window.resize(620, 420);
    window.show();

    if (argc > 1 && std::strcmp(argv[1], "--self-test") == 0) {
        QTimer::singleShot(100, [&] {
            const QPoint p(chart->width() / 2 + 40, chart->height() / 2);
            QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(chart->mapToGlobal(p)),
                Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(chart, &move);
            const znq::TpcPolarPoint expected = chart->PixelToPolar(p.x(), p.y());
            chart->SetMagFactor(1.5);
            const bool ok = rad->Value() == expected.Rad && phi->Value() == expected.Phi
                && magnification->value() == 150;
            std::printf("read-outs %.3f %.1f, slider %d: %s\n", rad->Value(), phi->Value(),
                magnification->value(), ok ? "followed" : "did not follow");
            app.exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
