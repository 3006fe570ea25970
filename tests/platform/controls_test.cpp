// The control bases and standard widgets: canvas and paint hook, size and resize notification,
// the first-show hook, mouse events in control pixels, the edit's change notification, the radio
// group, the scroll bar and the application's handling of escaped exceptions.
#include "znq_application.h"
#include "znq_stdctrls.h"

#include <QAbstractButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace znq;

namespace {

// A control that records what reaches it, in order.
class Probe : public TCustomControl {
public:
    std::vector<std::string> log;
    int paints = 0;
    int windowsCreated = 0;

    bool showShared(const QImage& image) { return showImage(image); }
    void Paint() override
    {
        ++paints;
        Canvas().Brush().SetColor(clRed);
        Canvas().FillRect(Rect(0, 0, Width(), Height()));
    }

protected:
    void CreateWnd() override { ++windowsCreated; }
    void FontChanged() override { log.push_back("font"); }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override
    {
        TCustomControl::MouseDown(button, shift, x, y);
        log.push_back("own down " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseMove(TShiftState shift, int x, int y) override
    {
        TCustomControl::MouseMove(shift, x, y);
        log.push_back("own move");
    }
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override
    {
        TCustomControl::MouseUp(button, shift, x, y);
        log.push_back("own up");
    }
};

} // namespace

TEST(ControlBase, PaintDrawsIntoTheBackingImageAtOnce)
{
    Probe probe;
    probe.SetBounds(0, 0, 30, 20);
    EXPECT_EQ(probe.Width(), 30);
    EXPECT_EQ(probe.Height(), 20);
    probe.Repaint();
    EXPECT_EQ(probe.paints, 1);
    ASSERT_EQ(probe.BackingImage().size(), QSize(30, 20));
    EXPECT_EQ(probe.Canvas().Pixel(29, 19), clRed);
    probe.SetWidth(0);
    probe.Repaint();
    EXPECT_TRUE(probe.BackingImage().isNull()) << "a 0-wide control has an empty canvas";
}

// An image of the backing's size, format and ratio is shown without a copy; whatever draws on the
// canvas afterwards, a figure or text (whose painter was open before), leaves the image as it was.
TEST(ControlBase, AFittingImageIsShownWithoutACopyAndDrawingLeavesItAsItWas)
{
    Probe probe;
    probe.SetBounds(0, 0, 30, 20);
    probe.Repaint();
    EXPECT_FALSE(probe.showShared(QImage(31, 20, QImage::Format_RGB32)));
    EXPECT_FALSE(probe.showShared(QImage(30, 20, QImage::Format_ARGB32)));
    EXPECT_EQ(probe.Canvas().Pixel(0, 0), clRed) << "nothing shown";
    QImage blue(30, 20, QImage::Format_RGB32);
    blue.fill(qRgb(0, 0, 255));
    const QImage pixels = blue.copy();
    probe.Canvas().TextOut(0, 0, "x");
    ASSERT_TRUE(probe.showShared(blue));
    EXPECT_EQ(probe.BackingImage().constBits(), blue.constBits()) << "shared, not copied";
    probe.Canvas().TextOut(0, 0, "xx");
    ASSERT_TRUE(probe.showShared(blue));
    probe.Canvas().Brush().SetColor(clRed);
    probe.Canvas().FillRect(Rect(0, 0, 5, 5));
    EXPECT_EQ(probe.Canvas().Pixel(1, 1), clRed);
    EXPECT_EQ(blue, pixels);
}

TEST(ControlBase, ResizeNotifiesOnceAndSynchronously)
{
    Probe probe;
    int resizes = 0;
    probe.OnResize = [&](TObject* sender) {
        EXPECT_EQ(sender, &probe);
        ++resizes;
    };
    probe.SetWidth(100);
    EXPECT_EQ(resizes, 1);
    probe.SetWidth(100);
    EXPECT_EQ(resizes, 1) << "no notification without a change";
    probe.SetBounds(5, 5, 100, 70);
    EXPECT_EQ(resizes, 2);
    probe.show();
    EXPECT_EQ(resizes, 3) << "the new window reports its size once";
    QCoreApplication::processEvents();
    EXPECT_EQ(resizes, 3) << "the deferred Qt resize event does not notify again";
}

TEST(ControlBase, CreateWndRunsOnceOnTheFirstShow)
{
    Probe probe;
    probe.SetBounds(0, 0, 20, 20);
    EXPECT_EQ(probe.windowsCreated, 0);
    probe.show();
    probe.hide();
    probe.show();
    EXPECT_EQ(probe.windowsCreated, 1);
}

TEST(ControlBase, StatesVisibilityAndFont)
{
    Probe probe;
    EXPECT_TRUE(probe.Visible()) << "visible by default even before the parent shows";
    probe.SetVisible(false);
    EXPECT_FALSE(probe.Visible());
    EXPECT_FALSE(probe.Loading());
    probe.BeginLoading();
    EXPECT_TRUE(probe.Loading());
    probe.Loaded();
    EXPECT_FALSE(probe.Loading());
    EXPECT_FALSE(probe.Designing());
    probe.SetName("Probe1");
    EXPECT_EQ(probe.Name(), "Probe1");
    probe.Font().SetSize(14);
    ASSERT_EQ(probe.log.size(), 1u);
    EXPECT_EQ(probe.log[0], "font");
}

TEST(ControlBase, MouseEventsFireBeforeOwnHandlingInControlPixels)
{
    Probe probe;
    probe.SetBounds(0, 0, 100, 80);
    probe.show();
    TShiftState downShift;
    probe.OnMouseDown = [&](TObject*, TMouseButton button, TShiftState shift, int x, int y) {
        EXPECT_EQ(button, TMouseButton::mbLeft);
        downShift = shift;
        probe.log.push_back("event down " + std::to_string(x) + "," + std::to_string(y));
    };
    probe.OnMouseMove = [&](TObject*, TShiftState, int, int) { probe.log.push_back("event move"); };
    probe.OnMouseUp
        = [&](TObject*, TMouseButton, TShiftState, int, int) { probe.log.push_back("event up"); };
    probe.OnClick = [&](TObject*) { probe.log.push_back("click"); };

    QTest::mousePress(&probe, Qt::LeftButton, Qt::ShiftModifier, QPoint(12, 34));
    QTest::mouseMove(&probe, QPoint(20, 30));
    QTest::mouseRelease(&probe, Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    const std::vector<std::string> expected = { "event down 12,34", "own down 12,34", "event move",
        "own move", "click", "event up", "own up" };
    EXPECT_EQ(probe.log, expected);
    EXPECT_TRUE(downShift.testFlag(TShiftStateFlag::ssShift));
    EXPECT_TRUE(downShift.testFlag(TShiftStateFlag::ssLeft));
    EXPECT_FALSE(downShift.testFlag(TShiftStateFlag::ssRight));
}

TEST(ControlBase, ShiftStateMapping)
{
    const TShiftState shift = ShiftStateOf(
        Qt::ControlModifier | Qt::AltModifier, Qt::RightButton | Qt::MiddleButton, true);
    EXPECT_EQ(shift,
        TShiftStateFlag::ssCtrl | TShiftStateFlag::ssAlt | TShiftStateFlag::ssRight
            | TShiftStateFlag::ssMiddle | TShiftStateFlag::ssDouble);
}

TEST(CustomEdit, ChangeNotificationCaretAndMaxLength)
{
    TEdit edit;
    edit.show();
    int changes = 0;
    edit.OnChange = [&](TObject*) { ++changes; };
    edit.SetText("12");
    EXPECT_EQ(changes, 1);
    edit.SetText("12");
    EXPECT_EQ(changes, 1) << "an identical text is not written and notifies nothing";
    edit.SetSelStart(1);
    EXPECT_EQ(edit.SelStart(), 1);
    QTest::keyClicks(&edit, "x");
    EXPECT_EQ(edit.Text(), "1x2");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit.SelStart(), 2);
    edit.SetMaxLength(4);
    QTest::keyClicks(&edit, "abc");
    EXPECT_EQ(edit.Text().size(), 4u);
    edit.SetMaxLength(10);
    edit.SetText("\xc2\xb0 deg");
    EXPECT_EQ(edit.Text(), "\xc2\xb0 deg") << "UTF-8 round trip of the degree sign";
}

TEST(RadioGroup, ItemsColumnsAndClicks)
{
    TRadioGroup group;
    group.SetCaption(" Chart Units ");
    group.SetColumns(2);
    group.SetItems({ "Degrees", "Radians" });
    group.resize(241, 41);
    group.show();
    std::vector<int> clicks;
    group.OnClick = [&](TObject*) { clicks.push_back(group.ItemIndex()); };
    group.SetItemIndex(0);
    group.SetItemIndex(0);
    group.SetItemIndex(7);
    EXPECT_EQ(clicks, std::vector<int> { 0 }) << "fires on a change only; out-of-range ignored";

    auto buttons = group.findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 2);
    QAbstractButton* radians = buttons[0]->text() == "Radians" ? buttons[0] : buttons[1];
    QTest::mouseClick(radians, Qt::LeftButton);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(clicks, (std::vector<int> { 0, 1 }));
    EXPECT_GT(radians->x(), 100) << "the second item stands in the second column";
}

TEST(ScrollBar, ClampsAndNotifiesOnChangeOnly)
{
    TScrollBar bar;
    bar.SetMin(0);
    bar.SetMax(500);
    int changes = 0;
    bar.OnChange = [&](TObject*) { ++changes; };
    bar.SetPosition(65);
    bar.SetPosition(65);
    EXPECT_EQ(changes, 1);
    bar.SetPosition(730);
    EXPECT_EQ(bar.Position(), 500);
    EXPECT_EQ(changes, 2);
    bar.SetPosition(900);
    EXPECT_EQ(changes, 2);
}

TEST(Application, EscapedExceptionIsShownAndTheLoopGoesOn)
{
    TApplication* app = TApplication::Instance();
    ASSERT_NE(app, nullptr);
    std::vector<std::string> shown;
    app->OnException = [&](const std::string& message) { shown.push_back(message); };
    TRadioGroup group;
    group.SetItems({ "a", "b" });
    group.OnClick = [](TObject*) { throw std::runtime_error("handler failed"); };
    group.SetItemIndex(1);
    EXPECT_EQ(group.ItemIndex(), 1);
    // An exception from inside Qt's own event dispatch is caught too.
    QObject target;
    QMetaObject::invokeMethod(
        &target, [] { throw std::runtime_error("queued failure"); }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, (std::vector<std::string> { "handler failed", "queued failure" }));
    app->OnException = nullptr;
}

TEST(Locale, SeparatorsAndNamesFromTheLocale)
{
    const TLocaleInfo c = TLocaleInfo::FromQLocale(QLocale::c());
    EXPECT_EQ(c.DecimalSeparator, '.');
    EXPECT_EQ(c.ShortMonthNames[2], "Mar");
    EXPECT_EQ(c.LongMonthNames[0], "January");
    EXPECT_EQ(c.ShortDayNames[0], "Sun");
    EXPECT_EQ(c.LongDayNames[1], "Monday");
    const TLocaleInfo german = TLocaleInfo::FromQLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.DecimalSeparator, ',');
    EXPECT_EQ(german.LongMonthNames[2], "M\xc3\xa4rz");
    EXPECT_EQ(german.DateSeparator, '.');
}
