// The main form: its chart's stored settings after loading, the pop-up menu, the demonstration
// data that the first showing loads, and the control panel driven with real keys and clicks.
#include "chart/polchart_seams.h"
#include "mainfrm.h"

#include "../mouse_events.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace znq;

TEST(MainForm, ChartSettingsAfterLoading)
{
    TFrmPolChart form;
    EXPECT_EQ(form.Caption(), "Polar Diagram Using Component TPolChart");
    TPolChart& pc = *form.PC;
    EXPECT_EQ(pc.Name(), "PC");
    EXPECT_FALSE(pc.Loading());
    EXPECT_EQ(pc.Left(), 0);
    EXPECT_EQ(pc.Width(), 624);
    EXPECT_EQ(pc.Height(), 648);
    EXPECT_EQ(form.Panel1->geometry(), QRect(624, 0, 259, 648));
    EXPECT_EQ(pc.AngleOffset(), -50.0);
    EXPECT_EQ(pc.MagFactor(), 0.65);
    EXPECT_EQ(pc.RangeHigh(), 10.0);
    EXPECT_EQ(pc.GridColor(), clSilver);
    EXPECT_EQ(pc.GridStyleRadial(), TpcGridStyleRad::gsRadBothMixed);
    EXPECT_EQ(pc.ChartColor(), 0xF4FCFFu);
    EXPECT_EQ(pc.ScaleColor(), clNavy);
    EXPECT_EQ(pc.LabelModeRadial(), TpcRadLabelMode::rlmVertRight);
    EXPECT_EQ(pc.MouseAction(), TMouseActMode::maDragLabel);
    EXPECT_EQ(pc.RotationDir(), TpcRotationDir::rdCounterCW);
    EXPECT_EQ(pc.ShadowColor(), clGray);
    EXPECT_EQ(pc.TextAlignment(), TAlignment::taRightJustify);
    EXPECT_EQ(pc.CrossHair1()->LineType(), TPenStyle::psDash);
    EXPECT_EQ(pc.CrossHair2()->PosRad(), 1.0);
    EXPECT_TRUE(pc.AutoCenter());
    EXPECT_EQ(pc.CenterY(), 324) << "the stored centre is replaced by the centring";
    EXPECT_EQ(pc.ElementCount(), 0) << "no data before the first showing";
}

TEST(MainForm, PopupMenuSetsTheMouseActionWithoutRepainting)
{
    TFrmPolChart form;
    form.show();
    const auto& items = form.PopupMenu1->Items();
    ASSERT_EQ(items.size(), 12u);
    const char* captions[]
        = { "None", "Reset Diagram", "Pan", "Zoom", "Drag Labels", "Snap Crosshair to Data",
              "Show Legend", "Back", "Forward", "Home View", "Save Image...", "Copy Image" };
    for (size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i]->Caption(), captions[i]);
    EXPECT_TRUE(form.PopupMenu1->actions()[5]->isSeparator()) << "the view items come apart";
    EXPECT_TRUE(form.PopupMenu1->actions()[11]->isSeparator()) << "so do the image items";
    EXPECT_TRUE(form.SnapCrossHair1->Action()->isCheckable());
    EXPECT_TRUE(form.ShowLegend1->Action()->isCheckable());
    const int paints = TpcChartSeams::PaintCount(*form.PC);
    struct Row {
        TMenuItem* item;
        TMouseActMode expected;
    } rows[] = { { form.Pan1, TMouseActMode::maPan }, { form.Zoom1, TMouseActMode::maZoomDrag },
        { form.DragLabels1, TMouseActMode::maDragLabel },
        { form.PopMenNoMouseAct, TMouseActMode::maNone } };
    for (const Row& row : rows) {
        row.item->Action()->trigger();
        EXPECT_EQ(form.PC->MouseAction(), row.expected) << row.item->Caption();
    }
    EXPECT_EQ(TpcChartSeams::PaintCount(*form.PC), paints);
}

