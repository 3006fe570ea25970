// The polar chart component: data given as radial value and angle, drawn on a circular grid with
// scales, crosshairs and text labels, explored with the mouse.
//
// TCustomPolChart holds all state and behaviour; TPolChart publishes it. Pixel coordinates are
// those of the control (x right, y down); polar positions are in the chart's radial units and its
// angle unit (degrees while UseDegrees is true, radians otherwise).
#pragma once

#include "ZNQ_znqbase.h"
#include "polchart_mouse.h"
#include "polchart_store.h"
#include "polchart_transform.h"
#include "znq_controls.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace znq {

// The chart's enumerations, readable and writable by identifier through Qt's meta-object system.
namespace polchart_types {
    Q_NAMESPACE

    enum class TpcGridStyleRad : uint8_t {
        gsRadNone,
        gsRadOuterDots,
        gsRadOuterSolid,
        gsRadBothDots,
        gsRadBothSolid,
        gsRadBothMixed
    };
    Q_ENUM_NS(TpcGridStyleRad)

    enum class TpcGridStyleAng : uint8_t { gsAngNone, gsAngDots, gsAngSolid };
    Q_ENUM_NS(TpcGridStyleAng)

    enum class TpcTextBkg : uint8_t { tbClear, tbSolid };
    Q_ENUM_NS(TpcTextBkg)

    enum class TpcScaleKind : uint8_t { sckRad, sckPhi };
    Q_ENUM_NS(TpcScaleKind)

    enum class TpcRotationDir : uint8_t { rdClockwise, rdCounterCW };
    Q_ENUM_NS(TpcRotationDir)

    enum class TpcAngLabelMode : uint8_t {
        almNone,
        almDegrees,
        almRadians,
        almMultiPi,
        almSymmDeg,
        almSymmRad,
        almSymmMultiPi
    };
    Q_ENUM_NS(TpcAngLabelMode)

    enum class TpcRadLabelMode : uint8_t { rlmNone, rlmVertLeft, rlmVertCenter, rlmVertRight };
    Q_ENUM_NS(TpcRadLabelMode)

    enum class TpcCrossHMode : uint8_t { chOff, chOrtho, chPolar };
    Q_ENUM_NS(TpcCrossHMode)
} // namespace polchart_types

using polchart_types::TpcAngLabelMode;
using polchart_types::TpcCrossHMode;
using polchart_types::TpcGridStyleAng;
using polchart_types::TpcGridStyleRad;
using polchart_types::TpcRadLabelMode;
using polchart_types::TpcRotationDir;
using polchart_types::TpcScaleKind;
using polchart_types::TpcTextBkg;

class TpcCrossHair;
class TpcTextLabel;

using TpcMouseMoveInChartEvent
    = std::function<void(TObject* Sender, bool InChart, TShiftState Shift, double rad, double phi)>;
using TpcBeforeDrawScaleLabelEvent = std::function<void(TObject* Sender, TCanvas& Canvas,
    TpcScaleKind ScaleType, std::string& CurrentTickLabel, int ChartX, int ChartY)>;
using TpcRenderEvent = std::function<void(TObject* Sender, TCanvas& Canvas, int Top, int Left)>;
using TpcCrossHairMoveEvent = std::function<void(TObject* Sender, TpcCrossHair* WhichCrossHair)>;
using TpcTextLabelMoveEvent = std::function<void(TObject* Sender, TpcTextLabel* WhichTextLabel)>;

// A crosshair: two lines marking one polar position, horizontal and vertical (chOrtho) or a ray
// and a circle about the centre (chPolar). Every property write notifies OnChange, also when the
// value is unchanged.
class TpcCrossHair : public QObject {
    Q_OBJECT
    Q_PROPERTY(double PosRad READ PosRad WRITE SetPosRad)
    Q_PROPERTY(double PosPhi READ PosPhi WRITE SetPosPhi)
    Q_PROPERTY(uint Color READ Color WRITE SetColor)
    Q_PROPERTY(znq::polchart_types::TpcCrossHMode Mode READ Mode WRITE SetMode)
    Q_PROPERTY(znq::platform_types::TPenStyle LineType READ LineType WRITE SetLineType)
    Q_PROPERTY(int LineWid READ LineWid WRITE SetLineWid)

public:
    explicit TpcCrossHair(QObject* parent = nullptr);

