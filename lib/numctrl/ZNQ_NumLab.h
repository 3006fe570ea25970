// The numeric read-out label: a caption, a framed value box showing one number as text, and a
// trailing text such as a unit, side by side from left to right.
//
// TNumLab is a graphic control: it takes no focus and paints into its backing image. Pixel
// positions are those of the control, x from its left edge, y from its top. The text in the value
// box is made by NumLabText (numlab_format.h); Paint only lays out the three parts.
#pragma once

#include "ZNQ_znqbase.h"
#include "numlab_format.h"
#include "znq_controls.h"

#include <functional>
#include <optional>
#include <string>

class QPainter;

namespace znq {

// Lets the application rewrite the value text before it is drawn.
using TBeforeDisplayEvent = std::function<void(TObject* Sender, std::string& Text)>;

class TNumLab : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(znq::platform_types::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(uint ColorLabBakG READ ColorLabBakG WRITE SetColorLabBakG)
    Q_PROPERTY(uint ColorLabText READ ColorLabText WRITE SetColorLabText)
    Q_PROPERTY(uint ColorOutBakG READ ColorOutBakG WRITE SetColorOutBakG)
    Q_PROPERTY(uint ColorOutText READ ColorOutText WRITE SetColorOutText)
    Q_PROPERTY(znq::base_types::TColorScheme ColorScheme READ ColorScheme WRITE SetColorScheme)
    Q_PROPERTY(bool Comma READ Comma WRITE SetComma)
    Q_PROPERTY(znq::numctrl_types::TDisplay DisplayType READ DisplayType WRITE SetDisplayType)
    Q_PROPERTY(QString DTFormat READ QDTFormat WRITE SetQDTFormat)
    Q_PROPERTY(bool Empty READ Empty WRITE SetEmpty)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool ForcePlusSign READ ForcePlusSign WRITE SetForcePlusSign)
    Q_PROPERTY(znq::base_types::TFrameStyle FrameStyle READ FrameStyle WRITE SetFrameStyle)
    Q_PROPERTY(int LabelWidth READ LabelWidth WRITE SetLabelWidth)
    Q_PROPERTY(int LeftSpace READ LeftSpace WRITE SetLeftSpace)
    Q_PROPERTY(QString LeftText READ QLeftText WRITE SetQLeftText)
    Q_PROPERTY(znq::platform_types::TAlignment LeftTextAlignment READ LeftTextAlignment WRITE
            SetLeftTextAlignment)
    Q_PROPERTY(QString OverflowIndicator READ QOverflowIndicator WRITE SetQOverflowIndicator)
    Q_PROPERTY(int Precision READ Precision WRITE SetPrecision)
    Q_PROPERTY(QString RightText READ QRightText WRITE SetQRightText)
    Q_PROPERTY(znq::platform_types::TAlignment RightTextAlignment READ RightTextAlignment WRITE
            SetRightTextAlignment)
    Q_PROPERTY(QString StateText READ QStateText WRITE SetQStateText)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(double Value READ Value WRITE SetValue)

public:
    explicit TNumLab(QWidget* parent = nullptr);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    TColor ColorLabBakG() const { return m_colorLabBakG; }
    void SetColorLabBakG(TColor value);
    TColor ColorLabText() const { return m_colorLabText; }
    void SetColorLabText(TColor value);
    TColor ColorOutBakG() const { return m_colorOutBakG; }
    void SetColorOutBakG(TColor value);
    TColor ColorOutText() const { return m_colorOutText; }
    void SetColorOutText(TColor value);
    // Also stores the scheme's pair of frame colours. The frame itself is drawn in fixed colours.
    TColorScheme ColorScheme() const { return m_colorScheme; }
    void SetColorScheme(TColorScheme value);
    TColor FrameShadowColor() const { return m_frameShadowColor; }
    TColor FrameHighlightColor() const { return m_frameHighlightColor; }
    bool Comma() const { return m_settings.Comma; }
    void SetComma(bool value);
    TDisplay DisplayType() const { return m_settings.DisplayType; }
    void SetDisplayType(TDisplay value);
    const std::string& DTFormat() const { return m_settings.DTFormat; }
    void SetDTFormat(const std::string& value);
    // True: the box is drawn without any value text.
    bool Empty() const { return m_empty; }
    void SetEmpty(bool value);
    bool Enabled() const { return TControl::Enabled(); }
    // Passes the state on and repaints, also when it is unchanged.
    void SetEnabled(bool value);
    bool ForcePlusSign() const { return m_settings.ForcePlusSign; }
    void SetForcePlusSign(bool value);
    TFrameStyle FrameStyle() const { return m_frameStyle; }
    void SetFrameStyle(TFrameStyle value);
    // Width of the value box in pixels, stored as given.
    int LabelWidth() const { return m_settings.LabelWidth; }
    void SetLabelWidth(int value);
    // Width of the caption zone; a negative value is ignored and one above the control's width is
    // stored as the width.
    int LeftSpace() const { return m_leftSpace; }
    void SetLeftSpace(int value);
    const std::string& LeftText() const { return m_leftText; }
    void SetLeftText(const std::string& value);
    TAlignment LeftTextAlignment() const { return m_leftTextAlignment; }
    void SetLeftTextAlignment(TAlignment value);
    const std::string& OverflowIndicator() const { return m_settings.OverflowIndicator; }
    void SetOverflowIndicator(const std::string& value);
    // Digits or decimals of the value text, 0..15; a negative value is ignored, one above 15 is
    // stored as 15.
    int Precision() const { return m_settings.Precision; }
    void SetPrecision(int value);
    const std::string& RightText() const { return m_rightText; }
    void SetRightText(const std::string& value);
    TAlignment RightTextAlignment() const { return m_rightTextAlignment; }
    void SetRightTextAlignment(TAlignment value);
    const std::string& StateText() const { return m_settings.StateText; }
    void SetStateText(const std::string& value);
    // Where the picture is white, the parent shows through; darker pixels darken it.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);
    // Stored and repainted only when the new value compares unequal to the stored one, so that
    // NaN never replaces it.
    double Value() const { return m_settings.Value; }
    void SetValue(double value);

