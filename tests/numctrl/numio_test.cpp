// The numeric input field driven like a user: typed keys, deletions and pasted text through Qt's
// event simulation, checking the text, the caret, OnChange counts and LastValidText. Also the
// setters, construction, SetTextQuiet, NumericValue, Assign and a randomized run under any input.
#include "ZNQ_NumIO.h"
#include "ZNQ_NumLab.h"
#include "znq_application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <climits>
#include <iostream>
#include <random>
#include <string>
#include <vector>

using namespace znq;

namespace {

constexpr double widest = 1.7e308;

// A shown field with a format, separator mode, range and accepted start text, counting OnChange
// and recording the text each OnChange saw.
struct Field {
    Field(TInFormat format, TDecPSep sep, double low, double high, const std::string& text)
    {
        io.SetInputFormat(format);
        io.SetDecPlaceSep(sep);
        io.SetRangeLow(-widest);
        io.SetRangeHigh(widest);
        io.SetRangeLow(low);
        io.SetRangeHigh(high);
        io.SetText(text);
        io.OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, &io);
            seen.push_back(io.Text());
        };
        io.resize(160, 24);
        io.show();
        io.setFocus();
    }

    int changes() const { return static_cast<int>(seen.size()); }
    // Each character as one key press carrying its text, as a keyboard layout would send it.
    void type(const char* keys)
    {
        for (QChar ch : QString::fromUtf8(keys)) {
            if (ch.unicode() < 0x80)
                QTest::keyClick(&io, char(ch.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, &io, Qt::Key_unknown, QString(ch), {});
        }
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&io, k, modifiers);
    }
    void selectAll() { key(Qt::Key_A, Qt::ControlModifier); }
    void paste(const std::string& text)
    {
        QApplication::clipboard()->setText(QString::fromStdString(text));
        key(Qt::Key_V, Qt::ControlModifier);
    }
    std::string text() const { return io.Text(); }

    TNumIO io;
    std::vector<std::string> seen;
};

// The main form's ray-angle field: integers up to 1000, starting at "30".
Field mainFormField()
{
    return Field(TInFormat::itInt, TDecPSep::dsDot, -widest, 1000, "30");
}