    double PosRad() const { return m_posRad; }
    void SetPosRad(double value);
    double PosPhi() const { return m_posPhi; }
    void SetPosPhi(double value);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    TpcCrossHMode Mode() const { return m_mode; }
    void SetMode(TpcCrossHMode value);
    TPenStyle LineType() const { return m_lineType; }
    void SetLineType(TPenStyle value);
    int32_t LineWid() const { return m_lineWid; }
    void SetLineWid(int32_t value);
    // Both coordinates with a single notification.
    void SetPosition(double rad, double phi);

    // Writes the position without notifying, for the chart's mouse dragging.
    void MovePositionSilently(double rad, double phi);
    // Copies the six published values from source without notifying.
    void CopyValuesFrom(const TpcCrossHair& source);

    TNotifyEvent OnChange;

private:
    void changed();
    // Stores the value and notifies, also when it is unchanged.
    template <typename T> void store(T& field, T value);

    double m_posRad = 0;
    double m_posPhi = 0;
    TColor m_color = clBlack;
    TpcCrossHMode m_mode = TpcCrossHMode::chOff;
    TPenStyle m_lineType = TPenStyle::psSolid;
    int32_t m_lineWid = 1;
};

// A text label: a caption anchored at a polar position (AttachToData) or at a fixed pixel of the
// chart image; the anchor is at the bottom edge of the text block. Every property write notifies
// OnChange, also when the value is unchanged; changing the label's font object directly does not.
class TpcTextLabel : public QObject {
    Q_OBJECT
    Q_PROPERTY(double PosRad READ PosRad WRITE SetPosRad)
    Q_PROPERTY(double PosPhi READ PosPhi WRITE SetPosPhi)
    Q_PROPERTY(int ShadowDx READ ShadowDx WRITE SetShadowDx)
    Q_PROPERTY(int ShadowDy READ ShadowDy WRITE SetShadowDy)
    Q_PROPERTY(uint ColorShadow READ ColorShadow WRITE SetColorShadow)
    Q_PROPERTY(znq::platform_types::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool AttachToData READ AttachToData WRITE SetAttachToData)
    Q_PROPERTY(uint ColorBkg READ ColorBkg WRITE SetColorBkg)
    Q_PROPERTY(uint ColorBorder READ ColorBorder WRITE SetColorBorder)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(QString Caption READ QCaption WRITE SetQCaption)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(znq::base_types::TTxtLblMode Mode READ Mode WRITE SetMode)

public:
    explicit TpcTextLabel(QObject* parent = nullptr);

    double PosRad() const { return m_posRad; }
    void SetPosRad(double value);
    double PosPhi() const { return m_posPhi; }
    void SetPosPhi(double value);
    int32_t ShadowDx() const { return m_shadowDx; }
    void SetShadowDx(int32_t value);
    int32_t ShadowDy() const { return m_shadowDy; }
    void SetShadowDy(int32_t value);
    TColor ColorShadow() const { return m_colorShadow; }
    void SetColorShadow(TColor value);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    bool AttachToData() const { return m_attachToData; }
    void SetAttachToData(bool value);
    TColor ColorBkg() const { return m_colorBkg; }
    void SetColorBkg(TColor value);
    TColor ColorBorder() const { return m_colorBorder; }
    void SetColorBorder(TColor value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);
    TFont& Font() { return *m_font; }
    const TFont& Font() const { return *m_font; }
    // Copies the attributes of font into the label's own font, then notifies.
    void SetFont(const TFont& font);
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& value);
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    TTxtLblMode Mode() const { return m_mode; }
    void SetMode(TTxtLblMode value);

    // Writes the position without notifying, for the chart's mouse dragging.
    void MovePositionSilently(double rad, double phi);

    TNotifyEvent OnChange;

private:
    friend class TCustomPolChart;
    void changed();
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
};

