// Crosshairs and text labels: defaults, notifications, TextLabel's error, AddTextLabel's slots,
// templates and built-in style, and writing a crosshair property of the chart.
#include "ZNQ_polchart.h"
#include "chart/polchart_seams.h"

#include <gtest/gtest.h>

using namespace znq;

TEST(ChartMarks, DefaultsOfTheTwentyFourObjects)
{
    TPolChart chart;
    chart.Font().SetName("DejaVu Serif");
    for (int i = 1; i <= 4; ++i) {
        SCOPED_TRACE(i);
        const TpcCrossHair* c = chart.CrossHair(i);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->Mode(), TpcCrossHMode::chOff);
        EXPECT_EQ(c->PosRad(), 0);
        EXPECT_EQ(c->PosPhi(), 0);
        EXPECT_EQ(c->Color(), clBlack);
        EXPECT_EQ(c->LineType(), TPenStyle::psSolid);
        EXPECT_EQ(c->LineWid(), 1);
    }
    for (int i = 1; i <= 20; ++i) {
        SCOPED_TRACE(i);
        const TpcTextLabel* l = chart.TextLabel(i);
        EXPECT_EQ(l->Mode(), TTxtLblMode::tlOff);
        EXPECT_TRUE(l->AttachToData());
        EXPECT_EQ(l->Alignment(), TAlignment::taCenter);
        EXPECT_EQ(l->ColorBkg(), clWhite);
        EXPECT_EQ(l->ColorBorder(), clBlack);
        EXPECT_EQ(l->ShadowDx(), 3);
        EXPECT_EQ(l->ShadowDy(), 3);
        EXPECT_EQ(l->ColorShadow(), clGray);
        EXPECT_FALSE(l->Transparent());
        EXPECT_TRUE(l->Caption().empty());
        EXPECT_TRUE(l->Visible());
        EXPECT_EQ(l->Font().Name(), "MS Sans Serif") << "a copy of the chart's font at creation";
    }
    EXPECT_NE(&chart.TextLabel(1)->Font(), &chart.TextLabel(2)->Font())
        << "each label owns its font";
}

TEST(ChartMarks, TextLabelIndexOutsideTheTableRaises)
{
    TPolChart chart;
    chart.SetName("PC");
    EXPECT_NO_THROW(chart.TextLabel(1));
    EXPECT_NO_THROW(chart.TextLabel(20));
    for (int index : { 0, 21, -1 }) {
        try {
            chart.TextLabel(index);
            ADD_FAILURE() << "no error for " << index;
        } catch (const EZNQPolChartError& error) {
            EXPECT_STREQ(error.what(), "Component \"PC\": invalid index into TextLabel array");
        }
    }
}

TEST(ChartMarks, NotificationsOnePerWriteAndSetPositionOnce)
{
    TPolChart chart;
    TpcCrossHair* c = chart.CrossHair(2);
    int notified = 0;
    c->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, c);
        ++notified;
    };
    c->SetPosition(2.5, 45);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(c->PosRad(), 2.5);
    EXPECT_EQ(c->PosPhi(), 45);
    c->SetPosRad(1);
    c->SetPosPhi(2);
    EXPECT_EQ(notified, 3);
    c->SetColor(c->Color());
    EXPECT_EQ(notified, 4) << "an unchanged value still notifies";

    TpcTextLabel* l = chart.TextLabel(3);
    notified = 0;
    l->OnChange = [&](TObject*) { ++notified; };
    l->SetVisible(false);
    l->SetCaption("a");
    l->SetFont(chart.Font());
    l->Font().SetColor(clRed);
    EXPECT_EQ(notified, 3) << "changing the label's font object directly notifies nobody";
}

