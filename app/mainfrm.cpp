#include "mainfrm.h"

#include "ZNQ_math1.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <numbers>

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

    createPanel();
    setTabOrder();
    // The handlers are bound once every stored value is in place: applying those values is no
    // user action, which is why the panel and the chart start out disagreeing in places (the
    // offset read-out shows 0 while the chart's offset is -50, SBarRangeLow stands at 10.0 while
    // RangeLow is 0).
    connectHandlers();
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
    PC->ClassStyle(0)->SetName("Spiral");
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
    PopupMenu1->addSeparator();
    SnapCrossHair1 = PopupMenu1->Add("SnapCrossHair1", "Snap Crosshair to Data");
    SnapCrossHair1->Action()->setCheckable(true);
    ShowLegend1 = PopupMenu1->Add("ShowLegend1", "Show Legend");
    ShowLegend1->Action()->setCheckable(true);
    ShowLegend1->OnClick
        = [this](TObject*) { PC->Legend()->SetVisible(ShowLegend1->Action()->isChecked()); };
    Back1 = PopupMenu1->Add("Back1", "Back");
    Forward1 = PopupMenu1->Add("Forward1", "Forward");
    HomeView1 = PopupMenu1->Add("HomeView1", "Home View");
    SnapCrossHair1->OnClick = [this](TObject*) {
        PC->CrossHair1()->SetSnapToData(SnapCrossHair1->Action()->isChecked());
        showCrossHair1();
    };
    Back1->OnClick = [this](TObject*) { PC->ViewBack(); };
    Forward1->OnClick = [this](TObject*) { PC->ViewForward(); };
    HomeView1->OnClick = [this](TObject*) { PC->ViewHome(); };
    PopupMenu1->addSeparator();
    SaveImage1 = PopupMenu1->Add("SaveImage1", "Save Image...");
    CopyImage1 = PopupMenu1->Add("CopyImage1", "Copy Image");
    SaveImage1->OnClick = [this](TObject*) {
        QString filter = QStringLiteral("PNG image, twice the size (*.png)");
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Image"),
            QStringLiteral("polar-chart.png"),
            QStringLiteral(
                "PNG image, twice the size (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"),
            &filter);
        if (!path.isEmpty())
            SaveChartImage(path.toStdString());
    };
    CopyImage1->OnClick = [this](TObject*) { PC->CopyImage(); };
}

// A PNG is saved at twice the chart's size, for print; SVG and PDF scale by themselves. The
// suffix the user typed chooses the format; none chooses PNG.
void TFrmPolChart::SaveChartImage(std::string path)
{
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    if (suffix.isEmpty())
        path += ".png";
    PC->SaveImage(
        path, suffix == QLatin1String("svg") || suffix == QLatin1String("pdf") ? 1.0 : 2.0);
}