// The chart with all its state. Setters clamp, snap or store, then apply the redraw rule: they
// repaint at once when AutoRedraw is true or the chart is being designed.
class TCustomPolChart : public TCustomControl {
    Q_OBJECT
    // The published properties that the mouse changes too, with their change signals; the others
    // are published by TPolChart.
    Q_PROPERTY(double AngleOffset READ AngleOffset WRITE SetAngleOffset NOTIFY angleOffsetChanged)
    Q_PROPERTY(int CenterX READ CenterX WRITE SetCenterX NOTIFY centerXChanged)
    Q_PROPERTY(int CenterY READ CenterY WRITE SetCenterY NOTIFY centerYChanged)
    Q_PROPERTY(double RangeLow READ RangeLow WRITE SetRangeLow NOTIFY rangeLowChanged)
    Q_PROPERTY(double RangeHigh READ RangeHigh WRITE SetRangeHigh NOTIFY rangeHighChanged)
    Q_PROPERTY(double MagFactor READ MagFactor WRITE SetMagFactor NOTIFY magFactorChanged)

public:
    static constexpr int CrossHairCount = 4;
    static constexpr int TextLabelCount = 20;
    // The angles between rays that the chart draws, in degrees.
    static constexpr std::array<double, 17> RayAngles
        = { 6, 7.5, 9, 10, 12, 15, 18, 20, 22.5, 30, 36, 45, 60, 90, 120, 180, 360 };

    explicit TCustomPolChart(QWidget* parent = nullptr);
    ~TCustomPolChart() override;

