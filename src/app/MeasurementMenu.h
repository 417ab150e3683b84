#pragma once

#include "spectrum/TimeSeries.h"

#include <QObject>
#include <QString>

#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class TForm1;
class TMeasurement;
class TTimeSeriesWindow;

// The operator's measurement choices, two submenus of the window's menu:
//
//   Sensor      the preset layouts, Custom...
//   Measure     Scope, Scope Minus Dark, Transmittance, Absorbance;
//               Take Reference, Smoothing..., Mark Saturation, Automatic Exposure,
//               Exposure Limits...; Hold Spectrum, Open Overlay...,
//               Clear Overlays, Save Processed Spectrum... (CSV or JCAMP-DX); Track...,
//               Save Time Series...
//
// Nothing changes until the operator chooses one of them.
class TMeasurementMenu : public QObject {
    Q_OBJECT
public:
    explicit TMeasurementMenu(TForm1& form);

    TMeasurement& Measurement() const { return *measurement_; }
    TTimeSeriesWindow* SeriesWindow() const { return seriesWindow_; }

    // The two submenus and a separator, put into the window's menu before
    // `before`.
    void AddTo(QMenu* menu, QAction* before) const;

    QActionGroup* SensorActions;
    QAction* CustomSensorAction;
    QActionGroup* ModeActions;
    QAction* TakeReferenceAction;
    QAction* SmoothingAction;
    QAction* MarkSaturationAction;
    QAction* AutoExposureAction;
    QAction* ExposureLimitsAction;
    QAction* HoldAction;
    QAction* OpenOverlayAction;
    QAction* ClearOverlaysAction;
    QAction* SaveProcessedAction;
    QAction* TrackAction;
    QAction* SaveSeriesAction;

    // "243:4 402": centres with optional widths, one to four; raises an
    // Exception for anything else.
    static std::vector<TBand> ParseBands(const QString& text);
    // Starts tracking and shows the strip chart.
    void Track(const std::vector<TBand>& bands);

private:
    void CreateActions();
    void ChooseCustomSensor();
    void ChooseSmoothing();
    void ChooseExposureLimits();
    void ChooseBands();
    void OpenOverlay();
    QString AskForSaveFile(const QString& title, const QString& stem, const QString& filters);
    // The checks follow the layout and mode in force, however they came.
    void SyncChecks() const;

    TForm1& form_;
    TMeasurement* measurement_;
    TTimeSeriesWindow* seriesWindow_ = nullptr;
    QString lastDirectory_;
};
