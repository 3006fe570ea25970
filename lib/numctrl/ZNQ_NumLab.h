/// \file
/// The numeric read-out label: a caption, a framed value box showing one number as text, and a
/// trailing text such as a unit, side by side from left to right.
///
/// TNumLab is a graphic control: it takes no focus and paints into its backing image. Pixel
/// positions are those of the control, x from its left edge, y from its top. The text in the value
/// box is made by NumLabText (numlab_format.h); Paint only lays out the three parts.
#pragma once

#include "ZNQ_znqbase.h"
#include "numlab_format.h"
#include "znq_accessible.h"
#include "znq_controls.h"

#include <functional>
#include <optional>
#include <string>

class QPainter;

namespace znq {

/// Lets the application rewrite the value text before it is drawn.
using TBeforeDisplayEvent = std::function<void(TObject* Sender, std::string& Text)>;

/// The numeric read-out: LeftText, a framed value box of LabelWidth pixels that shows Value as
/// text by DisplayType, and RightText. Every setter that changes a value repaints at once. Each
/// getter and setter pair is also a Qt property of the same name. A new label is 160 x 28 pixels.
class TNumLab : public TGraphicControl {
    Q_OBJECT
    friend class TNumLabSeams;
    Q_PROPERTY(znq::platform_types::TAlignment Alignment READ Alignment WRITE SetAlignment NOTIFY
            alignmentChanged)
    Q_PROPERTY(uint ColorLabBakG READ ColorLabBakG WRITE SetColorLabBakG NOTIFY colorLabBakGChanged)
    Q_PROPERTY(uint ColorLabText READ ColorLabText WRITE SetColorLabText NOTIFY colorLabTextChanged)
    Q_PROPERTY(uint ColorOutBakG READ ColorOutBakG WRITE SetColorOutBakG NOTIFY colorOutBakGChanged)
    Q_PROPERTY(uint ColorOutText READ ColorOutText WRITE SetColorOutText NOTIFY colorOutTextChanged)
    Q_PROPERTY(znq::base_types::TColorScheme ColorScheme READ ColorScheme WRITE SetColorScheme
            NOTIFY colorSchemeChanged)
    Q_PROPERTY(bool Comma READ Comma WRITE SetComma NOTIFY commaChanged)
    Q_PROPERTY(znq::numctrl_types::TDisplay DisplayType READ DisplayType WRITE SetDisplayType NOTIFY
            displayTypeChanged)
    Q_PROPERTY(QString DTFormat READ QDTFormat WRITE SetQDTFormat NOTIFY dtFormatChanged)
    Q_PROPERTY(bool Empty READ Empty WRITE SetEmpty NOTIFY emptyChanged)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY enabledChanged)
    Q_PROPERTY(
        bool ForcePlusSign READ ForcePlusSign WRITE SetForcePlusSign NOTIFY forcePlusSignChanged)
    Q_PROPERTY(znq::base_types::TFrameStyle FrameStyle READ FrameStyle WRITE SetFrameStyle NOTIFY
            frameStyleChanged)
    Q_PROPERTY(int LabelWidth READ LabelWidth WRITE SetLabelWidth NOTIFY labelWidthChanged)
    Q_PROPERTY(int LeftSpace READ LeftSpace WRITE SetLeftSpace NOTIFY leftSpaceChanged)
    Q_PROPERTY(QString LeftText READ QLeftText WRITE SetQLeftText NOTIFY leftTextChanged)
    Q_PROPERTY(znq::platform_types::TAlignment LeftTextAlignment READ LeftTextAlignment WRITE
            SetLeftTextAlignment NOTIFY leftTextAlignmentChanged)
    Q_PROPERTY(QString OverflowIndicator READ QOverflowIndicator WRITE SetQOverflowIndicator NOTIFY
            overflowIndicatorChanged)
    Q_PROPERTY(int Precision READ Precision WRITE SetPrecision NOTIFY precisionChanged)
    Q_PROPERTY(QString RightText READ QRightText WRITE SetQRightText NOTIFY rightTextChanged)
    Q_PROPERTY(znq::platform_types::TAlignment RightTextAlignment READ RightTextAlignment WRITE
            SetRightTextAlignment NOTIFY rightTextAlignmentChanged)
    Q_PROPERTY(QString StateText READ QStateText WRITE SetQStateText NOTIFY stateTextChanged)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent NOTIFY transparentChanged)
    Q_PROPERTY(double Value READ Value WRITE SetValue NOTIFY valueChanged)