    // Properties.
    int32_t AllocSize() const { return m_store.AllocSize(); }
    void SetAllocSize(int32_t value);
    double AngleOffset() const { return m_angleOffset; }
    void SetAngleOffset(double value);
    bool AutoRedraw() const { return m_autoRedraw; }
    void SetAutoRedraw(bool value) { m_autoRedraw = value; }
    bool AutoCenter() const { return m_autoCenter; }
    void SetAutoCenter(bool value);
    int32_t CenterX() const { return m_centerX; }
    void SetCenterX(int32_t value);
    int32_t CenterY() const { return m_centerY; }
    void SetCenterY(int32_t value);
    uint8_t ClassDefault() const { return m_classDefault; }
    void SetClassDefault(uint8_t value);
    int32_t DecPlaceRad() const { return m_decPlaceRad; }
    void SetDecPlaceRad(int32_t value);
    int32_t DecPlacePhi() const { return m_decPlacePhi; }
    void SetDecPlacePhi(int32_t value);
    TColor GridColor() const { return m_gridColor; }
    void SetGridColor(TColor value);
    TpcGridStyleAng GridStyleAngular() const { return m_gridStyleAngular; }
    void SetGridStyleAngular(TpcGridStyleAng value);
    TpcGridStyleRad GridStyleRadial() const { return m_gridStyleRadial; }
    void SetGridStyleRadial(TpcGridStyleRad value);
    TColor DataColor() const { return m_dataColor; }
    void SetDataColor(TColor value) { storeQuietly(m_dataColor, value); }
    TPenStyle PenStyle() const { return m_penStyle; }
    void SetPenStyle(TPenStyle value) { storeQuietly(m_penStyle, value); }
    TColor ScaleColor() const { return m_scaleColor; }
    void SetScaleColor(TColor value);
    TColor FillColor() const { return m_fillColor; }
    void SetFillColor(TColor value) { storeQuietly(m_fillColor, value); }
    TColor ChartColor() const { return m_chartColor; }
    void SetChartColor(TColor value);
    uint8_t LineWidth() const { return m_lineWidth; }
    void SetLineWidth(uint8_t value) { storeQuietly(m_lineWidth, value); }
    TpcAngLabelMode LabelModeAngular() const { return m_labelModeAngular; }
    void SetLabelModeAngular(TpcAngLabelMode value);
    TpcRadLabelMode LabelModeRadial() const { return m_labelModeRadial; }
    void SetLabelModeRadial(TpcRadLabelMode value);
    TpcCrossHair* CrossHair1() const { return CrossHair(1); }
    TpcCrossHair* CrossHair2() const { return CrossHair(2); }
    TpcCrossHair* CrossHair3() const { return CrossHair(3); }
    TpcCrossHair* CrossHair4() const { return CrossHair(4); }
    // Copies the six published values of source into the chart's own crosshair, then applies the
    // redraw rule; the chart keeps its own object. A null source changes nothing.
    void SetCrossHair1(TpcCrossHair* source) { assignCrossHair(1, source); }
    void SetCrossHair2(TpcCrossHair* source) { assignCrossHair(2, source); }
    void SetCrossHair3(TpcCrossHair* source) { assignCrossHair(3, source); }
    void SetCrossHair4(TpcCrossHair* source) { assignCrossHair(4, source); }
    double RangeLow() const { return m_rangeLow; }
    void SetRangeLow(double value);
    double RangeHigh() const { return m_rangeHigh; }
    void SetRangeHigh(double value);
    double AngleBtwRays() const { return m_angleBtwRays; }
    void SetAngleBtwRays(double value);
    double MagFactor() const { return m_magFactor; }
    void SetMagFactor(double value);
    TMouseActMode MouseAction() const { return m_mouseAction; }
    void SetMouseAction(TMouseActMode value) { m_mouseAction = value; }
    TpcRotationDir RotationDir() const;
    void SetRotationDir(TpcRotationDir value);
    int32_t ShadowWidth() const { return m_shadowWidth; }
    void SetShadowWidth(int32_t value);
    TShadowStyle ShadowStyle() const { return m_shadowStyle; }
    void SetShadowStyle(TShadowStyle value);
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor value);
    TColor ShadowBakColor() const { return m_shadowBakColor; }
    void SetShadowBakColor(TColor value);
    TFontStyles TextFontStyle() const { return m_textFontStyle; }
    void SetTextFontStyle(TFontStyles value);
    TpcTextBkg TextBkStyle() const { return m_textBkStyle; }
    void SetTextBkStyle(TpcTextBkg value);
    TColor TextBkColor() const { return m_textBkColor; }
    void SetTextBkColor(TColor value);
    TAlignment TextAlignment() const { return m_textAlignment; }
    void SetTextAlignment(TAlignment value);
    bool UseDegrees() const { return m_angleUnit != 1.0; }
    void SetUseDegrees(bool value);

    // Derived state.
    double AngleUnit() const { return m_angleUnit; }
    int32_t RotationSign() const { return m_rotationSign; }
    long double ScaleX() const { return m_scaleX; }
    long double ScaleY() const { return m_scaleY; }
    bool PaintingSuspended() const { return m_paintingSuspended; }
    // Setting it to false when it was true paints the chart in full.
    void SetPaintingSuspended(bool value);

    // The data store.
    void MoveTo(double rad, double phi);
    void DrawTo(double rad, double phi);
    void Clear();
    // Paints now if the chart is visible, whatever AutoRedraw says.
    void Redraw();
    int32_t ElementCount() const { return m_store.Count(); }
    int32_t ElementCapacity() const { return m_store.Capacity(); }
    // Raises EZNQPolChartError for an index outside 0 .. ElementCount - 1.
    const TpcDataElement& Element(int32_t index) const;
    const TpcDataStore& Store() const { return m_store; }
    // Whether elements of a class (0 .. 255) are drawn; all are after construction.
    bool ClassVisible(uint8_t elemClass) const { return m_classVisible[elemClass]; }
    void SetClassVisible(uint8_t elemClass, bool visible);

    // Crosshairs 1 .. 4 and text labels 1 .. 20. Raises EZNQPolChartError for an index outside
    // 1 .. 4.
    TpcCrossHair* CrossHair(int index) const;
    // Raises EZNQPolChartError for an index outside 1 .. 20.
    TpcTextLabel* TextLabel(int index) const;
    // Fills the first free label slot (mode tlOff) and returns its index, or 0 when all twenty are
    // in use. The style comes from label Template (1 .. 20) or, for any other Template, from the
    // built-in style. Sends no notification and does not repaint.
    int AddTextLabel(
        TColor color, const std::string& caption, double rad, double phi, int templateIndex);

    // The transform.
    virtual void UpdateScaling();
    void CenterChart();
    TPoint PolarToPixel(double rad, double phi) const;
    TpcPolarPoint PixelToPolar(int32_t x, int32_t y) const;
    TpcTransform Transform() const;

    void Loaded() override;
    // The full repaint: the picture is composed in the off-screen bitmaps and copied onto the
    // control's canvas once.
    void Paint() override;
    // Shows the crosshairs again over the chart image of the last full paint, which is rendered
    // anew only when something it shows may have changed since. Crosshair changes paint this way,
    // so they do not call OnDataRendered or OnBeforeDrawScaleLabel. Counts as a paint.
    void PaintCrossHairs();
    // How often Paint or PaintCrossHairs got past their gates: a seam for checking the redraw
    // rule.
    int PaintCount() const { return m_paintCount; }

    // The whole picture without the crosshairs and the zoom box, composed anew: the shadow with the
    // chart image of the last paint on it.
    QImage FrameImage() const;
    // The chart image: one pixel wider and higher than the area inside the shadow.
    const TBitmap& ChartBitmap() const { return m_chartBitmap; }
    TBitmap& ChartBitmap() { return m_chartBitmap; }
    // The radius of the outer circle in pixels: round(min(W - SW, H - SW) * MagFactor / 2).
    int32_t OuterRadius() const;
    // The chart as the Sender of its events.
    TObject* EventSender() const { return const_cast<TCustomPolChart*>(this); }
    // The state of the mouse gestures: the drag in progress and the zoom box.
    const TpcMouseGesture& MouseGesture() const { return m_gesture; }

    TpcMouseMoveInChartEvent OnMouseMoveInChart;
    TZoomPanEvent OnZoomPan;
    TpcBeforeDrawScaleLabelEvent OnBeforeDrawScaleLabel;
    TpcRenderEvent OnDataRendered;
    TpcCrossHairMoveEvent OnCrossHairMove;
    TpcTextLabelMoveEvent OnTextLabelMove;

    // For the grid painter: OnBeforeDrawScaleLabel, then scaleLabelDrawing.
    void offerScaleLabel(TCanvas& canvas, TpcScaleKind kind, std::string& text, int32_t x,
        int32_t y) const;

