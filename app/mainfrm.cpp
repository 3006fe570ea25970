#include "mainfrm.h"

namespace znq {

TFrmPolChart::TFrmPolChart(QWidget* parent)
    : TForm(parent)
{
    setObjectName("FrmPolChart");
    SetCaption("Polar Diagram Using Component TPolChart");
    SetColor(clBtnFace);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-13);
    Font().SetColor(clWindowText);
    Font().SetStyle({});
    SetPosition(TPosition::poScreenCenter);
    // The designed outer size is 891 x 676 with a 4-pixel border and a 24-pixel caption; the
    // window manager adds its own frame around this client area.
    SetClientSize(DesignClientWidth, DesignClientHeight);

    createPopupMenu();
    createChart();

    Panel1 = new TPanel(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(624, 0, 259, 648);

    OnShow = [this](TObject* sender) { FormShow(sender); };
}

// The chart's stored settings, applied in their stored order while the chart is loading.
void TFrmPolChart::createChart()
{
    PC = new TPolChart(this);
    PC->SetName("PC");
    PC->Font().Assign(Font());
    PC->BeginLoading();
    PC->SetBounds(0, 0, 624, 648);
    PC->setCursor(Qt::PointingHandCursor);
    PopupMenu1->AttachTo(PC);
    PC->SetAllocSize(1000);
    PC->SetAngleOffset(-50.0);
    PC->SetAutoRedraw(true);
    PC->SetCenterX(309);
    PC->SetCenterY(324);
    PC->SetClassDefault(0);
    PC->SetGridColor(clSilver);
    PC->SetGridStyleAngular(TpcGridStyleAng::gsAngDots);
    PC->SetGridStyleRadial(TpcGridStyleRad::gsRadBothMixed);
    PC->SetDataColor(clRed);
    PC->SetScaleColor(clNavy);
    PC->SetChartColor(0xF4FCFF);
    PC->SetLabelModeAngular(TpcAngLabelMode::almDegrees);
    PC->SetLabelModeRadial(TpcRadLabelMode::rlmVertRight);
    for (int i = 1; i <= 4; ++i) {
        TpcCrossHair* crossHair = PC->CrossHair(i);
        crossHair->SetColor(clBlack);
        crossHair->SetLineType(i == 1 ? TPenStyle::psDash : TPenStyle::psSolid);
        crossHair->SetLineWid(1);
        crossHair->SetMode(TpcCrossHMode::chOff);
        if (i == 2)
            crossHair->SetPosRad(1.0);
    }
    PC->SetRangeHigh(10.0);
    PC->SetAngleBtwRays(30.0);
    PC->SetMagFactor(0.65);
    PC->SetMouseAction(TMouseActMode::maDragLabel);
    PC->SetRotationDir(TpcRotationDir::rdCounterCW);
    PC->SetShadowStyle(TShadowStyle::ssFlying);
    PC->SetShadowColor(clGray);
    PC->SetShadowBakColor(clBtnFace);
    PC->SetTextFontStyle({});
    PC->SetTextBkStyle(TpcTextBkg::tbSolid);
    PC->SetTextBkColor(clWhite);
    PC->SetTextAlignment(TAlignment::taRightJustify);
    PC->SetUseDegrees(true);
    PC->Loaded();
}

void TFrmPolChart::createPopupMenu()
{
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    PopMenNoMouseAct = PopupMenu1->Add("PopMenNoMouseAct", "None");
    Reset1 = PopupMenu1->Add("Reset1", "Reset Diagram");
    Pan1 = PopupMenu1->Add("Pan1", "Pan");
    Zoom1 = PopupMenu1->Add("Zoom1", "Zoom");
    DragLabels1 = PopupMenu1->Add("DragLabels1", "Drag Labels");
    PopMenNoMouseAct->OnClick = [this](TObject* sender) { PopMenNoMouseActClick(sender); };
    Reset1->OnClick = [this](TObject* sender) { Reset1Click(sender); };
    Pan1->OnClick = [this](TObject* sender) { Pan1Click(sender); };
    Zoom1->OnClick = [this](TObject* sender) { Zoom1Click(sender); };
    DragLabels1->OnClick = [this](TObject* sender) { DragLabels1Click(sender); };
}

void TFrmPolChart::InitDemoData()
{
    PC->Clear();
    PC->SetRangeLow(0);
    PC->SetRangeHigh(10);
    PC->SetDataColor(clRed);
    PC->MoveTo(0, 0);
    PC->SetLineWidth(1);
    for (int i = 1; i <= 1000; ++i)
        PC->DrawTo(i / 100.0, i / 50.0);
    PC->SetDataColor(clBlue);
    PC->SetLineWidth(1);
    const int n = PC->AddTextLabel(clBlue, "This is a text label", 6.0, 210.0, 0);
    if (n > 0) {
        TpcTextLabel* label = PC->TextLabel(n);
        label->SetAttachToData(true);
        label->SetMode(TTxtLblMode::tlShadow);
        label->SetShadowDx(3);
        label->SetShadowDy(6);
    }
    PC->Redraw();
}

void TFrmPolChart::FormShow(TObject*)
{
    InitDemoData();
}

void TFrmPolChart::PopMenNoMouseActClick(TObject*)
{
    PC->SetMouseAction(TMouseActMode::maNone);
}

// Resetting the diagram belongs to the control panel, which is not built yet.
void TFrmPolChart::Reset1Click(TObject*)
{
}

void TFrmPolChart::Pan1Click(TObject*)
{
    PC->SetMouseAction(TMouseActMode::maPan);
}

void TFrmPolChart::Zoom1Click(TObject*)
{
    PC->SetMouseAction(TMouseActMode::maZoomDrag);
}

void TFrmPolChart::DragLabels1Click(TObject*)
{
    PC->SetMouseAction(TMouseActMode::maDragLabel);
}

} // namespace znq