public:
    /// A label of 160 x 28 pixels showing 0 as "0.00".
    explicit TNumLab(QWidget* parent = nullptr);

    /// Placement of the value text in the box; taCenter by default.
    TAlignment Alignment() const { return m_alignment; }
    /// Sets the placement of the value text; repaints on change.
    void SetAlignment(TAlignment value);
    /// Background of the value box; clBtnFace by default.
    TColor ColorLabBakG() const { return m_colorLabBakG; }
    /// Sets the background of the value box; repaints on change.
    void SetColorLabBakG(TColor value);
    /// Colour of the value text; clBlack by default.
    TColor ColorLabText() const { return m_colorLabText; }
    /// Sets the colour of the value text; repaints on change.
    void SetColorLabText(TColor value);
    /// Background outside the box; clBtnFace by default.
    TColor ColorOutBakG() const { return m_colorOutBakG; }
    /// Sets the background outside the box; repaints on change.
    void SetColorOutBakG(TColor value);
    /// Colour of LeftText and RightText; clBlack by default.
    TColor ColorOutText() const { return m_colorOutText; }
    /// Sets the colour of the side texts; repaints on change.
    void SetColorOutText(TColor value);
    /// Also stores the scheme's pair of frame colours. The frame itself is drawn in fixed colours.
    TColorScheme ColorScheme() const { return m_colorScheme; }
    /// Sets the scheme and its frame colours; repaints on change.
    void SetColorScheme(TColorScheme value);
    /// The scheme's shadow colour: clGray (csBWG) or clBtnShadow (csSystem).
    TColor FrameShadowColor() const { return m_frameShadowColor; }
    /// The scheme's highlight colour: clWhite (csBWG) or clBtnHighlight (csSystem).
    TColor FrameHighlightColor() const { return m_frameHighlightColor; }
    /// true: "," as the decimal separator, false (default): ".".
    bool Comma() const { return m_settings.Comma; }
    /// Sets the decimal separator; repaints on change.
    void SetComma(bool value);
    /// How Value is written; dtFixP by default.
    TDisplay DisplayType() const { return m_settings.DisplayType; }
    /// Sets how Value is written; repaints on change.
    void SetDisplayType(TDisplay value);
    /// The date-time pattern of dtDateTime; "mmm-dd, yyyy" by default (see FormatDateTime).
    const std::string& DTFormat() const { return m_settings.DTFormat; }
    /// Sets the date-time pattern; repaints on change.
    void SetDTFormat(const std::string& value);
    /// True: the box is drawn without any value text.
    bool Empty() const { return m_empty; }
    /// Sets Empty; repaints on change.
    void SetEmpty(bool value);
    /// Whether the label is enabled; a disabled one shows engraved side texts.
    bool Enabled() const { return TControl::Enabled(); }
    /// Passes the state on and repaints, also when it is unchanged.
    void SetEnabled(bool value);
    /// true: "+" before values above zero (not for dtHex, dtBin, dtDateTime, dtState).
    bool ForcePlusSign() const { return m_settings.ForcePlusSign; }
    /// Sets ForcePlusSign; repaints on change.
    void SetForcePlusSign(bool value);
    /// The frame of the value box; fsLowered by default.
    TFrameStyle FrameStyle() const { return m_frameStyle; }
    /// Sets the frame; repaints on change.
    void SetFrameStyle(TFrameStyle value);
    /// Width of the value box in pixels, stored as given.
    int LabelWidth() const { return m_settings.LabelWidth; }
    /// Sets the width of the value box (80 by default); repaints on change.
    void SetLabelWidth(int value);
    /// Width of the caption zone; a negative value is ignored and one above the control's width is
    /// stored as the width.
    int LeftSpace() const { return m_leftSpace; }
    /// Sets the width of the caption zone (35 by default); repaints on change.
    void SetLeftSpace(int value);
    /// The caption left of the box.
    const std::string& LeftText() const { return m_leftText; }
    /// The text the value box showed at the last paint (the overflow indicator, "INF" or the
    /// state text included), as assistive tools read it; empty before the first paint and while
    /// Empty.
    std::string ShownText() const { return m_shownText.value_or(std::string()); }
    /// Sets the caption; repaints on change.
    void SetLeftText(const std::string& value);
    /// Placement of LeftText; taRightJustify by default.
    TAlignment LeftTextAlignment() const { return m_leftTextAlignment; }
    /// Sets the placement of LeftText; repaints on change.
    void SetLeftTextAlignment(TAlignment value);
    /// Shown instead of a value out of range or too wide for the box; "*********" by default.
    const std::string& OverflowIndicator() const { return m_settings.OverflowIndicator; }
    /// Sets the overflow indicator; repaints on change.
    void SetOverflowIndicator(const std::string& value);
    /// Digits or decimals of the value text, 0..15; a negative value is ignored, one above 15 is
    /// stored as 15.
    int Precision() const { return m_settings.Precision; }
    /// Sets the precision (2 by default); repaints on change.
    void SetPrecision(int value);
    /// The text right of the box, such as a unit.
    const std::string& RightText() const { return m_rightText; }
    /// Sets the right text; repaints on change.
    void SetRightText(const std::string& value);
    /// Placement of RightText; taLeftJustify by default.
    TAlignment RightTextAlignment() const { return m_rightTextAlignment; }
    /// Sets the placement of RightText; repaints on change.
    void SetRightTextAlignment(TAlignment value);
    /// The text of dtState; "undefined" by default.
    const std::string& StateText() const { return m_settings.StateText; }
    /// Sets the text of dtState; repaints on change.
    void SetStateText(const std::string& value);
    /// Where the picture is white, the parent shows through; darker pixels darken it.
    bool Transparent() const { return m_transparent; }
    /// Sets Transparent; true waits for the next paint event, false repaints at once.
    void SetTransparent(bool value);
    /// Stored and repainted only when the new value compares unequal to the stored one, so that
    /// NaN never replaces it.
    double Value() const { return m_settings.Value; }
    /// Sets the number shown; a value whose text equals the shown one is stored without a repaint
    /// (unless OnBeforeDisplay is assigned).
    void SetValue(double value);

    /// Copies the published layout, colours, texts, value and display type of another TNumLab
    /// (not Comma, ForcePlusSign, DTFormat, Enabled, the font or the event) and repaints. Any
    /// other source raises EZNQError.
    void Assign(const QObject* source);
    /// Assigns this label to dest when this label is an instance of dest's class; otherwise raises
    /// EZNQError.
    void AssignTo(QObject* dest) const;

    /// Composes the whole control in an off-screen bitmap and copies it onto the control's canvas:
    /// by plain copy, or by AND when Transparent.
    void Paint() override;

    /// Called with the value text before each paint draws it (after the separator and the plus
    /// sign, before the fit test; not while Empty); the handler may change the text.
    TBeforeDisplayEvent OnBeforeDisplay;

