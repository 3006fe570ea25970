/// \file
/// A text label of the polar chart. Included by ZNQ_polchart.h.
#pragma once

#include "polchart_types.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>

namespace znq {

/// A text label: a caption anchored at a polar position (AttachToData) or at a fixed pixel of the
/// chart image; the anchor is at the bottom edge of the text block. Every property write notifies
/// OnChange, also when the value is unchanged; changing the label's font object directly does not.
/// The chart owns twenty of them; each getter and setter pair is also a Qt property of the same
/// name.
class TpcTextLabel : public QObject {
    Q_OBJECT
    Q_PROPERTY(double PosRad READ PosRad WRITE SetPosRad NOTIFY posRadChanged)
    Q_PROPERTY(double PosPhi READ PosPhi WRITE SetPosPhi NOTIFY posPhiChanged)
    Q_PROPERTY(int ShadowDx READ ShadowDx WRITE SetShadowDx NOTIFY shadowDxChanged)
    Q_PROPERTY(int ShadowDy READ ShadowDy WRITE SetShadowDy NOTIFY shadowDyChanged)
    Q_PROPERTY(uint ColorShadow READ ColorShadow WRITE SetColorShadow NOTIFY colorShadowChanged)
    Q_PROPERTY(znq::platform_types::TAlignment Alignment READ Alignment WRITE SetAlignment NOTIFY
            alignmentChanged)
    Q_PROPERTY(bool AttachToData READ AttachToData WRITE SetAttachToData NOTIFY attachToDataChanged)
    Q_PROPERTY(uint ColorBkg READ ColorBkg WRITE SetColorBkg NOTIFY colorBkgChanged)
    Q_PROPERTY(uint ColorBorder READ ColorBorder WRITE SetColorBorder NOTIFY colorBorderChanged)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent NOTIFY transparentChanged)
    Q_PROPERTY(QString Caption READ QCaption WRITE SetQCaption NOTIFY captionChanged)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible NOTIFY visibleChanged)
    Q_PROPERTY(znq::base_types::TTxtLblMode Mode READ Mode WRITE SetMode NOTIFY modeChanged)

public:
    /// A free label (tlOff) with the defaults: anchored at (0, 0) to the data, centred, white box,
    /// black border, grey shadow 3 pixels down and right.
    explicit TpcTextLabel(QObject* parent = nullptr);

    /// With AttachToData: the anchor's radial position; without: its x in chart-image pixels.
    double PosRad() const { return m_posRad; }
    /// Sets PosRad and notifies.
    void SetPosRad(double value);
    /// With AttachToData: the anchor's angle; without: its y in chart-image pixels.
    double PosPhi() const { return m_posPhi; }
    /// Sets PosPhi and notifies.
    void SetPosPhi(double value);
    /// Horizontal offset of the shadow box in pixels (tlShadow).
    int32_t ShadowDx() const { return m_shadowDx; }
    /// Sets ShadowDx and notifies.
    void SetShadowDx(int32_t value);
    /// Vertical offset of the shadow box in pixels (tlShadow).
    int32_t ShadowDy() const { return m_shadowDy; }
    /// Sets ShadowDy and notifies.
    void SetShadowDy(int32_t value);
    /// Colour of the shadow box.
    TColor ColorShadow() const { return m_colorShadow; }
    /// Sets ColorShadow and notifies.
    void SetColorShadow(TColor value);
    /// Placement against the anchor: taLeftJustify starts the text there, taRightJustify ends it
    /// there, taCenter centres it on it.
    TAlignment Alignment() const { return m_alignment; }
    /// Sets Alignment and notifies.
    void SetAlignment(TAlignment value);
    /// true: the anchor is a polar position and moves with pan and zoom; false: a fixed pixel,
    /// PosRad and PosPhi rounded half to even.
    bool AttachToData() const { return m_attachToData; }
    /// Sets AttachToData (the position is not converted) and notifies.
    void SetAttachToData(bool value);
    /// Colour of the box behind the caption.
    TColor ColorBkg() const { return m_colorBkg; }
    /// Sets ColorBkg and notifies.
    void SetColorBkg(TColor value);
    /// Colour of the border (tlBox, tlShadow) and of the underline (tlUnderline).
    TColor ColorBorder() const { return m_colorBorder; }
    /// Sets ColorBorder and notifies.
    void SetColorBorder(TColor value);
    /// true: no box behind the caption in tlsimple and tlUnderline, an unfilled box in tlBox;
    /// tlShadow fills its boxes all the same.
    bool Transparent() const { return m_transparent; }
    /// Sets Transparent and notifies.
    void SetTransparent(bool value);
    /// The label's own font, a copy of the chart's Font when the chart was created.
    TFont& Font() { return *m_font; }
    /// The label's own font.
    const TFont& Font() const { return *m_font; }
    /// Copies the attributes of font into the label's own font, then notifies.
    void SetFont(const TFont& font);
    /// The text; a line feed starts a new line.
    const std::string& Caption() const { return m_caption; }
    /// Sets the text and notifies.
    void SetCaption(const std::string& value);
    /// Stored and notified only: drawing and the mouse do not ask it; tlOff hides a label.
    bool Visible() const { return m_visible; }
    /// Sets Visible and notifies.
    void SetVisible(bool value);
    /// The look; tlOff: not drawn, and the slot is free for AddTextLabel.
    TTxtLblMode Mode() const { return m_mode; }
    /// Sets the look and notifies.
    void SetMode(TTxtLblMode value);

    /// Fires after every property write; the chart's handler repaints it.
    TNotifyEvent OnChange;