// While crosshair 1 snaps, the read-outs show the element it stands on.
void TFrmPolChart::showCrossHair1()
{
    if (!PC->CrossHair1()->SnapToData() || PC->CrossHair1()->SnappedIndex() < 0)
        return;
    NLabRad->SetValue(PC->CrossHair1()->PosRad());
    NLabPhi->SetValue(PC->CrossHair1()->PosPhi());
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

// ---------------------------------------------------------------------------------------------
// The control panel

TLabel* TFrmPolChart::addLabel(const char* name, QRect bounds, const char* caption)
{
    auto* label = new TLabel(Panel1);
    label->setObjectName(name);
    label->setGeometry(bounds);
    label->SetCaption(caption);
    return label;
}

TScrollBar* TFrmPolChart::addScrollBar(
    const char* name, QRect bounds, int min, int max, int position)
{
    auto* bar = new TScrollBar(Panel1);
    bar->setObjectName(name);
    bar->setGeometry(bounds);
    bar->SetMin(min);
    bar->SetMax(max);
    bar->SetPageSize(0);
    bar->SetPosition(position);
    return bar;
}

TRadioGroup* TFrmPolChart::addRadioGroup(const char* name, QRect bounds, const char* caption,
    int columns, const std::vector<std::string>& items, int itemIndex)
{
    auto* group = new TRadioGroup(Panel1);
    group->setObjectName(name);
    group->setGeometry(bounds);
    group->SetCaption(caption);
    group->SetColumns(columns);
    group->SetItems(items);
    group->SetItemIndex(itemIndex);
    return group;
}

// The three read-outs share every stored value but their texts, box place and precision.
TNumLab* TFrmPolChart::addNumLab(const char* name, QRect bounds, const char* leftText,
    int leftSpace, int precision, const char* rightText)
{
    auto* label = new TNumLab(Panel1);
    label->SetName(name);
    label->Font().Assign(Font());
    label->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    label->SetAlignment(TAlignment::taCenter);
    label->SetColorLabBakG(clBtnFace);
    label->SetColorLabText(clBlack);
    label->SetColorOutBakG(clBtnFace);
    label->SetColorOutText(clBlack);
    label->SetColorScheme(TColorScheme::csBWG);
    label->SetComma(false);
    label->SetDisplayType(TDisplay::dtFixP);
    label->SetDTFormat("mmm-dd, yyyy");
    label->SetEmpty(false);
    label->SetForcePlusSign(false);
    label->SetFrameStyle(TFrameStyle::fsLowered);
    label->SetLabelWidth(50);
    label->SetLeftSpace(leftSpace);
    label->SetLeftText(leftText);
    label->SetLeftTextAlignment(TAlignment::taRightJustify);
    label->SetOverflowIndicator("*********");
    label->SetPrecision(precision);
    label->SetRightText(rightText);
    label->SetRightTextAlignment(TAlignment::taLeftJustify);
    label->SetStateText("undefined");
    label->SetValue(0);
    return label;
}

TEdit* TFrmPolChart::addUnitEdit(const char* name, QRect bounds, const std::string& text)
{
    auto* edit = new TEdit(Panel1);
    edit->SetName(name);
    edit->setGeometry(bounds);
    edit->SetMaxLength(10);
    edit->SetText(text);
    return edit;
}

void TFrmPolChart::createPanel()
{
    Panel1 = new TPanel(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(624, 0, 259, 648);

    RGRotDir = addRadioGroup("RGRotDir", QRect(8, 8, 241, 41), " Direction of Rotation ", 2,
        { "Clockwise", "CounterCW" }, 1);
    RGUseDeg = addRadioGroup(
        "RGUseDeg", QRect(8, 56, 241, 41), " Chart Units ", 2, { "Degrees", "Radians" }, 0);
    Label1 = addLabel("Label1", QRect(8, 110, 79, 16), "Magnification");
    SBarMag = addScrollBar("SBarMag", QRect(8, 128, 241, 16), 0, 500, 65);
    Label2 = addLabel("Label2", QRect(8, 150, 69, 16), "RangeHigh");
    SBarRangeHigh = addScrollBar("SBarRangeHigh", QRect(8, 168, 241, 16), -1000, 1000, 100);
    Label6 = addLabel("Label6", QRect(8, 190, 65, 16), "RangeLow");
    SBarRangeLow = addScrollBar("SBarRangeLow", QRect(8, 208, 241, 16), -1000, 1000, 100);
    Label3 = addLabel("Label3", QRect(8, 242, 118, 16), "Angle between rays");

    NIORayAngle = new TNumIO(Panel1);
    NIORayAngle->SetName("NIORayAngle");
    NIORayAngle->setGeometry(136, 240, 33, 24);
    NIORayAngle->SetInputFormat(TInFormat::itInt);
    NIORayAngle->SetDecPlaceSep(TDecPSep::dsDot);
    NIORayAngle->SetFixPointDecPlaces(2);
    NIORayAngle->SetRangeLow(-1.7e+308);
    NIORayAngle->SetRangeHigh(1000.0);
    NIORayAngle->SetBeep(false);
    NIORayAngle->SetText("30");

    Label5 = addLabel("Label5", QRect(176, 242, 51, 16), "degrees");
    // The captions name their controls for assistive tools.
    Label1->SetFocusControl(SBarMag);
    Label2->SetFocusControl(SBarRangeHigh);
    Label6->SetFocusControl(SBarRangeLow);
    Label3->SetFocusControl(NIORayAngle);
    NLabAngleOffs
        = addNumLab("NLabAngleOffs", QRect(16, 280, 169, 22), "Angle Offset", 80, 0, "deg");
    SBarAngleOffs = addScrollBar("SBarAngleOffs", QRect(8, 308, 241, 16), -180, 180, 0);
    RGAngLabelMode = addRadioGroup("RGAngLabelMode", QRect(8, 336, 241, 57),
        " Type of Angular Labels ", 2, { "None", "Degrees", "Radians", "Multiples of Pi" }, 1);
    RGRadLabels = addRadioGroup("RGRadLabels", QRect(8, 400, 241, 41), " Type of Radial Labels ", 4,
        { "None", "Left", "Center", "Right" }, 3);
    RGCrossHair = addRadioGroup("RGCrossHair", QRect(8, 448, 97, 73), " Crosshair ", 1,
        { "None", "Orthogonal", "Radial" }, 0);
    NLabRad = addNumLab("NLabRad", QRect(112, 456, 97, 25), "Rad", 35, 2, "");
    EdUnitsRad = addUnitEdit("EdUnitsRad", QRect(208, 456, 41, 25), " dB");
    NLabPhi = addNumLab("NLabPhi", QRect(112, 496, 97, 25), "Phi", 35, 2, "");
    EdUnitsAng = addUnitEdit("EdUnitsAng", QRect(208, 496, 41, 25), " \u00B0");
    RGGridRad = addRadioGroup("RGGridRad", QRect(8, 528, 113, 113), " Radial Grid ", 1,
        { "None", "Outer Dots", "Outer Solid", "Both Dots", "Both Solid", "Both Mixed" }, 5);
    RGGridAng = addRadioGroup("RGGridAng", QRect(136, 528, 113, 73), " Angular Grid ", 1,
        { "None", "Dotted", "Solid" }, 1);
}

void TFrmPolChart::setTabOrder()
{
    const std::vector<QWidget*> order = { SBarMag, SBarRangeHigh, NIORayAngle, SBarAngleOffs,
        RGRotDir, RGUseDeg, RGAngLabelMode, SBarRangeLow, RGCrossHair, RGRadLabels, RGGridRad,
        RGGridAng, EdUnitsRad, EdUnitsAng };
    // A radio group takes the focus with its buttons, in item order.
    std::vector<QWidget*> chain;
    for (QWidget* control : order) {
        if (auto* group = qobject_cast<TRadioGroup*>(control)) {
            for (QWidget* button : group->findChildren<QAbstractButton*>())
                chain.push_back(button);
        } else {
            chain.push_back(control);
        }
    }
    // The chart comes after the panel's controls, and Tab goes from it to the panel again.
    chain.push_back(PC);
    for (size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void TFrmPolChart::connectHandlers()
{
    OnShow = [this](TObject* sender) { FormShow(sender); };
    PC->OnMouseMoveInChart
        = [this](TObject* sender, bool inChart, TShiftState shift, double rad, double phi) {
              PCMouseMoveInChart(sender, inChart, shift, rad, phi);
          };
    PC->OnZoomPan = [this](TObject* sender) { PCZoomPan(sender); };
    PC->OnCrossHairMove = [this](TObject*, TpcCrossHair*) { showCrossHair1(); };
    PC->OnBeforeDrawScaleLabel
        = [this](TObject* sender, TCanvas& canvas, TpcScaleKind kind, std::string& text, int x,
              int y) { PCBeforeDrawScaleLabel(sender, canvas, kind, text, x, y); };
    SBarMag->OnChange = [this](TObject* sender) { SBarMagChange(sender); };
    SBarRangeHigh->OnChange = [this](TObject* sender) { SBarRangeHighChange(sender); };
    SBarRangeLow->OnChange = [this](TObject* sender) { SBarRangeLowChange(sender); };
    NIORayAngle->OnChange = [this](TObject* sender) { NIORayAngleChange(sender); };
    SBarAngleOffs->OnChange = [this](TObject* sender) { SBarAngleOffsChange(sender); };
    RGRotDir->OnClick = [this](TObject* sender) { RGRotDirClick(sender); };
    RGUseDeg->OnClick = [this](TObject* sender) { RGUseDegClick(sender); };
    RGAngLabelMode->OnClick = [this](TObject* sender) { RGAngLabelModeClick(sender); };
    RGRadLabels->OnClick = [this](TObject* sender) { RGRadLabelsClick(sender); };
    RGCrossHair->OnClick = [this](TObject* sender) { RGCrossHairClick(sender); };
    RGGridRad->OnClick = [this](TObject* sender) { RGGridRadClick(sender); };
    RGGridAng->OnClick = [this](TObject* sender) { RGGridAngClick(sender); };
    EdUnitsRad->OnChange = [this](TObject* sender) { EdUnitsChange(sender); };
    EdUnitsAng->OnChange = [this](TObject* sender) { EdUnitsChange(sender); };
}

// ---------------------------------------------------------------------------------------------
// The panel's handlers

void TFrmPolChart::SBarMagChange(TObject*)
{
    PC->SetMagFactor(SBarMag->Position() / 100.0);
}

void TFrmPolChart::SBarRangeHighChange(TObject*)
{
    PC->SetRangeHigh(SBarRangeHigh->Position() / 10.0);
}

void TFrmPolChart::SBarRangeLowChange(TObject*)
{
    PC->SetRangeLow(SBarRangeLow->Position() / 10.0);
}

// The chart snaps the rounded value to its table of ray angles.
void TFrmPolChart::NIORayAngleChange(TObject*)
{
    PC->SetAngleBtwRays(std::nearbyint(NIORayAngle->NumericValue()));
}

void TFrmPolChart::SBarAngleOffsChange(TObject*)
{
    const double position = SBarAngleOffs->Position();
    PC->SetAngleOffset(PC->UseDegrees() ? position : position / 180 * std::numbers::pi);
    NLabAngleOffs->SetValue(PC->AngleOffset());
}

void TFrmPolChart::RGRotDirClick(TObject*)
{
    PC->SetRotationDir(
        RGRotDir->ItemIndex() == 0 ? TpcRotationDir::rdClockwise : TpcRotationDir::rdCounterCW);
}

// The stored data, crosshair and label angles are not converted: the same numbers are drawn in
// the new unit.
void TFrmPolChart::applyAngleUnit(bool degrees)
{
    PC->SetUseDegrees(degrees);
    const double position = SBarAngleOffs->Position();
    if (PC->UseDegrees()) {
        NLabAngleOffs->SetPrecision(0);
        NLabAngleOffs->SetRightText("deg");
        PC->SetAngleOffset(position);
        PC->SetLabelModeAngular(TpcAngLabelMode::almDegrees);
        RGAngLabelMode->SetItemIndex(1);
    } else {
        NLabAngleOffs->SetPrecision(2);
        NLabAngleOffs->SetRightText("rad");
        PC->SetAngleOffset(position / 180 * std::numbers::pi);
        PC->SetLabelModeAngular(TpcAngLabelMode::almRadians);
        RGAngLabelMode->SetItemIndex(2);
    }
    NLabAngleOffs->SetValue(PC->AngleOffset());
}

void TFrmPolChart::RGUseDegClick(TObject*)
{
    applyAngleUnit(RGUseDeg->ItemIndex() == 0);
}

// The item lists are in the order of the enumerations.
void TFrmPolChart::RGAngLabelModeClick(TObject*)
{
    PC->SetLabelModeAngular(static_cast<TpcAngLabelMode>(RGAngLabelMode->ItemIndex()));
}

void TFrmPolChart::RGRadLabelsClick(TObject*)
{
    PC->SetLabelModeRadial(static_cast<TpcRadLabelMode>(RGRadLabels->ItemIndex()));
}

void TFrmPolChart::RGCrossHairClick(TObject*)
{
    PC->CrossHair1()->SetMode(static_cast<TpcCrossHMode>(RGCrossHair->ItemIndex()));
}

void TFrmPolChart::RGGridRadClick(TObject*)
{
    PC->SetGridStyleRadial(static_cast<TpcGridStyleRad>(RGGridRad->ItemIndex()));
}

void TFrmPolChart::RGGridAngClick(TObject*)
{
    PC->SetGridStyleAngular(static_cast<TpcGridStyleAng>(RGGridAng->ItemIndex()));
}

void TFrmPolChart::EdUnitsChange(TObject*)
{
    PC->Redraw();
}

// The read-outs follow the pointer also over the shadow: InChart is not asked.
void TFrmPolChart::PCMouseMoveInChart(TObject*, bool, TShiftState, double rad, double phi)
{
    if (PC->CrossHair1()->SnapToData()) {
        PC->CrossHair1()->SetPosition(rad, phi);
        if (PC->CrossHair1()->SnappedIndex() >= 0) {
            showCrossHair1();
            return;
        }
    }
    NLabRad->SetValue(rad);
    NLabPhi->SetValue(phi);
    if (RGCrossHair->ItemIndex() > 0)
        PC->CrossHair1()->SetPosition(rad, phi);
}

// The bar's change handler follows and writes the bar's position back: after a mouse zoom the
// magnification is rounded to hundredths, and one beyond the bar's end stays while the bar already
// stands there.
void TFrmPolChart::PCZoomPan(TObject*)
{
    const int64_t position = RoundHalfEven(static_cast<long double>(PC->MagFactor()) * 100);
    SBarMag->SetPosition(
        static_cast<int>(std::clamp<int64_t>(position, SBarMag->Min(), SBarMag->Max())));
}

void TFrmPolChart::PCBeforeDrawScaleLabel(
    TObject*, TCanvas&, TpcScaleKind ScaleType, std::string& CurrentTickLabel, int, int)
{
    CurrentTickLabel += ScaleType == TpcScaleKind::sckRad ? EdUnitsRad->Text() : EdUnitsAng->Text();
}

void TFrmPolChart::Reset1Click(TObject*)
{
    applyAngleUnit(true);
    PC->SetMagFactor(0.7);
    PC->SetAngleOffset(0);
    PC->SetAngleBtwRays(30);
    PC->SetRangeLow(0);
    PC->SetRangeHigh(10);
    PC->CenterChart();
}

} // namespace znq
