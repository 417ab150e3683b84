#include "app/Measurement.h"

#include "app/AcquisitionMonitor.h"
#include "app/CalibrationMenu.h"
#include "app/ComMainForm.h"
#include "app/ExportFiles.h"
#include "app/OperatorMenu.h"
#include "common/Exception.h"
#include "common/IntegerConversion.h"
#include "graph/Graph.h"
#include "serial/CPort.h"
#include "serial/posix/Registry.h"
#include "spectrum/SensorLayout.h"
#include "spectrum/SpectrumErrors.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const std::string CurveName = "Sinus";
constexpr TColor CurveColor = 65280; // pure green, as the window's curve
// Larger files are no spectrum of ours.
constexpr qint64 MaxOverlayBytes = 64 << 20;

double Seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

[[noreturn]] void RaiseFileError(const QString& path, const QString& reason)
{
    throw Exception(QStringLiteral("Cannot read \"%1\": %2").arg(path, reason).toLatin1().toStdString());
}

} // namespace

const std::vector<std::uint32_t> TMeasurement::OverlayColors{0x00FFFF, 0xFF00FF, 0xFFFF00, 0xFFFFFF, 0x0080FF, 0xFF8080};

TMeasurement::TMeasurement(TForm1& form) : QObject(&form), form_(form)
{
    // A port keeps its own sensor: its layout comes back when it opens.
    TComPort& port = *form_.ComPort;
    port.OnAfterOpen = [this, opened = std::move(port.OnAfterOpen)](TCustomComPort* sender) {
        opened(sender);
        LoadLayoutForPort();
    };
}

bool TMeasurement::Active() const
{
    return Layout() != TFrameLayout{} || Mode() != TProcessingMode::Scope || Smoothing() > 0 || autoExposureOn_
           || markSaturation_ || !overlays_.empty() || Tracking();
}

const TFrameLayout& TMeasurement::Layout() const
{
    return form_.Decoder().Layout();
}

bool TMeasurement::PlotFrame()
{
    if (!Active()) {
        // Back to the window as built: its one curve in place of ours, and
        // nothing of ours in the read-out.
        if (plotted_) {
            while (form_.XYGraph1->CurveCount() > 0)
                form_.XYGraph1->DeleteCurve(0);
            processed_ = {};
            form_.OperatorMenu().Monitor().Status().SetMeasurementLines({});
            plotted_ = false;
        }
        return false;
    }
    processor_.Process(form_.Decoder(), form_.Averaging(), processed_);
    Redraw();
    form_.OperatorMenu().Monitor().Status().SetMeasurementLines(StatusLines());
    if (Tracking()) {
        series_.Add(Seconds(), processed_.Points);
        emit SeriesGrew();
    }
    SteerExposure();
    return true;
}

void TMeasurement::Redraw()
{
    TXYGraph& graph = *form_.XYGraph1;
    while (graph.CurveCount() > 0)
        graph.DeleteCurve(0);
    AddCurve(processed_.Points, CurveName, CurveColor, processed_.SaturatedPixels, true);
    for (std::size_t i = 0; i < overlays_.size(); ++i)
        AddCurve(overlays_[i].Overlay.Points, overlays_[i].Name, OverlayColors[i % OverlayColors.size()], {});
    graph.Paint();
    plotted_ = true;
}

// A curve of the graph for each run of present points, so a gap stays
// empty; the marked pixels get a cross. The live curve's pixels go where the
// wavelength calibration puts them; an overlay keeps the x it was saved with.
void TMeasurement::AddCurve(const std::vector<TSpectrumPoint>& points, const std::string& name, std::uint32_t color,
                            const std::vector<int>& marked, bool live)
{
    TXYGraph& graph = *form_.XYGraph1;
    std::vector<TCurvePoint> run;
    double runFirst = 0;
    double runLast = 0;
    auto mark = marked.begin();
    for (std::size_t i = 0; i <= points.size(); ++i) {
        if (i < points.size() && points[i].Present) {
            if (run.empty())
                runFirst = points[i].X;
            runLast = points[i].X;
            const double x = live ? form_.CalibrationMenu().PlotX(int(points[i].X)) : points[i].X;
            run.push_back({x, points[i].Y});
            continue;
        }
        if (run.empty())
            continue;
        const int curve = graph.AddCurve(name, color, 1, psSolid, true);
        graph.AddPoints(curve, run.data(), run.size());
        for (; mark != marked.end() && *mark <= runLast; ++mark)
            if (*mark >= runFirst)
                graph.AddMarker(curve, int(*mark - runFirst), mkCross, SaturationColor);
        run.clear();
    }
}

std::string TMeasurement::XUnit() const
{
    return form_.CalibrationMenu().Axis().Calibration() ? "nm" : "pixel";
}

std::vector<TSpectrumPoint> TMeasurement::PointsOnAxis() const
{
    std::vector<TSpectrumPoint> points = processed_.Points;
    for (TSpectrumPoint& point : points)
        point.X = form_.CalibrationMenu().PlotX(int(point.X));
    return points;
}

void TMeasurement::SteerExposure()
{
    if (!autoExposureOn_)
        return;
    const int exposure = StrToIntLenient(QByteArrayView(form_.Edit_Data->text().toLatin1()));
    const int next = autoExposure_.Next(exposure, processed_.Peak, Layout().FullScale);
    if (next == exposure)
        return;
    form_.Edit_Data->setText(QString::number(next));
    // Frames of another exposure would spoil the average.
    form_.Averaging().Clear();
}