Q_SIGNALS:
    // The events, each emitted right after its handler. Those of the rendering (dataRendered,
    // scaleLabelDrawing) come inside a paint: a chart changed from them is painted again once
    // that paint is over, never inside it.
    void zoomPanned();
    void mouseMovedInChart(bool inChart, Qt::KeyboardModifiers modifiers, double rad, double phi);
    // Crosshairs 1 to 4, text labels 1 to 20, as CrossHair() and TextLabel() count them.
    void crossHairMoved(int index);
    void textLabelMoved(int index);
    void dataRendered(znq::TCanvas* canvas, int top, int left);
    // The label text may be changed through the pointer; an empty text draws no label.
    void scaleLabelDrawing(znq::TCanvas* canvas, znq::polchart_types::TpcScaleKind kind,
        std::string* text, int chartX, int chartY);
    // The properties that the mouse changes too, whoever changes them.
    void magFactorChanged(double value);
    void centerXChanged(int value);
    void centerYChanged(int value);
    void angleOffsetChanged(double value);
    void rangeLowChanged(double value);
    void rangeHighChanged(double value);

protected:
    // The standard mouse events fire first; then the chart pans, zooms or drags by MouseAction.
    // Every move ends with the pointer report OnMouseMoveInChart.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

    // The steps of Paint.
    void DrawShadow(TCanvas& canvas) const;
    void PrepareChartBitmap(TBitmap& bitmap) const;
    void RenderChart(TCanvas& canvas) const;
    // The shadow and the chart image onto target.
    void composeFrame(TCanvas& target) const;
    void DrawCrossHairs(TCanvas& target) const;
    // The frame with the crosshairs onto the control, and the zoom box over them.
    void showFrame();
    // Emits the change signals of the notifying properties that differ from the last signalled.
    void notifyViewChanges();
    int32_t chartImageWidth() const;
    int32_t chartImageHeight() const;
    bool canPaint() const;

    // The redraw rule: Paint when AutoRedraw is true or the chart is being designed.
    void redrawIfAuto();
    void rescaleAndRedraw();
    template <typename T> void storeAndRedraw(T& field, T value);
    void ChartObjectChanged(TObject* sender);
    // Something the chart image shows may have changed: the next paint renders it again.
    void chartChanged() { m_chartImageCurrent = false; }
    // Stores without repainting, for the settings that only the next paint shows.
    template <typename T> void storeQuietly(T& field, T value)
    {
        field = value;
        chartChanged();
    }
    void ChartFontChanged(TObject* sender);
    void ChartResized(TObject* sender);
    void assignCrossHair(int index, TpcCrossHair* source);
    void append(TpcElemKind kind, double rad, double phi);

    // The gestures.
    void dragMove(TShiftState shift, int32_t x, int32_t y);
    void dragStep(int32_t x, int32_t y);
    int32_t pickCrossHair(int32_t x, int32_t y) const;
    int32_t pickTextLabel(int32_t x, int32_t y) const;
    void zoomBoxMove(int32_t x, int32_t y);
    void zoomBoxRelease(TMouseButton button);
    void zoomToBox();
    // The zoom box outline from the anchor to corner, drawn with the XOR pen on the control's
    // canvas: drawing it twice restores the picture.
    void drawZoomBox(TPoint corner);
    void reportPointer(TShiftState shift, int32_t x, int32_t y);

    bool m_paintingSuspended = true;
    std::array<bool, 256> m_classVisible {};
    TpcAngLabelMode m_labelModeAngular = TpcAngLabelMode::almDegrees;
    TpcRadLabelMode m_labelModeRadial = TpcRadLabelMode::rlmVertCenter;
    int32_t m_centerX = 120;
    int32_t m_centerY = 80;
    bool m_autoCenter = true;
    double m_magFactor = 1.0;
    double m_rangeLow = 0.0;
    double m_rangeHigh = 1.0;
    int32_t m_rotationSign = 1;
    double m_angleBtwRays = 30.0;
    double m_angleOffset = 0.0;
    double m_angleUnit = 0.017453292519943295;
    TBitmap m_chartBitmap;
    TColor m_gridColor = clBlack;
    int32_t m_shadowWidth = 0;
    TShadowStyle m_shadowStyle = TShadowStyle::ssFlying;
    TColor m_shadowColor = clGrayText;
    TColor m_shadowBakColor = clBtnFace;
    TpcGridStyleRad m_gridStyleRadial = TpcGridStyleRad::gsRadBothDots;
    TpcGridStyleAng m_gridStyleAngular = TpcGridStyleAng::gsAngDots;
    TMouseActMode m_mouseAction = TMouseActMode::maNone;
    TColor m_dataColor = clBlack;
    TColor m_scaleColor = clBlack;
    TColor m_fillColor = clSilver;
    TColor m_chartColor = clWhite;
    TPenStyle m_penStyle = TPenStyle::psSolid;
    uint8_t m_lineWidth = 1;
    uint8_t m_classDefault = 0;
    int32_t m_decPlaceRad = 2;
    int32_t m_decPlacePhi = 2;
    long double m_scaleX = 0;
    long double m_scaleY = 0;
    long double m_originX = 0;
    long double m_originY = 0;
    std::array<TpcCrossHair*, CrossHairCount> m_crossHairs {};
    std::array<TpcTextLabel*, TextLabelCount> m_textLabels {};
    bool m_autoRedraw = true;
    TFontStyles m_textFontStyle;
    TpcTextBkg m_textBkStyle = TpcTextBkg::tbClear;
    TColor m_textBkColor = clWhite;
    TAlignment m_textAlignment = TAlignment::taCenter;
    TpcDataStore m_store;
    TpcMouseGesture m_gesture;
    int m_paintCount = 0;
    // Inside Paint; a paint asked for meanwhile follows from the event loop.
    bool m_painting = false;
    bool m_paintAgain = false;
    // The values of the notifying properties as last signalled.
    struct NotifiedView {
        double MagFactor, AngleOffset, RangeLow, RangeHigh;
        int32_t CenterX, CenterY;
    };
    NotifiedView m_notified {};
    // The frame holds the chart image of the present state (without crosshairs).
    bool m_chartImageCurrent = false;
};