Q_SIGNALS:
    /// Emitted right after OnBeforeDisplay; the text may be changed through the pointer. It comes
    /// inside a paint: a read-out changed from here is painted again once that paint is over.
    void beforeDisplay(std::string* text);

    ///@{
    /// The change signal of a property, emitted once per change of its value, right after it is
    /// stored.
    void alignmentChanged();
    void colorLabBakGChanged();
    void colorLabTextChanged();
    void colorOutBakGChanged();
    void colorOutTextChanged();
    void colorSchemeChanged();
    void commaChanged();
    void displayTypeChanged();
    void dtFormatChanged();
    void emptyChanged();
    void enabledChanged();
    void forcePlusSignChanged();
    void frameStyleChanged();
    void labelWidthChanged();
    void leftSpaceChanged();
    void leftTextChanged();
    void leftTextAlignmentChanged();
    void overflowIndicatorChanged();
    void precisionChanged();
    void rightTextChanged();
    void rightTextAlignmentChanged();
    void stateTextChanged();
    void transparentChanged();
    void valueChanged();
    ///@}

protected:
    /// A font change repaints.
    void FontChanged() override;
    /// A change of the enabled state inherited from the parent repaints at the next paint event.
    void changeEvent(QEvent* event) override;
    /// Copies the picture, combined by AND with the parent's when Transparent.
    void presentBacking(QPainter& painter) override;

