// The main form: its chart's stored settings after loading, the pop-up menu, and the
// demonstration data that the first showing loads.
#include "mainfrm.h"

#include <QApplication>
#include <QRadioButton>
#include <gtest/gtest.h>

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
    ASSERT_EQ(items.size(), 5u);
    const char* captions[] = { "None", "Reset Diagram", "Pan", "Zoom", "Drag Labels" };
    for (size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i]->Caption(), captions[i]);
    const int paints = form.PC->PaintCount();
    struct Row {
        TMenuItem* item;
        TMouseActMode expected;
    } rows[] = { { form.Pan1, TMouseActMode::maPan }, { form.Zoom1, TMouseActMode::maZoomDrag },
        { form.DragLabels1, TMouseActMode::maDragLabel }, { form.PopMenNoMouseAct, TMouseActMode::maNone } };
    for (const Row& row : rows) {
        row.item->Action()->trigger();
        EXPECT_EQ(form.PC->MouseAction(), row.expected) << row.item->Caption();
    }
    EXPECT_EQ(form.PC->PaintCount(), paints);
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
    EXPECT_GT(pc.PaintCount(), 0);
    // The picture shows the curve from the centre.
    EXPECT_EQ(pc.Canvas().Pixel(pc.CenterX(), pc.CenterY()), clRed);
}

TEST(ControlPanel, EveryCaptionFitsItsControl)
{
    TFrmPolChart form;
    form.show();
    QApplication::processEvents();
    int checked = 0;
    for (QWidget* w : form.Panel1->findChildren<QWidget*>()) {
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QRadioButton*>(w))
            continue;
        ++checked;
        EXPECT_LE(w->sizeHint().width(), w->width())
            << w->objectName().toStdString() << " "
            << (qobject_cast<QLabel*>(w) ? qobject_cast<QLabel*>(w)->text()
                                         : qobject_cast<QRadioButton*>(w)->text())
                   .toStdString();
    }
    EXPECT_GT(checked, 25);
}
