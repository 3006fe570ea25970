/// \file
/// A crosshair of the polar chart. Included by ZNQ_polchart.h.
#pragma once

#include "polchart_types.h"

#include <QObject>

#include <cstdint>

namespace znq {

/// A crosshair: two lines marking one polar position, horizontal and vertical (chOrtho) or a ray
/// and a circle about the centre (chPolar). Every property write notifies OnChange, also when the
/// value is unchanged. The chart owns four of them; each getter and setter pair is also a Qt
/// property of the same name.
class TpcCrossHair : public QObject {
    Q_OBJECT
    Q_PROPERTY(double PosRad READ PosRad WRITE SetPosRad NOTIFY posRadChanged)
    Q_PROPERTY(double PosPhi READ PosPhi WRITE SetPosPhi NOTIFY posPhiChanged)
    Q_PROPERTY(uint Color READ Color WRITE SetColor NOTIFY colorChanged)
    Q_PROPERTY(znq::polchart_types::TpcCrossHMode Mode READ Mode WRITE SetMode NOTIFY modeChanged)
    Q_PROPERTY(znq::platform_types::TPenStyle LineType READ LineType WRITE SetLineType NOTIFY
            lineTypeChanged)
    Q_PROPERTY(int LineWid READ LineWid WRITE SetLineWid NOTIFY lineWidChanged)
    Q_PROPERTY(bool SnapToData READ SnapToData WRITE SetSnapToData NOTIFY snapToDataChanged)

public:
    /// A hidden (chOff) black, solid, 1-pixel crosshair at (0, 0).
    explicit TpcCrossHair(QObject* parent = nullptr);

    /// Radial position, in the chart's radial units.
    double PosRad() const { return m_posRad; }
    /// Sets the radial position and notifies.
    void SetPosRad(double value);
    /// Angular position, in the chart's angle unit.
    double PosPhi() const { return m_posPhi; }
    /// Sets the angular position and notifies.
    void SetPosPhi(double value);
    /// Colour of the lines.
    TColor Color() const { return m_color; }
    /// Sets the colour and notifies.
    void SetColor(TColor value);
    /// The form: chOff, chOrtho or chPolar.
    TpcCrossHMode Mode() const { return m_mode; }
    /// Sets the form and notifies.
    void SetMode(TpcCrossHMode value);
    /// Pen style of the lines.
    TPenStyle LineType() const { return m_lineType; }
    /// Sets the pen style and notifies.
    void SetLineType(TPenStyle value);
    /// Pen width of the lines in pixels.
    int32_t LineWid() const { return m_lineWid; }
    /// Sets the pen width and notifies.
    void SetLineWid(int32_t value);
    /// Both coordinates with a single notification. While SnapToData is true the crosshair goes
    /// to the drawn element nearest to (rad, phi) instead.
    void SetPosition(double rad, double phi);
    /// Whether SetPosition and the crosshair drag place the crosshair on the drawn element whose
    /// pixel is nearest (false by default).
    bool SnapToData() const { return m_snapToData; }
    /// Sets SnapToData and notifies; turning it on moves the crosshair onto the element nearest to
    /// its position.
    void SetSnapToData(bool value);
    /// The element the crosshair was last placed on by snapping; -1 when it was placed otherwise
    /// or no element is drawn.
    int32_t SnappedIndex() const { return m_snappedIndex; }

    /// Fires after every property write; the chart's handler shows the crosshairs again.
    TNotifyEvent OnChange;

Q_SIGNALS:
    ///@{
    /// The change signal of a property, emitted once per change of its value (before OnChange),
    /// also when a drag or snapping moves the crosshair.
    void posRadChanged();
    void posPhiChanged();
    void colorChanged();
    void modeChanged();
    void lineTypeChanged();
    void lineWidChanged();
    void snapToDataChanged();
    ///@}

private:
    friend class TCustomPolChart;
    friend class TpcChartRooms;
    friend class TpcNavigator;
    // Writes the position without OnChange (its change signals come), for the chart's mouse
    // dragging.
    void movePositionSilently(double rad, double phi);
    // Places the crosshair on the element nearest to the pixel (with SnapToData) without
    // OnChange; false when SnapToData is off or nothing is drawn.
    bool snapSilentlyToPixel(TPoint pixel);
    // Copies the published values from source without OnChange (their change signals come).
    void copyValuesFrom(const TpcCrossHair& source);
    void changed();
    // Emits the change signal of each property whose value differs from the one last told.
    void notifyProperties();
    // Stores the value and notifies, also when it is unchanged.
    template <typename T> void store(T& field, T value);
    // Goes to the element with that index (-1: stays where it is), as snapping does.
    void placeOn(int32_t index);

    double m_posRad = 0;
    double m_posPhi = 0;
    TColor m_color = clBlack;
    TpcCrossHMode m_mode = TpcCrossHMode::chOff;
    TPenStyle m_lineType = TPenStyle::psSolid;
    int32_t m_lineWid = 1;
    bool m_snapToData = false;
    int32_t m_snappedIndex = -1;
    // The chart that owns the crosshair, which finds the elements; none for a free crosshair.
    TpcChartLink* m_link = nullptr;
    // The values the change signals last told.
    struct Told {
        double PosRad = 0, PosPhi = 0;
        TColor Color = clBlack;
        TpcCrossHMode Mode = TpcCrossHMode::chOff;
        TPenStyle LineType = TPenStyle::psSolid;
        int32_t LineWid = 1;
        bool SnapToData = false;
    } m_told;
};

} // namespace znq