TEST(MainForm, FirstShowingLoadsTheDemonstrationData)
{
    TFrmPolChart form;
    form.show();
    TPolChart& pc = *form.PC;
    ASSERT_EQ(pc.ElementCount(), 1001);
    EXPECT_EQ(pc.ElementCapacity(), 2000);
    EXPECT_EQ(pc.Element(0).Kind, TpcElemKind::ekMoveTo);
    EXPECT_EQ(pc.Element(1000).Rad, 10.0);
    EXPECT_EQ(pc.Element(1000).Phi, 20.0);
    EXPECT_EQ(pc.Element(500).Color, clRed);
    EXPECT_EQ(pc.DataColor(), clBlue);
    const TpcTextLabel& label = *pc.TextLabel(1);
    EXPECT_EQ(label.Caption(), "This is a text label");
    EXPECT_EQ(label.Mode(), TTxtLblMode::tlShadow);
    EXPECT_EQ(label.ShadowDx(), 3);
    EXPECT_EQ(label.ShadowDy(), 6);
    EXPECT_EQ(label.PosRad(), 6.0);
    EXPECT_EQ(label.PosPhi(), 210.0);
    EXPECT_EQ(label.Font().Color(), clBlue);
    EXPECT_GT(TpcChartSeams::PaintCount(pc), 0);
    // The picture shows the curve from the centre.
    EXPECT_EQ(pc.Canvas().Pixel(pc.CenterX(), pc.CenterY()), clRed);
}

namespace {

// The shown form, and the user's ways of working its controls.
struct ControlPanel : ::testing::Test {
    TFrmPolChart form;
    TPolChart& pc = *form.PC;

    void SetUp() override
    {
        form.show();
        QApplication::processEvents();
    }
    static QRadioButton* button(TRadioGroup* group, int index)
    {
        return group->findChildren<QRadioButton*>().at(index);
    }
    static void choose(TRadioGroup* group, int index)
    {
        QTest::mouseClick(button(group, index), Qt::LeftButton);
    }
    // Arrow keys on the focused bar, one step each, until it stands at position.
    static void stepTo(TScrollBar* bar, int position)
    {
        bar->setFocus();
        for (int i = 0; i < 2000 && bar->Position() != position; ++i)
            QTest::keyClick(bar, bar->Position() < position ? Qt::Key_Right : Qt::Key_Left);
        EXPECT_EQ(bar->Position(), position);
    }
    // Selects all of the edit's text and types text over it, key by key.
    static void retype(QWidget* edit, const char* text)
    {
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }
    void hover(QPoint p) { testing_support::SendMouse(pc, QEvent::MouseMove, p); }
};

std::string captionOf(QWidget* w)
{
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text().toStdString();
    if (auto* button = qobject_cast<QRadioButton*>(w))
        return button->text().toStdString();
    return qobject_cast<QGroupBox*>(w)->title().toStdString();
}

} // namespace

