// What assistive tools see of the read-out (its role, its name, its value and text exactly as
// shown, overflow indicator included, and its value events) and of the input field.
#include "ZNQ_NumIO.h"
#include "ZNQ_NumLab.h"
#include "znq_stdctrls.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace znq;

TEST(ReadOutAccessibility, AStaticTextNamedByItsCaptionThatReadsWhatItShows)
{
    TNumLab label;
    label.SetLeftText("Radius ");
    label.show();
    label.SetValue(4.25);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&label);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::StaticText);
    EXPECT_EQ(face->text(QAccessible::Name), "Radius");
    EXPECT_EQ(face->text(QAccessible::Value).toStdString(), label.ShownText());
    EXPECT_FALSE(label.ShownText().empty());
    QAccessibleTextInterface* text = face->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(0, text->characterCount()).toStdString(), label.ShownText());
    label.setAccessibleName("Crosshair radius");
    EXPECT_EQ(face->text(QAccessible::Name), "Crosshair radius");
    // Too wide for the box: the indicator is what shows and what is read.
    label.SetLabelWidth(20);
    label.SetValue(123456789.0);
    EXPECT_EQ(face->text(QAccessible::Value).toStdString(), label.ShownText());
    EXPECT_EQ(label.ShownText().find_first_not_of(label.OverflowIndicator().substr(0, 1)),
        std::string::npos);
}

// The input field reads and edits like a line edit, named by the label that names it.
TEST(InputFieldAccessibility, AnEditableTextNamedByItsLabelThatToolsCanType)
{
    QWidget window;
    auto* label = new TLabel(&window);
    label->SetCaption("Angle between rays");
    auto* field = new TNumIO(&window);
    field->SetInputFormat(TInFormat::itInt);
    field->SetRangeHigh(1000);
    field->SetText("30");
    int changes = 0;
    field->OnChange = [&](TObject*) { ++changes; };
    label->SetFocusControl(field);
    window.show();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(field);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::EditableText);
    EXPECT_EQ(face->text(QAccessible::Name), "Angle between rays");
    EXPECT_EQ(face->text(QAccessible::Value), "30");
    QAccessibleEditableTextInterface* editable = face->editableTextInterface();
    ASSERT_NE(editable, nullptr);
    ASSERT_NE(face->textInterface(), nullptr);
    editable->replaceText(0, face->textInterface()->characterCount(), "45");
    EXPECT_EQ(field->Text(), "45");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(field->NumericValue(), 45);
    field->setAccessibleName("Ray angle");
    EXPECT_EQ(face->text(QAccessible::Name), "Ray angle");
}

namespace {
std::vector<std::pair<QObject*, QString>> valueEvents;

void countValueEvents(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::ValueChanged)
        valueEvents.emplace_back(
            event->object(), static_cast<QAccessibleValueChangeEvent*>(event)->value().toString());
}
} // namespace

// Where Qt's accessibility is active (a real platform with the accessibility bus), a value that
// changes every 10 ms for a second is told at most ten times a second, never from inside the
// setter's paint, and the last event carries the settled text.
TEST(ReadOutAccessibility, ValueEventsComeAfterThePaintAtMostTenASecond)
{
    TNumLab label;
    label.show();
    // The platform's bridge becomes active once it has reached the accessibility bus.
    for (int i = 0; i < 40 && !QAccessible::isActive(); ++i)
        QTest::qWait(50);
    if (!QAccessible::isActive())
        GTEST_SKIP() << "the platform's accessibility is not active";
    QAccessible::installUpdateHandler(countValueEvents);
    valueEvents.clear();
    QElapsedTimer clock;
    clock.start();
    for (int i = 1; clock.elapsed() < 1000; ++i) {
        const size_t before = valueEvents.size();
        label.SetValue(i);
        EXPECT_EQ(valueEvents.size(), before) << "never from inside the setter's paint";
        QTest::qWait(10);
    }
    const qint64 burst = clock.elapsed();
    // The settled value follows within the interval (longer on a busy machine).
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return !valueEvents.empty() && valueEvents.back().second.toStdString() == label.ShownText();
    }));
    QAccessible::installUpdateHandler(nullptr);
    ASSERT_FALSE(valueEvents.empty());
    EXPECT_LE(double(valueEvents.size()), burst / 100.0 + 2) << "at most ten a second";
    EXPECT_GE(valueEvents.size(), 5u) << "a long burst is told on the way";
    EXPECT_EQ(valueEvents.back().first, &label);
    EXPECT_EQ(valueEvents.back().second.toStdString(), label.ShownText()) << "the settled value";
}
