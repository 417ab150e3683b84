#pragma once

#include "app/FrameLayout.h"
#include "spectrum/AutoExposure.h"
#include "spectrum/OverlayFile.h"
#include "spectrum/SpectrumProcessing.h"
#include "spectrum/TimeSeries.h"

#include <QObject>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class TForm1;

// The operator's measurements on the window's frames: the sensor layout,
// the processing mode, smoothing, automatic exposure, overlays and tracked
// bands. With none of them chosen the window plots as it always did and
// this stays out of the way; once one is, it draws the curve instead:
// the processed spectrum with gaps where it has no value, full-scale
// readings marked, then the overlays.
class TMeasurement : public QObject {
    Q_OBJECT
public:
    // Where each port's layout is kept, under the current user's root.
    static constexpr const char* LayoutKey = "Software\\Vorel\\Mirelda\\Sensor";
    static constexpr std::uint32_t SaturationColor = 0x0000FF; // red
    // Colours of overlays, in turn.
    static const std::vector<std::uint32_t> OverlayColors;

    struct TShownOverlay {
        std::string Name;
        TOverlay Overlay;
    };

    explicit TMeasurement(TForm1& form);

    // Whether anything differs from the window as it was built.
    bool Active() const;
    // Draws the decoded frame when Active and steers the exposure; false
    // (nothing done) otherwise.
    bool PlotFrame();

    const TFrameLayout& Layout() const;
    // Sets decoder, averaging and graph to the layout and keeps it for the
    // port; an invalid one raises an Exception and changes nothing.
    void SetLayout(const TFrameLayout& layout);

    TProcessingMode Mode() const { return processor_.Mode(); }
    // Also sets the y axis title and range the mode is drawn in.
    void SetMode(TProcessingMode mode);
    void SetSmoothing(int width);
    int Smoothing() const { return processor_.Smoothing(); }
    void TakeReference();
    bool HasReference() const { return processor_.HasReference(); }

    // Full-scale readings marked on the curve even with nothing else chosen.
    bool MarkSaturation() const { return markSaturation_; }
    void SetMarkSaturation(bool on) { markSaturation_ = on; }

    TAutoExposure& AutoExposure() { return autoExposure_; }
    bool AutoExposureOn() const { return autoExposureOn_; }
    void SetAutoExposureOn(bool on);

    // The curve as processed from the last frame.
    const TProcessedSpectrum& Processed() const { return processed_; }
    // The x unit of the curve: "pixel" until a calibration gives "nm".
    // The graph's x: nm once the wavelength calibration is applied.
    std::string XUnit() const;

    void HoldSpectrum();
    // Reads a spectrum file as a further curve; a file that cannot be read
    // raises an Exception and changes nothing.
    void OpenOverlay(const QString& path);
    void ClearOverlays();
    const std::vector<TShownOverlay>& Overlays() const { return overlays_; }
    // CSV, or JCAMP-DX for a name ending in .jdx or .dx.
    void SaveProcessedSpectrum(const QString& path) const;

    TTimeSeries& Series() { return series_; }
    // Starts tracking the bands (none: stops), from an empty history.
    void Track(const std::vector<TBand>& bands);
    bool Tracking() const { return !series_.Bands().empty(); }
    void SaveTimeSeries(const QString& path) const;

    // What the status read-out adds: the mode's missing frame, saturation
    // or low signal.
    std::vector<std::string> StatusLines() const;

signals:
    // A frame went into the time series.
    void SeriesGrew();

private:
    void LoadLayoutForPort();
    void StoreLayout(const TFrameLayout& layout);
    void Redraw();
    void AddCurve(const std::vector<TSpectrumPoint>& points, const std::string& name, std::uint32_t color,
                  const std::vector<int>& marked, bool live = false);
    // The processed points at the x the graph plots them.
    std::vector<TSpectrumPoint> PointsOnAxis() const;
    void SteerExposure();

    TForm1& form_;
    TSpectrumProcessor processor_;
    TAutoExposure autoExposure_;
    bool autoExposureOn_ = false;
    bool markSaturation_ = false;
    TProcessedSpectrum processed_;
    std::vector<TShownOverlay> overlays_;
    TTimeSeries series_;
    std::string layoutPort_;
    bool plotted_ = false;
};