void TMeasurement::SetAutoExposureOn(bool on)
{
    autoExposureOn_ = on;
    autoExposure_.Restart();
}

void TMeasurement::SetLayout(const TFrameLayout& layout)
{
    form_.Decoder().SetLayout(layout);
    form_.Averaging().SetLayout(layout);
    processor_.ClearReference();
    series_.Clear();
    TXYGraph& graph = *form_.XYGraph1;
    graph.BeginLoading();
    graph.XAxis().SetMax(layout.LastReading());
    graph.YAxis().SetMax(TSpectrumProcessor::YRange(Mode(), layout).second);
    graph.Loaded();
    StoreLayout(layout);
}

void TMeasurement::LoadLayoutForPort()
{
    const std::string port = form_.ComPort->Port();
    if (port == layoutPort_)
        return;
    layoutPort_ = port;
    // A store that cannot be read, or a layout spoilt in it, is no reason
    // to refuse the port: it keeps the built-in layout.
    TFrameLayout layout;
    try {
        TRegistry store;
        if (store.OpenKey(LayoutKey)) {
            const std::string text = store.ReadString(port);
            if (!text.empty())
                layout = ParseSensorLayout(text);
        }
    } catch (const Exception&) {
    }
    if (layout != Layout())
        SetLayout(layout);
}

void TMeasurement::StoreLayout(const TFrameLayout& layout)
{
    layoutPort_ = form_.ComPort->Port();
    TRegistry store;
    if (!store.OpenKey(LayoutKey))
        return;
    store.WriteString(layoutPort_, SensorLayoutText(layout));
    store.CloseKey();
}

void TMeasurement::SetMode(TProcessingMode mode)
{
    processor_.SetMode(mode);
    const auto [low, high] = TSpectrumProcessor::YRange(mode, Layout());
    TXYGraph& graph = *form_.XYGraph1;
    graph.BeginLoading();
    graph.YAxis().SetTitle(ModeInfo(mode).AxisTitle);
    graph.YAxis().SetMin(low);
    graph.YAxis().SetMax(high);
    graph.YAxis().SetDecimals(mode == TProcessingMode::Absorbance ? 2 : 0);
    graph.Loaded();
    // What the mode lacks is said at once, not at the next frame.
    if (!processor_.HasReference() && ModeInfo(mode).NeedsReference)
        form_.OperatorMenu().Monitor().SetReadOutShown(true);
}

void TMeasurement::SetSmoothing(int width)
{
    processor_.SetSmoothing(width);
}

void TMeasurement::TakeReference()
{
    processor_.TakeReference(form_.Averaging(), Layout());
}

void TMeasurement::HoldSpectrum()
{
    if (!form_.Averaging().HasFrame())
        throw Exception("There is no spectrum to hold yet");
    if (!plotted_)
        processor_.Process(form_.Decoder(), form_.Averaging(), processed_);
    if (processed_.Points.empty())
        throw Exception("There is no curve to hold: " + processed_.Missing);
    TOverlay held;
    held.Points = PointsOnAxis();
    held.XUnit = XUnit();
    overlays_.push_back({"Held " + std::to_string(overlays_.size() + 1), held});
    Redraw();
}

void TMeasurement::OpenOverlay(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        RaiseFileError(path, file.errorString());
    if (file.size() > MaxOverlayBytes)
        RaiseFileError(path, QStringLiteral("it is too large for a spectrum"));
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        RaiseFileError(path, file.errorString());
    TOverlay overlay = ParseOverlay(std::string_view(text.constData(), std::size_t(text.size())));
    if (overlay.XUnit != XUnit())
        throw Exception("The overlay's x axis is in " + overlay.XUnit + ", the graph's in " + XUnit());
    overlays_.push_back({QFileInfo(path).fileName().toLatin1().toStdString(), std::move(overlay)});
    if (form_.Averaging().HasFrame()) {
        if (!plotted_)
            processor_.Process(form_.Decoder(), form_.Averaging(), processed_);
        Redraw();
    }
}

void TMeasurement::ClearOverlays()
{
    overlays_.clear();
    if (plotted_)
        Redraw();
}

void TMeasurement::SaveProcessedSpectrum(const QString& path) const
{
    if (processed_.Points.empty())
        throw Exception("There is no processed spectrum to save yet");
    const bool jcamp = path.endsWith(QStringLiteral(".jdx"), Qt::CaseInsensitive)
                       || path.endsWith(QStringLiteral(".dx"), Qt::CaseInsensitive);
    const std::vector<TSpectrumPoint> points = PointsOnAxis();
    const std::string text = jcamp ? ProcessedSpectrumJcamp(points, Mode(), XUnit())
                                   : ProcessedSpectrumCsv(points, Mode(), XUnit());
    WriteWholeFile(path, QByteArray::fromStdString(text));
}

void TMeasurement::Track(const std::vector<TBand>& bands)
{
    series_.SetBands(bands);
}

void TMeasurement::SaveTimeSeries(const QString& path) const
{
    WriteWholeFile(path, QByteArray::fromStdString(series_.Csv()));
}

std::vector<std::string> TMeasurement::StatusLines() const
{
    std::vector<std::string> lines;
    if (Mode() != TProcessingMode::Scope)
        lines.push_back(std::string("Mode: ") + ModeInfo(Mode()).Name);
    if (!processed_.Missing.empty())
        lines.push_back(processed_.Missing);
    if (!processed_.SignalText.empty())
        lines.push_back(processed_.SignalText);
    return lines;
}
