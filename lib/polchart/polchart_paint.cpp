// The paint pipeline: the gates that decide whether to paint, and the picture.
#include "ZNQ_polchart.h"

namespace znq {

void TCustomPolChart::Paint()
{
    if (!Visible() && !Designing())
        return;
    if (Loading() || m_paintingSuspended)
        return;
    ++m_paintCount;
    fitBacking();
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(m_chartColor);
    canvas.FillRect(Rect(0, 0, Width(), Height()));
    canvasPainted();
}

} // namespace znq
