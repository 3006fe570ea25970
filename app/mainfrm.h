// The main form of the demonstration program: the chart's area on the left and the control panel
// on the right.
#pragma once

#include "znq_stdctrls.h"

namespace znq {

class TFrmPolChart : public TForm {
    Q_OBJECT

public:
    explicit TFrmPolChart(QWidget* parent = nullptr);

    // The client area of the form as designed: the chart's 624 x 648 beside the 259 pixel panel.
    static constexpr int DesignClientWidth = 883;
    static constexpr int DesignClientHeight = 648;

    QWidget* PC;
    TPanel* Panel1;
};

} // namespace znq
