// The input field driven by keystrokes, pastes, selections, SetTextQuiet and setters. After every
// edit by the user the field holds a text it accepts (or none): a number in its format within its
// range, or zero.
#include "ZNQ_NumIO.h"
#include "fuzz_support.h"

#include <QClipboard>
#include <QTest>

#include <algorithm>
#include <cstring>

using namespace znq;

namespace {
TNumIO* field;

double realFrom(const uint8_t* data)
{
    double value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

void checkAccepted()
{
    const std::string text = field->Text();
    fuzz::require(!(field->RangeLow() > field->RangeHigh()), "RangeLow above RangeHigh");
    if (text.empty())
        return;
    double value = 0;
    fuzz::require(field->TextToNumber(text, value), "the field holds a text it rejects: " + text);
    fuzz::require(value == 0 || (field->RangeLow() <= value && value <= field->RangeHigh()),
        "the field holds a number outside its range: " + text);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::startApplication(argc, argv);
    field = new TNumIO;
    field->resize(160, 24);
    field->show();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 20)
        return 0;
    field->SetTextQuiet("");
    field->SetInputFormat(static_cast<TInFormat>(data[0] % 8));
    field->SetDecPlaceSep(static_cast<TDecPSep>(data[1] % 4));
    field->SetFixPointDecPlaces(data[2] % 10);
    field->SetRangeLow(realFrom(data + 3));
    field->SetRangeHigh(realFrom(data + 11));
    bool quiet = true;
    for (size_t i = 19; i + 1 < size; i += 2) {
        const uint8_t op = data[i], arg = data[i + 1];
        // An edit that changes nothing (an empty paste, a deletion at the end) leaves a text that
        // SetTextQuiet wrote unchecked as it was.
        const std::string before = field->Text();
        bool edit = false;
        switch (op % 8) {
        case 0:
        case 1:
        case 2:
            QTest::keyClick(field, static_cast<char>(' ' + arg % 95));
            edit = true;
            break;
        case 3:
            QTest::keyClick(field, arg & 1 ? Qt::Key_Backspace : Qt::Key_Delete);
            edit = true;
            break;
        case 4:
            // A selection starts within the text, as a user's does.
            field->setSelection(std::min<int>(arg % 8, int(field->text().size())), (arg >> 3) % 8);
            break;
        case 5: {
            const size_t length = std::min<size_t>(arg % 16, size - i - 2);
            QApplication::clipboard()->setText(QString::fromLatin1(
                reinterpret_cast<const char*>(data) + i + 2, static_cast<qsizetype>(length)));
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            edit = true;
            i += length;
            break;
        }
        case 6:
            field->SetTextQuiet(std::to_string(static_cast<int8_t>(arg)) + (arg & 1 ? "x" : ""));
            quiet = true;
            break;
        case 7:
            QTest::keyClick(field, arg & 1 ? Qt::Key_Home : Qt::Key_End);
            break;
        }
        if (edit && field->Text() != before)
            quiet = false;
        if (!quiet)
            checkAccepted();
    }
    return 0;
}
