// The main form of the demonstration program: the polar chart on the left, the control panel on
// the right, and the chart's pop-up menu.
#pragma once

#include "ZNQ_polchart.h"
#include "znq_stdctrls.h"

namespace znq {

class TFrmPolChart : public TForm {
    Q_OBJECT

public:
    explicit TFrmPolChart(QWidget* parent = nullptr);

    // The client area of the form as designed: the chart's 624 x 648 beside the 259 pixel panel.
    static constexpr int DesignClientWidth = 883;
    static constexpr int DesignClientHeight = 648;

    TPolChart* PC;
    TPanel* Panel1;
    TPopupMenu* PopupMenu1;
    TMenuItem* PopMenNoMouseAct;
    TMenuItem* Reset1;
    TMenuItem* Pan1;
    TMenuItem* Zoom1;
    TMenuItem* DragLabels1;

    // Fills the chart with the demonstration curve and its text label.
    void InitDemoData();

    void FormShow(TObject* Sender);
    void PopMenNoMouseActClick(TObject* Sender);
    void Reset1Click(TObject* Sender);
    void Pan1Click(TObject* Sender);
    void Zoom1Click(TObject* Sender);
    void DragLabels1Click(TObject* Sender);

private:
    void createChart();
    void createPopupMenu();
};

} // namespace znq