private:
    // Stores value in field when it differs, then repaints.
    template <typename T> void setAndRepaint(T& field, const T& value);
    // Emits the change signal of each property whose value differs from the one last told.
    void notifyProperties();
    void drawSideText(TCanvas& canvas, const std::string& text, int x, int y, bool rightJustified);
    // The value text as the paint draws it, the display hook applied.
    std::string valueText();
    // The steps of a paint: the picture's canvas cleared to the background, the texts beside the
    // box, the box, the value in it, and the picture onto the control.
    TCanvas& preparePicture();
    void drawSideTexts(TCanvas& canvas, int32_t y);
    void drawBox(TCanvas& canvas);
    void drawValue(TCanvas& canvas, int32_t y);
    void presentPicture();

    QString QDTFormat() const { return QString::fromStdString(DTFormat()); }
    void SetQDTFormat(const QString& value) { SetDTFormat(value.toStdString()); }
    QString QLeftText() const { return QString::fromStdString(m_leftText); }
    void SetQLeftText(const QString& value) { SetLeftText(value.toStdString()); }
    QString QOverflowIndicator() const { return QString::fromStdString(OverflowIndicator()); }
    void SetQOverflowIndicator(const QString& value) { SetOverflowIndicator(value.toStdString()); }
    QString QRightText() const { return QString::fromStdString(m_rightText); }
    void SetQRightText(const QString& value) { SetRightText(value.toStdString()); }
    QString QStateText() const { return QString::fromStdString(StateText()); }
    void SetQStateText(const QString& value) { SetStateText(value.toStdString()); }

    // Value, display type, precision, texts of the formatter and the box width.
    TNumLabSettings m_settings;
    TAlignment m_alignment = TAlignment::taCenter;
    TColor m_colorLabBakG = clBtnFace;
    TColor m_colorLabText = clBlack;
    TColor m_colorOutBakG = clBtnFace;
    TColor m_colorOutText = clBlack;
    TColorScheme m_colorScheme = TColorScheme::csBWG;
    TColor m_frameShadowColor = clGray;
    TColor m_frameHighlightColor = clWhite;
    bool m_empty = false;
    TFrameStyle m_frameStyle = TFrameStyle::fsLowered;
    int m_leftSpace = 35;
    std::string m_leftText;
    TAlignment m_leftTextAlignment = TAlignment::taRightJustify;
    std::string m_rightText;
    TAlignment m_rightTextAlignment = TAlignment::taLeftJustify;
    bool m_transparent = false;
    // Paints that drew (TNumLabSeams).
    int m_paintCount = 0;
    // The value text of the last paint; none before the first paint and while Empty.
    std::optional<std::string> m_shownText;
    // The off-screen picture, kept with its canvas (and the texts that canvas laid out).
    TBitmap m_bitmap;
    // Tells assistive tools of a new value text (a child of the read-out).
    TAccessibleNotice* m_notice;
    // The values the change signals last told.
    struct Told {
        TAlignment Alignment {};
        TColor ColorLabBakG {};
        TColor ColorLabText {};
        TColor ColorOutBakG {};
        TColor ColorOutText {};
        TColorScheme ColorScheme {};
        bool Comma {};
        TDisplay DisplayType {};
        std::string DTFormat {};
        bool Empty {};
        bool Enabled {};
        bool ForcePlusSign {};
        TFrameStyle FrameStyle {};
        int LabelWidth {};
        int LeftSpace {};
        std::string LeftText {};
        TAlignment LeftTextAlignment {};
        std::string OverflowIndicator {};
        int Precision {};
        std::string RightText {};
        TAlignment RightTextAlignment {};
        std::string StateText {};
        bool Transparent {};
        double Value {};
    } m_told;
};

} // namespace znq