// Places, captions, items and values as stored, including where the panel and the chart start
// out disagreeing; and Tab walks the controls in their tab order.
TEST_F(ControlPanel, StartsAsStored)
{
    struct Row {
        QWidget* control;
        QRect bounds;
        std::string caption;
    };
    const Row rows[] = {
        { form.RGRotDir, { 8, 8, 241, 41 }, " Direction of Rotation " },
        { form.RGUseDeg, { 8, 56, 241, 41 }, " Chart Units " },
        { form.Label1, { 8, 110, 79, 16 }, "Magnification" },
        { form.Label2, { 8, 150, 69, 16 }, "RangeHigh" },
        { form.Label6, { 8, 190, 65, 16 }, "RangeLow" },
        { form.Label3, { 8, 242, 118, 16 }, "Angle between rays" },
        { form.Label5, { 176, 242, 51, 16 }, "degrees" },
        { form.RGAngLabelMode, { 8, 336, 241, 57 }, " Type of Angular Labels " },
        { form.RGRadLabels, { 8, 400, 241, 41 }, " Type of Radial Labels " },
        { form.RGCrossHair, { 8, 448, 97, 73 }, " Crosshair " },
        { form.RGGridRad, { 8, 528, 113, 113 }, " Radial Grid " },
        { form.RGGridAng, { 136, 528, 113, 73 }, " Angular Grid " },
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.control->geometry(), row.bounds) << row.caption;
        EXPECT_EQ(captionOf(row.control), row.caption);
        EXPECT_EQ(row.control->parentWidget(), form.Panel1);
    }
    using Items = std::vector<std::string>;
    EXPECT_EQ(form.RGRotDir->Items(), (Items { "Clockwise", "CounterCW" }));
    EXPECT_EQ(
        form.RGAngLabelMode->Items(), (Items { "None", "Degrees", "Radians", "Multiples of Pi" }));
    EXPECT_EQ(form.RGGridRad->Items(),
        (Items { "None", "Outer Dots", "Outer Solid", "Both Dots", "Both Solid", "Both Mixed" }));
    EXPECT_EQ(form.RGRadLabels->Columns(), 4);
    const std::vector<int> indexes { form.RGRotDir->ItemIndex(), form.RGUseDeg->ItemIndex(),
        form.RGAngLabelMode->ItemIndex(), form.RGRadLabels->ItemIndex(),
        form.RGCrossHair->ItemIndex(), form.RGGridRad->ItemIndex(), form.RGGridAng->ItemIndex() };
    EXPECT_EQ(indexes, (std::vector<int> { 1, 0, 1, 3, 0, 5, 1 }));
    EXPECT_EQ(form.SBarMag->Position(), 65);
    EXPECT_EQ(form.SBarMag->Max(), 500);
    EXPECT_EQ(form.SBarRangeHigh->Position(), 100);
    EXPECT_EQ(form.SBarAngleOffs->Min(), -180);
    EXPECT_EQ(form.NIORayAngle->Text(), "30");
    EXPECT_EQ(form.NIORayAngle->RangeHigh(), 1000.0);
    EXPECT_EQ(form.EdUnitsRad->Text(), " dB");
    EXPECT_EQ(form.EdUnitsAng->Text(), " \u00B0");
    EXPECT_EQ(form.EdUnitsAng->MaxLength(), 10);
    EXPECT_EQ(form.NLabAngleOffs->LeftText(), "Angle Offset");
    EXPECT_EQ(form.NLabRad->LabelWidth(), 50);
    EXPECT_EQ(form.NLabPhi->Precision(), 2);

    EXPECT_EQ(form.NLabAngleOffs->Value(), 0.0);
    EXPECT_EQ(pc.AngleOffset(), -50.0);
    EXPECT_EQ(form.SBarRangeLow->Position(), 100);
    EXPECT_EQ(pc.RangeLow(), 0.0);

    const std::vector<QWidget*> order { form.SBarMag, form.SBarRangeHigh, form.NIORayAngle,
        form.SBarAngleOffs, form.RGRotDir, form.RGUseDeg, form.RGAngLabelMode, form.SBarRangeLow,
        form.RGCrossHair, form.RGRadLabels, form.RGGridRad, form.RGGridAng, form.EdUnitsRad,
        form.EdUnitsAng };
    std::vector<QWidget*> visited;
    form.SBarMag->setFocus();
    for (int i = 0; i < 40 && visited.size() < order.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (qobject_cast<QRadioButton*>(focus))
            focus = focus->parentWidget();
        if (visited.empty() || visited.back() != focus)
            visited.push_back(focus);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, order);
}

// Every caption is as wide as its control allows at most: labels, radio buttons, group titles,
// and the read-outs' side texts.
TEST_F(ControlPanel, EveryCaptionFitsItsControl)
{
    int checked = 0;
    for (QWidget* w : form.Panel1->findChildren<QWidget*>()) {
        int needed = 0;
        if (qobject_cast<QLabel*>(w) || qobject_cast<QRadioButton*>(w))
            needed = w->sizeHint().width();
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            needed = group->fontMetrics().horizontalAdvance(group->title());
        else
            continue;
        ++checked;
        EXPECT_LE(needed, w->width()) << captionOf(w);
    }
    EXPECT_EQ(checked, 5 + 7 + 2 * 4 + 4 + 3 + 6 + 3);
    for (TNumLab* label : { form.NLabAngleOffs, form.NLabRad, form.NLabPhi }) {
        TBitmap measure(1, 1);
        measure.Canvas().Font().Assign(label->Font());
        EXPECT_LE(measure.Canvas().TextWidth(label->LeftText()) + 5, label->LeftSpace())
            << label->LeftText();
        EXPECT_LE(label->LeftSpace() + label->LabelWidth() + 7
                + measure.Canvas().TextWidth(label->RightText()),
            label->Width())
            << label->RightText();
    }
}

