#pragma once
// What the map pages need from the configuration window's live strip: where
// the markers stand, the live values a learned point is made of, and control
// over the live timer and the marker computation.

#include <QColor>
#include <QPoint>
#include <QString>

namespace vapora {

class LiveMapSource {
public:
    virtual ~LiveMapSource() = default;

    // Marker points in pixels of DrawGridMap / DrawGridMapBenz, and their colour.
    virtual QPoint GasMarker() const = 0;
    virtual QPoint PetrolMarker() const = 0;
    virtual QColor MarkerColour() const = 0;

    // The petrol marker's cell (column 0..11, row 0..11).
    virtual int PetrolColumn() const = 0;
    virtual int PetrolRow() const = 0;
    virtual int EngineSpeed() const = 0;             // rpm
    virtual double SecondManifoldVolts() const = 0;  // V
    virtual double PetrolInjectionMs() const = 0;    // ms
    virtual bool RunningOnGas() const = 0;           // flags 2 bit 3 of the last slow read

    // Modal tools and long write sequences run with the live timer stopped.
    virtual void StopLiveTimer() = 0;
    virtual void StartLiveTimer() = 0;
    // The next tick recomputes the marker even if speed and load stand still.
    virtual void ForceMarkerRefresh() = 0;
    // After the breakpoints may have changed.
    virtual void RecomputeMidpoints() = 0;

    // Start folder of the learned-point file dialogs.
    virtual QString AcquisitionsFolder() const = 0;
};

} // namespace vapora