TEST(ChartMarks, AddTextLabelSlotsTemplatesAndStyle)
{
    TPolChart chart;
    chart.SetChartColor(0xF4FCFF);
    chart.SetScaleColor(clNavy);
    chart.TextLabel(1)->Font().SetStyle(TFontStyle::fsBold);
    int notified = 0;
    for (int i = 1; i <= 20; ++i)
        chart.TextLabel(i)->OnChange = [&](TObject*) { ++notified; };

    EXPECT_EQ(chart.AddTextLabel(clBlue, "first", 6.0, 210.0, 0), 1);
    const TpcTextLabel* first = chart.TextLabel(1);
    EXPECT_EQ(first->Mode(), TTxtLblMode::tlsimple);
    EXPECT_EQ(first->PosRad(), 6.0);
    EXPECT_EQ(first->PosPhi(), 210.0);
    EXPECT_EQ(first->Caption(), "first");
    EXPECT_EQ(first->ColorBkg(), 0xF4FCFFu) << "built-in style: the chart's colours";
    EXPECT_EQ(first->ColorBorder(), clNavy);
    EXPECT_EQ(first->ColorShadow(), clSilver);
    EXPECT_EQ(first->ShadowDx(), 0);
    EXPECT_EQ(first->ShadowDy(), 0);
    EXPECT_EQ(first->Font().Color(), clBlue);
    EXPECT_EQ(first->Font().Style(), TFontStyles(TFontStyle::fsBold)) << "only the colour changes";
    EXPECT_EQ(notified, 0) << "AddTextLabel notifies nobody";

    EXPECT_EQ(chart.AddTextLabel(clRed, "second", 1, 2, 21), 2);
    EXPECT_EQ(chart.TextLabel(2)->Mode(), TTxtLblMode::tlsimple)
        << "an invalid template is no template";

    // Label 3 as a template: its style and mode are copied, but not from a free slot's mode.
    TpcTextLabel* model = chart.TextLabel(3);
    model->SetMode(TTxtLblMode::tlShadow);
    model->SetShadowDx(5);
    model->SetAlignment(TAlignment::taLeftJustify);
    model->SetAttachToData(false);
    EXPECT_EQ(chart.AddTextLabel(clBlack, "from 3", 0, 0, 3), 4);
    EXPECT_EQ(chart.TextLabel(4)->Mode(), TTxtLblMode::tlShadow);
    EXPECT_EQ(chart.TextLabel(4)->ShadowDx(), 5);
    EXPECT_EQ(chart.TextLabel(4)->Alignment(), TAlignment::taLeftJustify);
    EXPECT_FALSE(chart.TextLabel(4)->AttachToData());
    EXPECT_EQ(chart.AddTextLabel(clBlack, "from free 20", 0, 0, 20), 5);
    EXPECT_EQ(chart.TextLabel(5)->Mode(), TTxtLblMode::tlsimple);

    for (int expected = 6; expected <= 20; ++expected)
        ASSERT_EQ(chart.AddTextLabel(clBlack, "fill", 0, 0, 0), expected);
    EXPECT_EQ(chart.AddTextLabel(clBlack, "full", 9, 9, 0), 0);
    EXPECT_EQ(chart.TextLabel(20)->Caption(), "fill") << "a full table changes nothing";
    chart.TextLabel(5)->SetMode(TTxtLblMode::tlOff);
    EXPECT_EQ(chart.AddTextLabel(clBlack, "again", 0, 0, 0), 5) << "a freed slot is reused";
}

TEST(ChartMarks, WritingACrossHairCopiesItsValuesAndRedraws)
{
    TPolChart chart;
    chart.show();
    TpcCrossHair source;
    source.SetPosition(3, 40);
    source.SetColor(clRed);
    source.SetMode(TpcCrossHMode::chPolar);
    source.SetLineType(TPenStyle::psDash);
    source.SetLineWid(2);
    TpcCrossHair* own = chart.CrossHair1();
    const int before = TpcChartSeams::PaintCount(chart);
    EXPECT_TRUE(chart.setProperty("CrossHair1", QVariant::fromValue(&source)));
    EXPECT_EQ(chart.CrossHair1(), own) << "the chart keeps its own object";
    EXPECT_EQ(own->PosRad(), 3);
    EXPECT_EQ(own->PosPhi(), 40);
    EXPECT_EQ(own->Color(), clRed);
    EXPECT_EQ(own->Mode(), TpcCrossHMode::chPolar);
    EXPECT_EQ(own->LineType(), TPenStyle::psDash);
    EXPECT_EQ(own->LineWid(), 2);
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), before + 1);
    chart.SetCrossHair2(nullptr);
    EXPECT_EQ(chart.CrossHair2()->Mode(), TpcCrossHMode::chOff) << "a null source changes nothing";
}

// Indexes outside the tables raise the chart's error, as TextLabel does.
TEST(ChartMarks, CrossHairAndElementIndexesOutsideRaise)
{
    TPolChart chart;
    chart.SetName("PC");
    chart.MoveTo(1, 2);
    EXPECT_NO_THROW(chart.CrossHair(4));
    EXPECT_EQ(chart.Element(0).Rad, 1.0);
    for (int index : { 0, 5, -1 })
        EXPECT_THROW(chart.CrossHair(index), EZNQPolChartError) << index;
    for (int index : { -1, 1, INT32_MAX })
        EXPECT_THROW(chart.Element(index), EZNQPolChartError) << index;
    try {
        chart.CrossHair(5);
    } catch (const EZNQPolChartError& error) {
        EXPECT_STREQ(error.what(), "Component \"PC\": invalid index into CrossHair array");
    }
}