// The bars at their ends, an inverted radial axis, and the nudge when both range bars meet.
TEST_F(ControlPanel, ScrollBarsDriveTheChart)
{
    form.SBarMag->setFocus();
    QTest::keyClick(form.SBarMag, Qt::Key_Home);
    EXPECT_EQ(pc.MagFactor(), 0.01);
    QTest::keyClick(form.SBarMag, Qt::Key_End);
    EXPECT_EQ(pc.MagFactor(), 5.0);

    // A jump, as a thumb dragged fast makes: arrow keys would pass 0, where the bounds meet and
    // the chart moves RangeLow away.
    form.SBarRangeHigh->SetPosition(-5);
    EXPECT_EQ(pc.RangeHigh(), -0.5);
    EXPECT_EQ(pc.RangeLow(), 0.0);
    EXPECT_LT(pc.ScaleX(), 0) << "an inverted radial axis";
    form.SBarRangeLow->SetPosition(-5);
    EXPECT_EQ(pc.RangeLow(), -0.5);
    EXPECT_EQ(pc.RangeHigh(), 0.5) << "the other bound moved one unit away";
}

// Each accepted keystroke sets the ray angle, which the chart snaps to its table.
TEST_F(ControlPanel, RayAngleFieldKeyByKey)
{
    retype(form.NIORayAngle, "45");
    EXPECT_EQ(pc.AngleBtwRays(), 45.0);
    std::vector<double> seen;
    QTest::keyClick(form.NIORayAngle, Qt::Key_A, Qt::ControlModifier);
    for (char key : std::string("25")) {
        QTest::keyClick(form.NIORayAngle, key);
        seen.push_back(pc.AngleBtwRays());
    }
    EXPECT_EQ(seen, (std::vector<double> { 6.0, 22.5 }));
    EXPECT_EQ(form.NIORayAngle->Text(), "25");
}

// Radians with the offset bar at 90: the offset becomes pi/2 and the read-out "1.57 rad"; back in
// degrees it is 90 deg again.
TEST_F(ControlPanel, AngleUnitCarriesTheOffset)
{
    stepTo(form.SBarAngleOffs, 90);
    EXPECT_EQ(pc.AngleOffset(), 90.0);
    EXPECT_EQ(form.NLabAngleOffs->Value(), 90.0);
    choose(form.RGUseDeg, 1);
    EXPECT_FALSE(pc.UseDegrees());
    EXPECT_DOUBLE_EQ(pc.AngleOffset(), std::numbers::pi / 2);
    EXPECT_EQ(form.NLabAngleOffs->Value(), pc.AngleOffset());
    EXPECT_EQ(form.NLabAngleOffs->Precision(), 2);
    EXPECT_EQ(form.NLabAngleOffs->RightText(), "rad");
    EXPECT_EQ(pc.LabelModeAngular(), TpcAngLabelMode::almRadians);
    EXPECT_EQ(form.RGAngLabelMode->ItemIndex(), 2);
    choose(form.RGUseDeg, 0);
    EXPECT_EQ(pc.AngleOffset(), 90.0);
    EXPECT_EQ(form.NLabAngleOffs->Value(), 90.0);
    EXPECT_EQ(form.NLabAngleOffs->RightText(), "deg");
    EXPECT_EQ(form.RGAngLabelMode->ItemIndex(), 1);

    choose(form.RGRotDir, 0);
    EXPECT_EQ(pc.RotationDir(), TpcRotationDir::rdClockwise);
    choose(form.RGAngLabelMode, 3);
    EXPECT_EQ(pc.LabelModeAngular(), TpcAngLabelMode::almMultiPi);
    choose(form.RGRadLabels, 1);
    EXPECT_EQ(pc.LabelModeRadial(), TpcRadLabelMode::rlmVertLeft);
    choose(form.RGGridRad, 2);
    EXPECT_EQ(pc.GridStyleRadial(), TpcGridStyleRad::gsRadOuterSolid);
    choose(form.RGGridAng, 0);
    EXPECT_EQ(pc.GridStyleAngular(), TpcGridStyleAng::gsAngNone);
}