    // Copies the published layout, colours, texts, value and display type of another TNumLab
    // (not Comma, ForcePlusSign, DTFormat, Enabled, the font or the event) and repaints. Any
    // other source raises EZNQError.
    void Assign(const QObject* source);
    // Assigns this label to dest when this label is an instance of dest's class; otherwise raises
    // EZNQError.
    void AssignTo(QObject* dest) const;

    // Composes the whole control in an off-screen bitmap and copies it onto the control's canvas:
    // by plain copy, or by AND when Transparent.
    void Paint() override;

    // Number of Paint calls that drew, for tests.
    int PaintCount() const { return m_paintCount; }

    TBeforeDisplayEvent OnBeforeDisplay;

Q_SIGNALS:
    // Emitted right after OnBeforeDisplay; the text may be changed through the pointer. It comes
    // inside a paint: a read-out changed from here is painted again once that paint is over.
    void beforeDisplay(std::string* text);

protected:
    void FontChanged() override;
    void changeEvent(QEvent* event) override;
    void presentBacking(QPainter& painter) override;

private:
    // Stores value in field when it differs, then repaints.
    template <typename T> void setAndRepaint(T& field, const T& value);
    void drawSideText(TCanvas& canvas, const std::string& text, int x, int y, bool rightJustified);
    // The value text as the paint draws it, the display hook applied.
    std::string valueText();

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
    int m_paintCount = 0;
    // Inside Paint; a paint asked for meanwhile follows from the event loop.
    bool m_painting = false;
    bool m_paintAgain = false;
    // The value text of the last paint; none before the first paint and while Empty.
    std::optional<std::string> m_shownText;
    // The off-screen picture, kept with its canvas (and the texts that canvas laid out).
    TBitmap m_bitmap;
};

} // namespace znq