Q_SIGNALS:
    ///@{
    /// The change signal of a property, emitted once per change of its value (before OnChange),
    /// also when a drag moves the label or AddTextLabel fills its slot.
    void posRadChanged();
    void posPhiChanged();
    void shadowDxChanged();
    void shadowDyChanged();
    void colorShadowChanged();
    void alignmentChanged();
    void attachToDataChanged();
    void colorBkgChanged();
    void colorBorderChanged();
    void transparentChanged();
    void captionChanged();
    void visibleChanged();
    void modeChanged();
    ///@}

private:
    friend class TCustomPolChart;
    friend class TpcChartRooms;
    friend class TpcNavigator;
    // Writes the position without OnChange (its change signals come), for the chart's mouse
    // dragging.
    void movePositionSilently(double rad, double phi);
    void changed();
    // Emits the change signal of each property whose value differs from the one last told.
    void notifyProperties();
    // Stores the value and notifies, also when it is unchanged.
    template <typename T> void store(T& field, T value);
    QString QCaption() const { return QString::fromStdString(m_caption); }
    void SetQCaption(const QString& value) { SetCaption(value.toStdString()); }

    double m_posRad = 0;
    double m_posPhi = 0;
    int32_t m_shadowDx = 3;
    int32_t m_shadowDy = 3;
    TColor m_colorShadow = clGray;
    TAlignment m_alignment = TAlignment::taCenter;
    bool m_attachToData = true;
    TColor m_colorBkg = clWhite;
    TColor m_colorBorder = clBlack;
    bool m_transparent = false;
    std::unique_ptr<TFont> m_font;
    std::string m_caption;
    bool m_visible = true;
    TTxtLblMode m_mode = TTxtLblMode::tlOff;
    // The chart that owns the object, as its objects see it; none when it was made without one.
    TpcChartLink* m_link = nullptr;
    // The values the change signals last told.
    struct Told {
        double PosRad = 0;
        double PosPhi = 0;
        int32_t ShadowDx = 3;
        int32_t ShadowDy = 3;
        TColor ColorShadow = clGray;
        TAlignment Alignment = TAlignment::taCenter;
        bool AttachToData = true;
        TColor ColorBkg = clWhite;
        TColor ColorBorder = clBlack;
        bool Transparent = false;
        std::string Caption = {};
        bool Visible = true;
        TTxtLblMode Mode = TTxtLblMode::tlOff;
    } m_told;
};

} // namespace znq