// With a crosshair form chosen, crosshair 1 sits on the pointer; with "None" it is hidden and
// stays, while the read-outs go on following the pointer.
TEST_F(ControlPanel, CrossHairFollowsThePointer)
{
    choose(form.RGCrossHair, 1);
    EXPECT_EQ(pc.CrossHair1()->Mode(), TpcCrossHMode::chOrtho);
    hover(QPoint(200, 150));
    const TpcPolarPoint p = pc.PixelToPolar(200, 150);
    EXPECT_EQ(form.NLabRad->Value(), p.Rad);
    EXPECT_EQ(form.NLabPhi->Value(), p.Phi);
    EXPECT_EQ(pc.PolarToPixel(pc.CrossHair1()->PosRad(), pc.CrossHair1()->PosPhi()),
        (TPoint { 200, 150 }));
    EXPECT_EQ(pc.Canvas().Pixel(200, 400), clBlack) << "its vertical line on the screen";

    choose(form.RGCrossHair, 0);
    EXPECT_EQ(pc.CrossHair1()->Mode(), TpcCrossHMode::chOff);
    hover(QPoint(620, 640));
    const TpcPolarPoint q = pc.PixelToPolar(620, 640);
    EXPECT_EQ(form.NLabRad->Value(), q.Rad) << "also over the shadow";
    EXPECT_EQ(form.NLabPhi->Value(), q.Phi);
    EXPECT_EQ(pc.CrossHair1()->PosRad(), p.Rad);
    EXPECT_NE(pc.Canvas().Pixel(200, 400), clBlack);
}

// With "Snap Crosshair to Data" checked, crosshair 1 stands on the curve's element nearest to the
// pointer and the read-outs show that element's values, also when it is stepped with the keys; the
// menu's view items walk the history.
TEST_F(ControlPanel, SnappingCrossHairShowsTheElementAndTheMenuWalksTheViews)
{
    choose(form.RGCrossHair, 1);
    form.SnapCrossHair1->Action()->trigger();
    ASSERT_TRUE(pc.CrossHair1()->SnapToData());
    const TPoint onCurve = pc.PolarToPixel(pc.Element(500).Rad, pc.Element(500).Phi);
    hover(QPoint(onCurve.x + 3, onCurve.y + 2));
    const int32_t index = pc.CrossHair1()->SnappedIndex();
    ASSERT_GE(index, 0);
    EXPECT_EQ(index,
        pc.NearestElement(pc.PixelToPolar(onCurve.x + 3, onCurve.y + 2).Rad,
            pc.PixelToPolar(onCurve.x + 3, onCurve.y + 2).Phi));
    EXPECT_EQ(form.NLabRad->Value(), pc.Element(index).Rad);
    EXPECT_EQ(form.NLabPhi->Value(), pc.Element(index).Phi);
    pc.setFocus();
    QTest::keyClick(&pc, Qt::Key_Right);
    EXPECT_EQ(pc.CrossHair1()->SnappedIndex(), index + 1);
    EXPECT_EQ(form.NLabRad->Value(), pc.Element(index + 1).Rad);

    const TCustomPolChart::TpcView start = pc.View();
    QTest::keyClick(&pc, Qt::Key_Up);
    EXPECT_EQ(form.SBarMag->Position(), 65) << "a pan leaves the magnification";
    form.Back1->Action()->trigger();
    EXPECT_EQ(pc.View(), start);
    form.Forward1->Action()->trigger();
    EXPECT_NE(pc.View(), start);
    form.HomeView1->Action()->trigger();
    EXPECT_EQ(pc.View(), start);
}

// "Save Image..." writes a PNG at twice the chart's size (SVG and PDF at their own), and "Copy
// Image" puts the picture on the clipboard.
TEST_F(ControlPanel, ImagesOutOfTheMenu)
{
    QTemporaryDir dir;
    form.SaveChartImage(dir.filePath("chart").toStdString());
    const QImage saved(dir.filePath("chart.png"));
    EXPECT_EQ(saved.size(), QSize(2 * pc.Width(), 2 * pc.Height())) << "no suffix: a PNG";
    form.SaveChartImage(dir.filePath("chart.svg").toStdString());
    EXPECT_TRUE(QFile::exists(dir.filePath("chart.svg")));
    form.CopyImage1->Action()->trigger();
    EXPECT_EQ(
        QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), pc.ToImage());
}