// Reduces a fraction to lowest terms, each value keeping its sign; nothing changes when either is
// 0.
void ReduceFraction(int32_t& numerator, int32_t& denominator);

// The text of the angle label of ray i of rayCount, rays angleBtwRays degrees apart. In the
// multiple-of-pi modes the letter p stands for pi (drawn in the "Symbol" font).
std::string AngleLabelText(
    TpcAngLabelMode mode, int i, int rayCount, double angleBtwRays, int decPlacePhi);

// The chart as placed on a form: every property published.
class TPolChart : public TCustomPolChart {
    Q_OBJECT
    Q_PROPERTY(int AllocSize READ AllocSize WRITE SetAllocSize)
    Q_PROPERTY(bool AutoRedraw READ AutoRedraw WRITE SetAutoRedraw)
    Q_PROPERTY(bool AutoCenter READ AutoCenter WRITE SetAutoCenter)
    Q_PROPERTY(quint8 ClassDefault READ ClassDefault WRITE SetClassDefault)
    Q_PROPERTY(int DecPlaceRad READ DecPlaceRad WRITE SetDecPlaceRad)
    Q_PROPERTY(int DecPlacePhi READ DecPlacePhi WRITE SetDecPlacePhi)
    Q_PROPERTY(uint GridColor READ GridColor WRITE SetGridColor)
    Q_PROPERTY(znq::polchart_types::TpcGridStyleAng GridStyleAngular READ GridStyleAngular WRITE
            SetGridStyleAngular)
    Q_PROPERTY(znq::polchart_types::TpcGridStyleRad GridStyleRadial READ GridStyleRadial WRITE
            SetGridStyleRadial)
    Q_PROPERTY(uint DataColor READ DataColor WRITE SetDataColor)
    Q_PROPERTY(znq::platform_types::TPenStyle PenStyle READ PenStyle WRITE SetPenStyle)
    Q_PROPERTY(uint ScaleColor READ ScaleColor WRITE SetScaleColor)
    Q_PROPERTY(uint FillColor READ FillColor WRITE SetFillColor)
    Q_PROPERTY(uint ChartColor READ ChartColor WRITE SetChartColor)
    Q_PROPERTY(quint8 LineWidth READ LineWidth WRITE SetLineWidth)
    Q_PROPERTY(znq::polchart_types::TpcAngLabelMode LabelModeAngular READ LabelModeAngular WRITE
            SetLabelModeAngular)
    Q_PROPERTY(znq::polchart_types::TpcRadLabelMode LabelModeRadial READ LabelModeRadial WRITE
            SetLabelModeRadial)
    Q_PROPERTY(znq::TpcCrossHair* CrossHair1 READ CrossHair1 WRITE SetCrossHair1)
    Q_PROPERTY(znq::TpcCrossHair* CrossHair2 READ CrossHair2 WRITE SetCrossHair2)
    Q_PROPERTY(znq::TpcCrossHair* CrossHair3 READ CrossHair3 WRITE SetCrossHair3)
    Q_PROPERTY(znq::TpcCrossHair* CrossHair4 READ CrossHair4 WRITE SetCrossHair4)
    Q_PROPERTY(double AngleBtwRays READ AngleBtwRays WRITE SetAngleBtwRays)
    Q_PROPERTY(znq::base_types::TMouseActMode MouseAction READ MouseAction WRITE SetMouseAction)
    Q_PROPERTY(
        znq::polchart_types::TpcRotationDir RotationDir READ RotationDir WRITE SetRotationDir)
    Q_PROPERTY(int ShadowWidth READ ShadowWidth WRITE SetShadowWidth)
    Q_PROPERTY(znq::base_types::TShadowStyle ShadowStyle READ ShadowStyle WRITE SetShadowStyle)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(uint ShadowBakColor READ ShadowBakColor WRITE SetShadowBakColor)
    Q_PROPERTY(
        znq::platform_types::TFontStyles TextFontStyle READ TextFontStyle WRITE SetTextFontStyle)
    Q_PROPERTY(znq::polchart_types::TpcTextBkg TextBkStyle READ TextBkStyle WRITE SetTextBkStyle)
    Q_PROPERTY(uint TextBkColor READ TextBkColor WRITE SetTextBkColor)
    Q_PROPERTY(
        znq::platform_types::TAlignment TextAlignment READ TextAlignment WRITE SetTextAlignment)
    Q_PROPERTY(bool UseDegrees READ UseDegrees WRITE SetUseDegrees)

public:
    explicit TPolChart(QWidget* parent = nullptr);

protected:
    // The window exists now: painting becomes possible.
    void CreateWnd() override;
};

} // namespace znq
