/// \file
/// The numeric input field: a single-line edit that only ever holds a number in its input format,
/// or the beginning of one.
///
/// After every change of its text the field reads the text (TextToNumber, numio_parse.h) and checks
/// the value against RangeLow .. RangeHigh. An accepted text is remembered as LastValidText and
/// reported through OnChange; a rejected one is replaced by LastValidText, optionally with a beep.
/// In the fixed-point format every accepted text is rewritten with FixPointDecPlaces decimals.
/// Caret positions are 0-based, in characters.
#pragma once

#include "ZNQ_znqbase.h"
#include "numio_parse.h"
#include "znq_controls.h"

#include <string>

namespace znq {

/// The numeric input field. An accepted text is one that TextToNumber reads in InputFormat and
/// whose value lies in RangeLow .. RangeHigh or is 0. Each getter and setter pair is also a Qt
/// property of the same name.
class TNumIO : public TCustomEdit {
    Q_OBJECT
    Q_PROPERTY(znq::numio_types::TInFormat InputFormat READ InputFormat WRITE SetInputFormat NOTIFY
            inputFormatChanged)
    Q_PROPERTY(znq::base_types::TDecPSep DecPlaceSep READ DecPlaceSep WRITE SetDecPlaceSep NOTIFY
            decPlaceSepChanged)
    Q_PROPERTY(double RangeLow READ RangeLow WRITE SetRangeLow NOTIFY rangeLowChanged)
    Q_PROPERTY(double RangeHigh READ RangeHigh WRITE SetRangeHigh NOTIFY rangeHighChanged)
    Q_PROPERTY(int FixPointDecPlaces READ FixPointDecPlaces WRITE SetFixPointDecPlaces NOTIFY
            fixPointDecPlacesChanged)
    Q_PROPERTY(bool Beep READ Beep WRITE SetBeep NOTIFY beepChanged)

public:
    /// A field created by program code accepts only 0 until its range is set; in a form designer
    /// the range is the whole real line.
    explicit TNumIO(QWidget* parent = nullptr);

    /// The setters of the format, the separator and the range forget LastValidText and check the
    /// current text again, which an invalid text does not survive. itDynamic by default.
    TInFormat InputFormat() const { return m_inputFormat; }
    /// Sets the input format; see InputFormat.
    void SetInputFormat(TInFormat value);
    /// The decimal separators accepted; dsSystem by default.
    TDecPSep DecPlaceSep() const { return m_decPlaceSep; }
    /// Sets the separator choice; see InputFormat.
    void SetDecPlaceSep(TDecPSep value);
    /// A RangeLow at or above RangeHigh, or a RangeHigh at or below RangeLow, swaps the two.
    double RangeLow() const { return m_rangeLow; }
    /// Sets the lower bound (a NaN is ignored); see RangeLow and InputFormat.
    void SetRangeLow(double value);
    /// The upper bound of accepted values.
    double RangeHigh() const { return m_rangeHigh; }
    /// Sets the upper bound (a NaN is ignored); see RangeLow and InputFormat.
    void SetRangeHigh(double value);
    /// Decimals of the fixed-point format, stored limited to 1..8.
    int FixPointDecPlaces() const { return m_fixPointDecPlaces; }
    /// Sets the decimals (2 by default); the text is not rewritten until the next edit.
    void SetFixPointDecPlaces(int value);
    /// Beep on a rejected edit.
    bool Beep() const { return m_beep; }
    /// Sets Beep (false by default).
    void SetBeep(bool value)
    {
        m_beep = value;
        notifyProperties();
    }

    /// The last text that was accepted, as it was typed.
    const std::string& LastValidText() const { return m_lastValidText; }
    /// True only while the field writes its own text: that change is not checked again.
    bool InternalChange() const { return m_internalChange; }
    /// Writes the text without checking it. Nothing happens when it equals the current text.
    void SetTextQuiet(const std::string& text);

    /// Reads text in the field's format and separator mode.
    bool TextToNumber(const std::string& text, double& value) const;
    /// The number in the field, 0 when the text is not one. A trailing decimal separator counts as
    /// ".0"; with the point accepted, a comma is read as the point.
    double NumericValue() const;

    /// Copies InputFormat, Beep, RangeLow, RangeHigh and DecPlaceSep of another TNumIO as they
    /// are, without checking the text. Any other source raises EZNQError.
    void Assign(const QObject* source);
    /// Assigns this field to dest when this field is an instance of dest's class; otherwise raises
    /// EZNQError.
    void AssignTo(QObject* dest) const;

    /// Number of beeps sounded for rejected edits, for tests.
    int BeepCount() const { return m_beepCount; }

Q_SIGNALS:
    /// An accepted text, with the number the field holds for it; emitted right after OnChange
    /// (and changed()), unless the handler wrote a text of its own.
    void valueChanged(double value);

    ///@{
    /// The change signal of a property, emitted once per change of its value.
    void inputFormatChanged();
    void decPlaceSepChanged();
    void rangeLowChanged();
    void rangeHighChanged();
    void fixPointDecPlacesChanged();
    void beepChanged();
    ///@}

protected:
    /// Checks the text after every change; fires OnChange only for an accepted text.
    void Change() override;

private:
    // Forgets LastValidText and checks the current text again.
    void recheck();
    // Emits the change signal of each property whose value differs from the one last told.
    void notifyProperties();

    TInFormat m_inputFormat = TInFormat::itDynamic;
    TDecPSep m_decPlaceSep = TDecPSep::dsSystem;
    double m_rangeLow = 0;
    double m_rangeHigh = 0;
    int m_fixPointDecPlaces = 2;
    bool m_beep = false;
    std::string m_lastValidText;
    bool m_internalChange = false;
    int m_beepCount = 0;
    // The values the change signals last told.
    struct Told {
        TInFormat InputFormat {};
        TDecPSep DecPlaceSep {};
        double RangeLow {};
        double RangeHigh {};
        int FixPointDecPlaces {};
        bool Beep {};
    } m_told;
};

} // namespace znq