// Every keystroke in a unit edit repaints the chart with the new text after every scale label.
TEST_F(ControlPanel, UnitTextsFollowTheScaleLabels)
{
    std::vector<std::string> radial, angular;
    auto formHandler = pc.OnBeforeDrawScaleLabel;
    pc.OnBeforeDrawScaleLabel = [&](TObject* sender, TCanvas& canvas, TpcScaleKind kind,
                                    std::string& text, int x, int y) {
        formHandler(sender, canvas, kind, text, x, y);
        (kind == TpcScaleKind::sckRad ? radial : angular).push_back(text);
    };
    const int paints = TpcChartSeams::PaintCount(pc);
    retype(form.EdUnitsRad, " m");
    EXPECT_EQ(TpcChartSeams::PaintCount(pc), paints + 2);
    radial.clear();
    angular.clear();
    pc.Redraw();
    ASSERT_FALSE(radial.empty());
    for (const std::string& text : radial)
        EXPECT_TRUE(text.ends_with("0 m")) << text;
    for (const std::string& text : angular)
        EXPECT_TRUE(text.ends_with(" \u00B0")) << text;
}

// After a mouse zoom the bar follows and the magnification takes the bar's value; past the bar's
// end the bar stops at 500 (5), and then a larger magnification stays as the mouse made it.
TEST_F(ControlPanel, MouseZoomMovesTheMagnificationBar)
{
    form.Zoom1->Action()->trigger();
    QTest::mousePress(&pc, Qt::LeftButton, {}, QPoint(300, 400));
    QTest::mouseMove(&pc, QPoint(300, 400));
    QTest::mouseMove(&pc, QPoint(305, 238));
    QTest::mouseRelease(&pc, Qt::LeftButton, {}, QPoint(305, 238));
    EXPECT_EQ(form.SBarMag->Position(), 90);
    EXPECT_EQ(pc.MagFactor(), 0.9);

    for (const auto& [mouse, bar, after] : { std::tuple { 7.3, 500, 5.0 },
             std::tuple { 8.0, 500, 8.0 }, std::tuple { 1.234, 123, 1.23 } }) {
        pc.SetMagFactor(mouse);
        form.PCZoomPan(&pc);
        EXPECT_EQ(form.SBarMag->Position(), bar) << mouse;
        EXPECT_EQ(pc.MagFactor(), after) << mouse;
    }
}

// "Reset Diagram" brings back degrees, the magnification, offset, ray angle, range and centre; it
// leaves the bars and the unit choice, so the offset read-out keeps the bar's angle.
TEST_F(ControlPanel, ResetDiagram)
{
    stepTo(form.SBarAngleOffs, 30);
    choose(form.RGUseDeg, 1);
    retype(form.NIORayAngle, "45");
    stepTo(form.SBarRangeHigh, 50);
    QTest::keyClick(form.SBarMag, Qt::Key_End);
    form.Pan1->Action()->trigger();
    QTest::mousePress(&pc, Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseMove(&pc, QPoint(300, 300));
    QTest::mouseMove(&pc, QPoint(340, 280));
    QTest::mouseRelease(&pc, Qt::LeftButton, {}, QPoint(340, 280));
    const int centerX = pc.CenterX();

    form.Reset1->Action()->trigger();
    EXPECT_TRUE(pc.UseDegrees());
    EXPECT_EQ(pc.MagFactor(), 0.7);
    EXPECT_EQ(pc.AngleOffset(), 0.0);
    EXPECT_EQ(pc.AngleBtwRays(), 30.0);
    EXPECT_EQ(pc.RangeLow(), 0.0);
    EXPECT_EQ(pc.RangeHigh(), 10.0);
    EXPECT_EQ(pc.LabelModeAngular(), TpcAngLabelMode::almDegrees);
    EXPECT_EQ(pc.CenterX(), centerX - 40);
    EXPECT_EQ(pc.CenterY(), 324);
    EXPECT_EQ(form.NLabAngleOffs->Value(), 30.0);
    EXPECT_EQ(form.NLabAngleOffs->RightText(), "deg");
    EXPECT_EQ(form.NLabAngleOffs->Precision(), 0);
    EXPECT_EQ(form.RGUseDeg->ItemIndex(), 1);
    EXPECT_EQ(form.SBarMag->Position(), 500);
    EXPECT_EQ(form.SBarAngleOffs->Position(), 30);
    EXPECT_EQ(pc.MouseAction(), TMouseActMode::maPan);
}
