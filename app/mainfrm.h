// The main form of the demonstration program: the polar chart on the left, the control panel on
// the right, and the chart's pop-up menu.
#pragma once

#include "ZNQ_NumIO.h"
#include "ZNQ_NumLab.h"
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
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label5;
    TNumLab* NLabAngleOffs;
    TScrollBar* SBarMag;
    TScrollBar* SBarRangeHigh;
    TNumIO* NIORayAngle;
    TScrollBar* SBarAngleOffs;
    TRadioGroup* RGRotDir;
    TRadioGroup* RGUseDeg;
    TRadioGroup* RGAngLabelMode;
    TLabel* Label6;
    TScrollBar* SBarRangeLow;
    TNumLab* NLabRad;
    TNumLab* NLabPhi;
    TPopupMenu* PopupMenu1;
    TMenuItem* PopMenNoMouseAct;
    TMenuItem* Pan1;
    TMenuItem* Zoom1;
    TMenuItem* DragLabels1;
    TRadioGroup* RGCrossHair;
    TRadioGroup* RGRadLabels;
    TMenuItem* Reset1;
    TMenuItem* SnapCrossHair1;
    TMenuItem* ShowLegend1;
    TMenuItem* Back1;
    TMenuItem* Forward1;
    TMenuItem* HomeView1;
    TMenuItem* SaveImage1;
    TMenuItem* CopyImage1;
    TRadioGroup* RGGridRad;
    TRadioGroup* RGGridAng;
    TEdit* EdUnitsRad;
    TEdit* EdUnitsAng;

    // Saves the chart as the "Save Image..." item does once the file is chosen.
    void SaveChartImage(std::string path);
    // Fills the chart with the demonstration curve and its text label.
    void InitDemoData();

    void FormShow(TObject* Sender);
    void PopMenNoMouseActClick(TObject* Sender);
    void Reset1Click(TObject* Sender);
    void Pan1Click(TObject* Sender);
    void Zoom1Click(TObject* Sender);
    void DragLabels1Click(TObject* Sender);

    // The control panel's handlers.
    void SBarMagChange(TObject* Sender);
    void SBarRangeHighChange(TObject* Sender);
    void SBarRangeLowChange(TObject* Sender);
    void NIORayAngleChange(TObject* Sender);
    void SBarAngleOffsChange(TObject* Sender);
    void RGRotDirClick(TObject* Sender);
    void RGUseDegClick(TObject* Sender);
    void RGAngLabelModeClick(TObject* Sender);
    void RGRadLabelsClick(TObject* Sender);
    void RGCrossHairClick(TObject* Sender);
    void RGGridRadClick(TObject* Sender);
    void RGGridAngClick(TObject* Sender);
    void EdUnitsChange(TObject* Sender);
    void PCMouseMoveInChart(
        TObject* Sender, bool InChart, TShiftState Shift, double rad, double phi);
    void PCZoomPan(TObject* Sender);
    void PCBeforeDrawScaleLabel(TObject* Sender, TCanvas& Canvas, TpcScaleKind ScaleType,
        std::string& CurrentTickLabel, int ChartX, int ChartY);

private:
    void createChart();
    void createPopupMenu();
    void createPanel();
    void connectHandlers();
    // The panel's controls in their tab order.
    void setTabOrder();
    TLabel* addLabel(const char* name, QRect bounds, const char* caption);
    TScrollBar* addScrollBar(const char* name, QRect bounds, int min, int max, int position);
    TRadioGroup* addRadioGroup(const char* name, QRect bounds, const char* caption, int columns,
        const std::vector<std::string>& items, int itemIndex);
    TNumLab* addNumLab(const char* name, QRect bounds, const char* leftText, int leftSpace,
        int precision, const char* rightText);
    TEdit* addUnitEdit(const char* name, QRect bounds, const std::string& text);
    // Shows crosshair 1's element in the read-outs while it snaps.
    void showCrossHair1();
    // Writes the chart's angle unit and the matching offset, read-out and label mode.
    void applyAngleUnit(bool degrees);
};

} // namespace znq