// Sets the application's default locale for the lifetime of the guard.
class LocaleGuard {
public:
    explicit LocaleGuard(const QLocale& locale)
    {
        QLocale::setDefault(locale);
        RefreshSystemLocaleInfo();
    }
    ~LocaleGuard()
    {
        QLocale::setDefault(m_saved);
        RefreshSystemLocaleInfo();
    }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

private:
    QLocale m_saved;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction

TEST(NumIOConstruction, Defaults)
{
    TNumIO io;
    EXPECT_EQ(io.InputFormat(), TInFormat::itDynamic);
    EXPECT_EQ(io.DecPlaceSep(), TDecPSep::dsSystem);
    EXPECT_EQ(io.FixPointDecPlaces(), 2);
    EXPECT_FALSE(io.Beep());
    EXPECT_EQ(io.RangeLow(), 0.0) << "created by program code";
    EXPECT_EQ(io.RangeHigh(), 0.0);
    EXPECT_EQ(io.LastValidText(), "");
    EXPECT_EQ(io.Text(), "");
    EXPECT_FALSE(io.InternalChange()) << "the empty text was not written, so no flag stands";
}

TEST(NumIOConstruction, PropertiesAreWrittenAndReadByIdentifier)
{
    TNumIO io;
    EXPECT_TRUE(io.setProperty("InputFormat", "itFixPoint"));
    EXPECT_EQ(io.InputFormat(), TInFormat::itFixPoint);
    EXPECT_TRUE(io.setProperty("DecPlaceSep", "dsBoth"));
    EXPECT_EQ(io.DecPlaceSep(), TDecPSep::dsBoth);
    EXPECT_TRUE(io.setProperty("RangeHigh", 1000.0));
    EXPECT_EQ(io.RangeHigh(), 1000.0);
    EXPECT_TRUE(io.setProperty("FixPointDecPlaces", 3));
    EXPECT_EQ(io.property("FixPointDecPlaces").toInt(), 3);
    EXPECT_TRUE(io.setProperty("Beep", true));
    EXPECT_TRUE(io.Beep());
}

TEST(NumIOConstruction, ProgramCreatedFieldChecksTheFirstKeystroke)
{
    TNumIO io;
    int changes = 0;
    io.OnChange = [&changes](TObject*) { ++changes; };
    io.show();
    QTest::keyClicks(&io, "x");
    EXPECT_EQ(io.Text(), "") << "an invalid first character is rejected";
    EXPECT_EQ(changes, 0);
    QTest::keyClicks(&io, "5");
    EXPECT_EQ(io.Text(), "") << "5 lies outside the range 0 .. 0";
    EXPECT_EQ(changes, 0);
    QTest::keyClicks(&io, "0");
    EXPECT_EQ(io.Text(), "0");
    EXPECT_EQ(io.LastValidText(), "0");
    EXPECT_EQ(changes, 1) << "a valid first keystroke fires OnChange";
}

TEST(NumIOConstruction, InAFormDesignerNothingIsChecked)
{
    Field field(TInFormat::itInt, TDecPSep::dsDot, 0, 10, "5");
    field.io.SetDesigning(true);
    field.type("x");
    EXPECT_EQ(field.text(), "5x");
    EXPECT_EQ(field.changes(), 0);
    EXPECT_EQ(field.io.LastValidText(), "5");
}

// ---------------------------------------------------------------------------------------------
// SetTextQuiet and InternalChange

TEST(NumIOSetTextQuiet, TheSameTextLeavesNoFlagStanding)
{
    Field field = mainFormField();
    field.io.SetTextQuiet("30");
    EXPECT_FALSE(field.io.InternalChange());
    field.type("x");
    EXPECT_EQ(field.text(), "30") << "the next keystroke is checked";
    EXPECT_EQ(field.changes(), 0);
    field.type("1");
    EXPECT_EQ(field.text(), "301");
    EXPECT_EQ(field.changes(), 1);
}

TEST(NumIOSetTextQuiet, ADifferentTextIsWrittenWithoutACheck)
{
    Field field = mainFormField();
    field.io.SetTextQuiet("abc");
    EXPECT_EQ(field.text(), "abc");
    EXPECT_EQ(field.changes(), 0);
    EXPECT_EQ(field.io.LastValidText(), "30");
    EXPECT_FALSE(field.io.InternalChange()) << "the write's own notification cleared it";
    field.type("1");
    EXPECT_EQ(field.text(), "30") << "the next edit is checked and restores the last text";
}

// ---------------------------------------------------------------------------------------------
// Typing into the main form's integer field

TEST(NumIOTyping, AppendingADigitIsAcceptedAndReported)
{
    Field field = mainFormField();
    field.type("5");
    EXPECT_EQ(field.text(), "305");
    EXPECT_EQ(field.changes(), 1);
    EXPECT_EQ(field.seen.back(), "305");
    EXPECT_EQ(field.io.LastValidText(), "305");
    EXPECT_EQ(field.io.SelStart(), 3);
}

TEST(NumIOTyping, ALetterRestoresTheTextWithoutOnChange)
{
    Field field = mainFormField();
    field.type("x");
    EXPECT_EQ(field.text(), "30");
    EXPECT_EQ(field.changes(), 0);
    EXPECT_EQ(field.io.LastValidText(), "30");
    EXPECT_EQ(field.io.SelStart(), 2) << "the caret steps back over the rejected character";
}

TEST(NumIOTyping, ALetterInTheMiddleLeavesTheCaretWhereItWas)
{
    Field field = mainFormField();
    field.key(Qt::Key_Home);
    field.key(Qt::Key_Right);
    field.type("x");
    EXPECT_EQ(field.text(), "30");
    EXPECT_EQ(field.io.SelStart(), 1);
    EXPECT_EQ(field.changes(), 0);
}

TEST(NumIOTyping, AValueAboveTheRangeIsRestored)
{
    Field field = mainFormField();
    field.selectAll();
    field.type("1001");
    EXPECT_EQ(field.text(), "100");
    EXPECT_EQ(field.io.LastValidText(), "100");
    EXPECT_EQ((std::vector<std::string> { "1", "10", "100" }), field.seen);
}

TEST(NumIOTyping, ZeroIsAcceptedEvenOutsideTheRange)
{
    Field field(TInFormat::itInt, TDecPSep::dsDot, 5, 10, "7");
    field.selectAll();
    field.type("0");
    EXPECT_EQ(field.text(), "0");
    EXPECT_EQ(field.changes(), 1);
    field.selectAll();
    field.type("-");
    EXPECT_EQ(field.text(), "-") << "an unfinished number is worth 0";
    EXPECT_EQ(field.changes(), 2);
    field.type("3");
    EXPECT_EQ(field.text(), "-");
    EXPECT_EQ(field.changes(), 2);
}

TEST(NumIOTyping, DeletingTheWholeTextIsRejected)
{
    Field field = mainFormField();
    field.selectAll();
    field.key(Qt::Key_Backspace);
    EXPECT_EQ(field.text(), "30");
    EXPECT_EQ(field.changes(), 0);

    field.key(Qt::Key_End);
    field.key(Qt::Key_Backspace);
    EXPECT_EQ(field.text(), "3");
    EXPECT_EQ(field.changes(), 1);
    field.key(Qt::Key_Backspace);
    EXPECT_EQ(field.text(), "3") << "the last character cannot go";
    EXPECT_EQ(field.changes(), 1);
}

TEST(NumIOTyping, BeepsOnlyWhenAskedAndOnlyForRejectedEdits)
{
    Field field = mainFormField();
    field.type("x");
    EXPECT_EQ(field.io.BeepCount(), 0);
    field.io.SetBeep(true);
    field.type("x");
    EXPECT_EQ(field.io.BeepCount(), 1);
    field.type("1");
    EXPECT_EQ(field.io.BeepCount(), 1);
}

TEST(NumIOTyping, EachFormatKeepsItsOwnCharacters)
{
    struct Row {
        const char* name;
        TInFormat format;
        TDecPSep sep;
        const char* start;
        const char* keys;
        const char* expected;
        int changes;
    };
    const Row rows[] = {
        { "hex takes letters a to f", TInFormat::itHex, TDecPSep::dsDot, "f", "fag", "ffa", 2 },
        { "hex with its dollar", TInFormat::itHex, TDecPSep::dsDot, "$", "1f", "$1f", 2 },
        { "octal stops at 8", TInFormat::itOct, TDecPSep::dsDot, "1", "78", "17", 1 },
        { "binary stops at 2", TInFormat::itBin, TDecPSep::dsDot, "1", "012", "101", 2 },
        { "integer refuses a point", TInFormat::itInt, TDecPSep::dsDot, "1", ".5", "15", 1 },
        { "float refuses an exponent", TInFormat::itFloat, TDecPSep::dsDot, "1", ".5e", "1.5", 2 },
        { "exponent form grows", TInFormat::itExp, TDecPSep::dsDot, "1", "e-5", "1e-5", 3 },
        { "point mode refuses the comma", TInFormat::itExp, TDecPSep::dsDot, "1", ",5", "15", 1 },
        { "comma mode refuses the point", TInFormat::itExp, TDecPSep::dsComma, "1", ".,5", "1,5",
            2 },
        { "both takes either once", TInFormat::itFloat, TDecPSep::dsBoth, "1", ",.5", "1,5", 2 },
        { "dynamic switches to hex", TInFormat::itDynamic, TDecPSep::dsDot, "$", "ffz", "$ff", 2 },
        { "dynamic reads binary", TInFormat::itDynamic, TDecPSep::dsDot, "%", "102", "%10", 2 },
        { "spaces inside are refused", TInFormat::itInt, TDecPSep::dsDot, "1", " 2", "12", 1 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Field field(row.format, row.sep, -widest, widest, row.start);
        ASSERT_EQ(field.text(), row.start);
        field.type(row.keys);
        EXPECT_EQ(field.text(), row.expected);
        EXPECT_EQ(field.changes(), row.changes);
        EXPECT_EQ(field.io.LastValidText(), row.expected);
    }
}

// ---------------------------------------------------------------------------------------------
// Fixed point: two decimals, range 0 .. 10

namespace {
Field fixPointField(TDecPSep sep = TDecPSep::dsDot)
{
    return Field(TInFormat::itFixPoint, sep, 0, 10, "1.00");
}
} // namespace

TEST(NumIOFixPoint, PastedTextIsCutToTheDecimalsAndReportedOnce)
{
    Field field = fixPointField();
    field.selectAll();
    field.paste("3.14159");
    EXPECT_EQ(field.text(), "3.14");
    EXPECT_EQ(field.changes(), 1);
    EXPECT_EQ(field.seen.back(), "3.14159") << "OnChange sees the text as typed";
    EXPECT_EQ(field.io.LastValidText(), "3.14159");
    EXPECT_DOUBLE_EQ(field.io.NumericValue(), 3.14);
    EXPECT_FALSE(field.io.InternalChange());
}

TEST(NumIOFixPoint, ASecondPointRestoresTheLastValidText)
{
    Field field = fixPointField();
    field.selectAll();
    field.paste("3.14159");
    field.key(Qt::Key_End);
    field.type(".");
    EXPECT_EQ(field.text(), field.io.LastValidText());
    EXPECT_EQ(field.text(), "3.14159");
    EXPECT_EQ(field.changes(), 1);
    // The caret went just behind the point of the last text, then one step left for the
    // rejection: onto the point.
    const int point = static_cast<int>(field.io.LastValidText().find('.')) + 1;
    EXPECT_EQ(field.io.SelStart(), point - 1);
}

TEST(NumIOFixPoint, TypedDigitsAreRewrittenWithTheCaretBeforeThePoint)
{
    Field field = fixPointField();
    field.selectAll();
    field.type("5");
    EXPECT_EQ(field.text(), "5.00");
    EXPECT_EQ(field.io.LastValidText(), "5");
    EXPECT_EQ(field.io.SelStart(), 1) << "the old text's point was at 2: the caret goes before it";
    EXPECT_EQ(field.changes(), 1);
}

TEST(NumIOFixPoint, TheFixedFormDoesNotSwallowTheNextKeystroke)
{
    // "1.00" is already in its fixed form: the rewrite writes nothing, and must leave nothing
    // behind that would let the next edit through unchecked.
    Field field = fixPointField();
    ASSERT_EQ(field.text(), "1.00");
    EXPECT_FALSE(field.io.InternalChange());
    field.type("x");
    EXPECT_EQ(field.text(), "1.00");
    EXPECT_EQ(field.changes(), 0);
    field.key(Qt::Key_Home);
    field.type("9");
    EXPECT_EQ(field.text(), "1.00") << "91 is outside 0 .. 10";
    EXPECT_EQ(field.changes(), 0);
}

TEST(NumIOFixPoint, AnEditInsideTheTextKeepsTheCaretThere)
{
    Field field = fixPointField();
    field.key(Qt::Key_Home);
    field.key(Qt::Key_Right);
    field.key(Qt::Key_Right); // just behind the point
    field.type("5");
    EXPECT_EQ(field.text(), "1.50");
    EXPECT_EQ(field.io.SelStart(), 3) << "the rewrite does not throw the caret to the end";
}

TEST(NumIOFixPoint, CommaModeWritesTheComma)
{
    Field field(TInFormat::itFixPoint, TDecPSep::dsComma, 0, 10, "1");
    EXPECT_EQ(field.text(), "1,00") << "the field's own text must be one it accepts";
    field.selectAll();
    field.paste("2,5");
    EXPECT_EQ(field.text(), "2,50");
    EXPECT_DOUBLE_EQ(field.io.NumericValue(), 2.5);
    field.key(Qt::Key_End);
    field.type("1");
    EXPECT_EQ(field.text(), "2,50") << "2,501 is read and written back with two decimals";
    EXPECT_EQ(field.io.LastValidText(), "2,501");
    EXPECT_EQ(field.changes(), 2);
}

TEST(NumIOFixPoint, DecimalPlacesAreLimitedAndUsedByTheRewrite)
{
    struct Row {
        const char* name;
        int set;
        int stored;
    };
    const Row rows[] = {
        { "zero gives 1", 0, 1 },
        { "negative gives 1", -5, 1 },
        { "smallest int gives 1", INT_MIN, 1 },
        { "one", 1, 1 },
        { "eight", 8, 8 },
        { "twelve gives 8", 12, 8 },
        { "largest int gives 8", INT_MAX, 8 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Field field = fixPointField();
        field.io.SetFixPointDecPlaces(row.set);
        EXPECT_EQ(field.io.FixPointDecPlaces(), row.stored);
        EXPECT_EQ(field.text(), "1.00") << "nothing is rewritten by the setter";
        field.selectAll();
        field.paste("2");
        EXPECT_EQ(field.text(), "2." + std::string(row.stored, '0'));
    }
}

// ---------------------------------------------------------------------------------------------
// Setters of format, separator and range

TEST(NumIOSetters, RangeBoundsSwapWhenTheyWouldCross)
{
    struct Row {
        const char* name;
        bool setLow;
        double value;
        double low, high;
    };
    const Row rows[] = {
        { "RangeLow above RangeHigh", true, 20, 10, 20 },
        { "RangeLow equal to RangeHigh", true, 10, 10, 10 },
        { "RangeLow inside", true, 5, 5, 10 },
        { "RangeHigh below RangeLow", false, -5, -5, 0 },
        { "RangeHigh equal to RangeLow", false, 0, 0, 0 },
        { "RangeHigh inside", false, 3, 0, 3 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TNumIO io;
        io.SetRangeHigh(10);
        ASSERT_EQ(io.RangeLow(), 0);
        if (row.setLow)
            io.SetRangeLow(row.value);
        else
            io.SetRangeHigh(row.value);
        EXPECT_EQ(io.RangeLow(), row.low);
        EXPECT_EQ(io.RangeHigh(), row.high);
    }
}

TEST(NumIOSetters, ANarrowerRangeDropsATextThatNoLongerFits)
{
    Field field(TInFormat::itInt, TDecPSep::dsDot, 0, 100, "30");
    field.io.SetRangeHigh(20);
    EXPECT_EQ(field.text(), "") << "the last text was forgotten, so the field empties";
    EXPECT_EQ(field.io.LastValidText(), "");
    EXPECT_EQ(field.changes(), 0);
}

TEST(NumIOSetters, ARangeSetterChecksAndReportsAFittingText)
{
    Field field(TInFormat::itInt, TDecPSep::dsDot, 0, 100, "30");
    field.io.SetRangeHigh(200);
    EXPECT_EQ(field.text(), "30");
    EXPECT_EQ(field.io.LastValidText(), "30");
    EXPECT_EQ(field.changes(), 1);
    field.io.SetRangeLow(-5);
    EXPECT_EQ(field.changes(), 2) << "range setters check again even for an unchanged value";
}

TEST(NumIOSetters, FormatAndSeparatorChangesCheckTheTextAgain)
{
    Field hex(TInFormat::itHex, TDecPSep::dsDot, -widest, widest, "ff");
    hex.io.SetInputFormat(TInFormat::itHex);
    EXPECT_EQ(hex.changes(), 0) << "the same format is no change";
    hex.io.SetInputFormat(TInFormat::itInt);
    EXPECT_EQ(hex.text(), "");
    EXPECT_EQ(hex.changes(), 0);

    Field both(TInFormat::itFloat, TDecPSep::dsBoth, -widest, widest, "1,5");
    both.io.SetDecPlaceSep(TDecPSep::dsComma);
    EXPECT_EQ(both.text(), "1,5");
    EXPECT_EQ(both.changes(), 1);
    both.io.SetDecPlaceSep(TDecPSep::dsDot);
    EXPECT_EQ(both.text(), "");
    EXPECT_EQ(both.changes(), 1);
}

// ---------------------------------------------------------------------------------------------
// NumericValue

TEST(NumIONumericValue, AcceptedTextsGiveTheirNumber)
{
    struct Row {
        const char* name;
        TInFormat format;
        TDecPSep sep;
        const char* text;
        double expected;
    };
    const Row rows[] = {
        { "point", TInFormat::itExp, TDecPSep::dsDot, "12.5", 12.5 },
        { "comma where both are read", TInFormat::itExp, TDecPSep::dsBoth, "12,5", 12.5 },
        { "trailing point", TInFormat::itFloat, TDecPSep::dsDot, "12.", 12 },
        { "comma where only the comma is read", TInFormat::itExp, TDecPSep::dsComma, "12,5", 12.5 },
        { "trailing comma, comma only", TInFormat::itFloat, TDecPSep::dsComma, "-3,", -3 },
        { "exponent", TInFormat::itExp, TDecPSep::dsDot, "1e3", 1000 },
        { "unfinished exponent", TInFormat::itExp, TDecPSep::dsDot, "2e-", 2 },
        { "minus alone", TInFormat::itExp, TDecPSep::dsDot, "-", 0 },
        { "integer", TInFormat::itInt, TDecPSep::dsDot, "-42", -42 },
        { "dynamic hexadecimal", TInFormat::itDynamic, TDecPSep::dsDot, "$ff", 255 },
        { "hexadecimal is signed", TInFormat::itHex, TDecPSep::dsDot, "ffffffff", -1 },
        { "octal", TInFormat::itOct, TDecPSep::dsDot, "&17", 15 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Field field(row.format, row.sep, -widest, widest, row.text);
        ASSERT_EQ(field.text(), row.text) << "the text is accepted";
        EXPECT_EQ(field.io.NumericValue(), row.expected);
    }
}

TEST(NumIONumericValue, EmptyFieldIsZero)
{
    TNumIO io;
    EXPECT_EQ(io.NumericValue(), 0.0);
}

TEST(NumIONumericValue, SystemSeparatorUnderACommaLocale)
{
    LocaleGuard german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(SystemLocaleInfo().DecimalSeparator, ',');
    Field field(TInFormat::itExp, TDecPSep::dsSystem, -widest, widest, "12,5");
    ASSERT_EQ(field.text(), "12,5");
    EXPECT_EQ(field.io.NumericValue(), 12.5);
    field.key(Qt::Key_End);
    field.type(".");
    EXPECT_EQ(field.text(), "12,5") << "the point is not this locale's separator";
}

// ---------------------------------------------------------------------------------------------
// Assign and AssignTo

TEST(NumIOAssign, CopiesFiveSettingsWithoutCheckingTheText)
{
    Field target = mainFormField();
    TNumIO source;
    source.SetInputFormat(TInFormat::itBin);
    source.SetDecPlaceSep(TDecPSep::dsComma);
    source.SetRangeHigh(200);
    source.SetRangeLow(100);
    source.SetBeep(true);
    source.SetFixPointDecPlaces(7);
    source.SetText("0");

    target.io.Assign(&source);
    EXPECT_EQ(target.io.InputFormat(), TInFormat::itBin);
    EXPECT_EQ(target.io.DecPlaceSep(), TDecPSep::dsComma);
    EXPECT_EQ(target.io.RangeLow(), 100);
    EXPECT_EQ(target.io.RangeHigh(), 200);
    EXPECT_TRUE(target.io.Beep());
    EXPECT_EQ(target.io.FixPointDecPlaces(), 2) << "not copied";
    EXPECT_EQ(target.text(), "30") << "neither the text is copied nor checked again";
    EXPECT_EQ(target.io.LastValidText(), "30");
    EXPECT_EQ(target.changes(), 0);
}

TEST(NumIOAssign, AssignToAndUnrelatedClasses)
{
    TNumIO source, target;
    source.SetInputFormat(TInFormat::itOct);
    source.AssignTo(&target);
    EXPECT_EQ(target.InputFormat(), TInFormat::itOct);

    TNumLab label;
    QLineEdit edit;
    EXPECT_THROW(target.Assign(&label), EZNQError);
    EXPECT_THROW(target.Assign(nullptr), EZNQError);
    EXPECT_THROW(source.AssignTo(&label), EZNQError);
    // The field is an instance of QLineEdit, which has no Assign that could take it.
    EXPECT_THROW(source.AssignTo(&edit), EZNQError);
}

// ---------------------------------------------------------------------------------------------
// Robustness: whatever is typed or pasted, the field holds a number (or nothing) and never faults

TEST(NumIORobustness, RandomTypingAndPastingKeepsANumber)
{
    const unsigned seed = 7031977;
    std::cout << "[ seed ] " << seed << '\n';
    std::mt19937 random(seed);
    auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const std::vector<std::string> pieces = { "0", "1", "5", "9", ".", ",", "-", "+", "e", "E", "$",
        "%", "&", "a", "f", "x", " ", "\t", "\xC3\xA9", "\xC2\xB0", "1e5000", "1e-400",
        "99999999999999999999", "ffffffffff", "-.", "0.000000001" };
    const double bounds[] = { -widest, -1e9, -10, -1, 0, 0.5, 1, 10, 1000, widest };

    for (int round = 0; round < 12; ++round) {
        Field field(static_cast<TInFormat>(pick(0, 7)), static_cast<TDecPSep>(pick(0, 3)), -widest,
            widest, "");
        field.io.SetFixPointDecPlaces(pick(0, 9));
        field.io.SetRangeLow(bounds[pick(0, 9)]);
        field.io.SetRangeHigh(bounds[pick(0, 9)]);
        for (int step = 0; step < 60; ++step) {
            std::string burst;
            for (int n = pick(1, 4); n > 0; --n)
                burst += pieces[static_cast<size_t>(pick(0, int(pieces.size()) - 1))];
            switch (pick(0, 7)) {
            case 0:
            case 1:
                field.type(burst.c_str());
                break;
            case 2:
                field.selectAll();
                field.paste(pick(0, 3) ? burst : std::string(pick(300, 700), '7') + burst);
                break;
            case 3:
                field.key(pick(0, 1) ? Qt::Key_Backspace : Qt::Key_Delete);
                break;
            case 4:
                field.key(pick(0, 1) ? Qt::Key_Home : Qt::Key_Left);
                break;
            case 5:
                field.selectAll();
                break;
            case 6:
                field.io.SetInputFormat(static_cast<TInFormat>(pick(0, 7)));
                break;
            default:
                field.io.SetDecPlaceSep(static_cast<TDecPSep>(pick(0, 3)));
                break;
            }
            const std::string text = field.text();
            double value = 0;
            SCOPED_TRACE("round " + std::to_string(round) + " step " + std::to_string(step)
                + " text \"" + text + "\"");
            EXPECT_FALSE(field.io.InternalChange());
            EXPECT_TRUE(text.empty() || field.io.TextToNumber(text, value));
            (void)field.io.NumericValue();
        }
    }
}

// A NaN bound is ignored: the range and the text stay, and edits go on being checked.
TEST(NumIOSetters, NaNBoundsAreIgnored)
{
    Field field(TInFormat::itFloat, TDecPSep::dsDot, -10, 10, "5");
    field.io.SetRangeHigh(std::nan(""));
    field.io.SetRangeLow(std::nan(""));
    EXPECT_EQ(field.io.RangeLow(), -10);
    EXPECT_EQ(field.io.RangeHigh(), 10);
    EXPECT_EQ(field.text(), "5");
    field.type(".5");
    EXPECT_EQ(field.text(), "5.5");
}

// The range applies to the number the field will hold: 99.96 shown with one decimal is 100.0.
TEST(NumIOFixPoint, TheRangeIsCheckedOnTheRoundedValue)
{
    Field field(TInFormat::itFixPoint, TDecPSep::dsDot, 0, 99.99, "");
    field.io.SetFixPointDecPlaces(1);
    field.selectAll();
    field.paste("99.94");
    EXPECT_EQ(field.text(), "99.9");
    field.selectAll();
    field.paste("99.96");
    EXPECT_EQ(field.changes(), 1) << "rejected";
    EXPECT_EQ(field.text(), field.io.LastValidText());
    EXPECT_LE(field.io.NumericValue(), 99.99);
}

// An accepted text emits changed() and then valueChanged with the number the field holds (the
// rounded one of a fixed-point text); a rejected text emits neither.
TEST(NumIOSignals, ChangedAndValueChangedFollowOnChangeForAcceptedTexts)
{
    Field f(TInFormat::itFixPoint, TDecPSep::dsDot, 0, 100, "1.00");
    std::vector<std::string> order;
    f.io.OnChange = [&](TObject*) { order.push_back("handler"); };
    QObject::connect(&f.io, &TCustomEdit::changed, [&] { order.push_back("changed"); });
    QSignalSpy values(&f.io, &TNumIO::valueChanged);
    QObject::connect(&f.io, &TNumIO::valueChanged, [&] { order.push_back("valueChanged"); });
    f.io.SetFixPointDecPlaces(2);
    f.selectAll();
    f.paste("2.345");
    EXPECT_EQ(order, (std::vector<std::string> { "handler", "changed", "valueChanged" }));
    ASSERT_EQ(values.count(), 1);
    EXPECT_EQ(values[0][0].toDouble(), f.io.NumericValue());
    f.selectAll();
    f.paste("500");
    EXPECT_EQ(values.count(), 1) << "out of range";
}
