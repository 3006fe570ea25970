#include "ZNQ_NumIO.h"

#include "ZNQ_stringl.h"
#include "znq_application.h"

#include "base_helpers.h"

#include <algorithm>
#include <cmath>

namespace znq {

namespace {
    constexpr double widestRange = 1.7e308;

    std::string className(const QObject* object)
    {
        return object ? object->metaObject()->className() : "null object";
    }

    // The 1-based position of the first decimal separator of the mode in text at or after start
    // (below 1 counts as 1), 0 when there is none.
    int32_t separatorPos(const std::string& text, TSepMode mode, int32_t start)
    {
        const int32_t point = mode == TSepMode::smComma ? 0 : NthPos(".", text, start, true, 1);
        const int32_t comma = mode == TSepMode::smPoint ? 0 : NthPos(",", text, start, true, 1);
        if (point == 0 || comma == 0)
            return std::max(point, comma);
        return std::min(point, comma);
    }
} // namespace

TNumIO::TNumIO(QWidget* parent)
    : TCustomEdit(parent)
{
    SetTextQuiet("");
    if (Designing()) {
        m_rangeLow = -widestRange;
        m_rangeHigh = widestRange;
    }
    m_told.InputFormat = m_inputFormat;
    m_told.DecPlaceSep = m_decPlaceSep;
    m_told.RangeLow = m_rangeLow;
    m_told.RangeHigh = m_rangeHigh;
    m_told.FixPointDecPlaces = m_fixPointDecPlaces;
    m_told.Beep = m_beep;
}

void TNumIO::notifyProperties()
{
    NotifyIfChanged(*this, m_told.InputFormat, m_inputFormat, &TNumIO::inputFormatChanged);
    NotifyIfChanged(*this, m_told.DecPlaceSep, m_decPlaceSep, &TNumIO::decPlaceSepChanged);
    NotifyIfChanged(*this, m_told.RangeLow, m_rangeLow, &TNumIO::rangeLowChanged);
    NotifyIfChanged(*this, m_told.RangeHigh, m_rangeHigh, &TNumIO::rangeHighChanged);
    NotifyIfChanged(
        *this, m_told.FixPointDecPlaces, m_fixPointDecPlaces, &TNumIO::fixPointDecPlacesChanged);
    NotifyIfChanged(*this, m_told.Beep, m_beep, &TNumIO::beepChanged);
}

void TNumIO::SetInputFormat(TInFormat value)
{
    helpers::RequireKnownEnum(Name(), "InputFormat", value);
    if (value == m_inputFormat)
        return;
    m_inputFormat = value;
    notifyProperties();
    recheck();
}

void TNumIO::SetDecPlaceSep(TDecPSep value)
{
    helpers::RequireKnownEnum(Name(), "DecPlaceSep", value);
    if (value == m_decPlaceSep)
        return;
    m_decPlaceSep = value;
    notifyProperties();
    recheck();
}

// A NaN bound is ignored: it compares with nothing, so no edit could pass the range test.
void TNumIO::SetRangeLow(double value)
{
    if (std::isnan(value))
        return;
    if (value >= m_rangeHigh) {
        m_rangeLow = m_rangeHigh;
        m_rangeHigh = value;
    } else {
        m_rangeLow = value;
    }
    notifyProperties();
    recheck();
}

void TNumIO::SetRangeHigh(double value)
{
    if (std::isnan(value))
        return;
    if (value > m_rangeLow) {
        m_rangeHigh = value;
    } else {
        m_rangeHigh = m_rangeLow;
        m_rangeLow = value;
    }
    notifyProperties();
    recheck();
}

void TNumIO::SetFixPointDecPlaces(int value)
{
    m_fixPointDecPlaces = std::clamp(value, 1, 8);
    notifyProperties();
}

void TNumIO::recheck()
{
    m_lastValidText.clear();
    Change();
}

void TNumIO::SetTextQuiet(const std::string& text)
{
    // Writing an identical text notifies nothing, so the flag would stay set and swallow the next
    // edit unchecked: only a real change raises it.
    if (QString::fromStdString(text) == this->text())
        return;
    m_internalChange = true;
    SetText(text);
    // The write notifies at once and that clears the flag. Should the edit not notify (the text
    // cut by MaxLength to what it was, signals blocked), the flag must not outlive the write.
    m_internalChange = false;
}

bool TNumIO::TextToNumber(const std::string& text, double& value) const
{
    return znq::TextToNumber(
        text, value, m_inputFormat, m_decPlaceSep, SystemLocaleInfo().DecimalSeparator);
}

double TNumIO::NumericValue() const
{
    std::string text = Text();
    // An accepted text holds the separator the mode admits. Where that is the point (or either),
    // a comma is read as the point and a trailing point as ".0"; where only the comma is
    // admitted the text is read as it stands, since a point would make it invalid.
    const TSepMode mode = SepModeOf(m_decPlaceSep, SystemLocaleInfo().DecimalSeparator);
    if (mode != TSepMode::smComma) {
        if (const size_t comma = text.find(','); comma != std::string::npos)
            text[comma] = '.';
        if (!text.empty() && text.back() == '.')
            text += '0';
    }
    double value = 0;
    return TextToNumber(text, value) ? value : 0.0;
}

void TNumIO::Change()
{
    if (Designing())
        return;
    if (m_internalChange) {
        m_internalChange = false;
        return;
    }

    const std::string text = Text();
    bool replace = false;
    std::string replacement;
    int caret = SelStart();
    bool placeCaret = false;

    // The separator the field reads, and writes in its fixed-point texts.
    const TSepMode mode = SepModeOf(m_decPlaceSep, SystemLocaleInfo().DecimalSeparator);

    if (m_inputFormat == TInFormat::itFixPoint) {
        // A lost or doubled separator puts the caret where the separator of the last accepted
        // text was: just before it when it is gone, just after it when a second one came in.
        const int32_t lastPoint = separatorPos(m_lastValidText, mode, 1);
        int32_t firstPoint = separatorPos(text, mode, 1);
        const int32_t secondPoint = separatorPos(text, mode, firstPoint + 1);
        if (firstPoint == 0) {
            caret = lastPoint > 1 ? lastPoint - 1 : lastPoint;
            firstPoint = caret;
            placeCaret = true;
        }
        if (firstPoint < secondPoint || firstPoint == 0) {
            caret = lastPoint;
            placeCaret = true;
        }
        if (placeCaret)
            SetSelStart(caret);
    }

    double value = 0;
    bool ok = TextToNumber(text, value);
    auto inRange = [this](double number) {
        return (m_rangeLow <= number && number <= m_rangeHigh) || number == 0;
    };
    if (ok) {
        // The number the field will hold: the fixed-point rewrite rounds it.
        double held = value;
        if (m_inputFormat == TInFormat::itFixPoint) {
            replacement = FormatFixed(1, m_fixPointDecPlaces, value);
            // Where only the comma is read, the rewritten text must carry the comma too, or the
            // field would hold a text that it rejects itself.
            if (mode == TSepMode::smComma)
                std::replace(replacement.begin(), replacement.end(), '.', ',');
            replace = true;
            TextToNumber(replacement, held);
        }
        // Both the held number and the text as typed, which is kept as the last valid one, must
        // be in range.
        if (inRange(value) && inRange(held)) {
            m_lastValidText = text;
            TCustomEdit::Change();
            // A handler that wrote a text of its own has the last word.
            if (Text() != text)
                return;
            Q_EMIT valueChanged(held);
        } else {
            ok = false;
        }
    }
    if (!ok) {
        replacement = m_lastValidText;
        replace = true;
        caret = std::max(caret - 1, 0);
        placeCaret = true;
        if (m_beep) {
            ++m_beepCount;
            MessageBeep();
        }
    }
    if (replace) {
        const bool writes = QString::fromStdString(replacement) != this->text();
        SetTextQuiet(replacement);
        // The edit puts the caret at the end when its text is written: back to where it was, or
        // where the rules above put it.
        if (writes || placeCaret)
            SetSelStart(caret);
        if (!ok && isVisible())
            repaint();
    }
}

void TNumIO::Assign(const QObject* source)
{
    const auto* other = qobject_cast<const TNumIO*>(source);
    if (!other)
        throw EZNQError("Cannot assign a " + className(source) + " to a " + className(this));
    m_inputFormat = other->m_inputFormat;
    m_beep = other->m_beep;
    m_rangeLow = other->m_rangeLow;
    m_rangeHigh = other->m_rangeHigh;
    m_decPlaceSep = other->m_decPlaceSep;
}

void TNumIO::AssignTo(QObject* dest) const
{
    // Only a TNumIO has an Assign that understands this field; handing it to a base class would
    // come straight back here, so that is an error like any other mismatch.
    auto* field = qobject_cast<TNumIO*>(dest);
    if (field && metaObject()->inherits(dest->metaObject())) {
        field->Assign(this);
        return;
    }
    throw EZNQError("Cannot assign a " + className(this) + " to a " + className(dest));
}

} // namespace znq
