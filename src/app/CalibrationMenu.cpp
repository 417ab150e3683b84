#include "app/CalibrationMenu.h"

#include "app/CalibrationDialog.h"
#include "app/CalibrationStore.h"
#include "app/ComMainForm.h"
#include "common/Application.h"
#include "common/Exception.h"
#include "common/WholeFile.h"
#include "graph/Graph.h"
#include "serial/CPort.h"
#include "spectrum/CalibrationText.h"
#include "spectrum/PeakFinder.h"
#include "spectrum/SpectrumErrors.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

namespace {

constexpr TColor LabelColor = 0x00FFFF; // yellow on the black graph

// A calibration the window can use: wavelengths that rise or fall steadily
// and stay positive over the plotted pixels.
bool Usable(const TWavelengthCalibration& calibration)
{
    constexpr int first = TCalibratedAxis::FirstPixel;
    constexpr int last = TCalibratedAxis::LastPixel;
    return calibration.IsMonotonic(first, last) && calibration.Wavelength(first) > 0
           && calibration.Wavelength(last) > 0;
}

[[noreturn]] void RaiseFileError(const QString& verb, const QString& path, const QString& reason)
{
    throw Exception(QStringLiteral("Cannot %1 \"%2\": %3").arg(verb, path, reason).toLatin1().toStdString());
}

} // namespace

TCalibrationMenu::TCalibrationMenu(TForm1& form) : QObject(&form), form_(form), axis_(*form.XYGraph1)
{
    CreateActions();
    LoadForPort();
}

void TCalibrationMenu::CreateActions()
{
    // Queued, like the window's clicks: an error reaches the application's
    // handler outside the menu's own event handling.
    const auto action = [this](const QString& text, auto handler) {
        auto* created = new QAction(text, &form_);
        form_.addAction(created);
        connect(created, &QAction::triggered, this, handler, Qt::QueuedConnection);
        return created;
    };
    CalibrateAction = action(QStringLiteral("Calibrate Wavelength..."), [this] { ShowDialog(); });
    ClearAction = action(QStringLiteral("Clear Calibration"), [this] { ClearCalibration(); });
    ExportAction = action(QStringLiteral("Export Calibration..."), [this] {
        if (const QString path = AskForFile(true); !path.isEmpty())
            ExportCalibrationTo(path);
    });
    ImportAction = action(QStringLiteral("Import Calibration..."), [this] {
        if (const QString path = AskForFile(false); !path.isEmpty())
            ImportCalibrationFrom(path);
    });
    LabelPeaksAction = action(QStringLiteral("Label Peaks"), [this] { SetLabelPeaks(LabelPeaksAction->isChecked()); });
    LabelPeaksAction->setCheckable(true);
    ClearAction->setEnabled(false);
    ExportAction->setEnabled(false);
}

QList<QAction*> TCalibrationMenu::Actions() const
{
    return {CalibrateAction, ClearAction, ExportAction, ImportAction, LabelPeaksAction};
}

std::vector<double> TCalibrationMenu::CurveValues() const
{
    std::vector<double> values;
    if (const TCurve* curve = form_.XYGraph1->Curve(0))
        for (const TCurvePoint& point : curve->Points)
            values.push_back(point.Y);
    return values;
}

void TCalibrationMenu::LoadForPort()
{
    port_ = form_.ComPort->Port();
    std::optional<TWavelengthCalibration> kept;
    try {
        kept = CalibrationStore::Load(port_);
        if (kept && !Usable(*kept))
            throw ESpectrum("The wavelength calibration kept for " + port_
                            + " does not give rising or falling positive wavelengths over the sensor and was not used");
    } catch (const std::exception& error) {
        kept.reset();
        // Reported once the event loop runs: this may be the window's start.
        const QString message = QString::fromLatin1(error.what());
        QTimer::singleShot(0, this,
                           [message] { TApplication::ShowException(Exception(message.toLatin1().toStdString())); });
    }
    if (kept || axis_.Calibration())
        axis_.SetCalibration(kept);
    ClearAction->setEnabled(kept.has_value());
    ExportAction->setEnabled(kept.has_value());
}

void TCalibrationMenu::FramePlotted(int curve)
{
    if (form_.ComPort->Port() != port_)
        LoadForPort();
    if (LabelPeaksAction->isChecked())
        LabelPeaks(curve);
    emit FrameShown();
}

void TCalibrationMenu::ApplyCalibration(const TWavelengthCalibration& calibration)
{
    if (!Usable(calibration))
        throw ESpectrum("The calibration does not give rising or falling positive wavelengths over the sensor's "
                        "pixels");
    // Kept first: a calibration the store refuses is not shown as kept.
    CalibrationStore::Save(port_, calibration);
    axis_.SetCalibration(calibration);
    ClearAction->setEnabled(true);
    ExportAction->setEnabled(true);
    SetLabelPeaks(LabelPeaksAction->isChecked());
}

void TCalibrationMenu::ClearCalibration()
{
    CalibrationStore::Save(port_, std::nullopt);
    axis_.SetCalibration(std::nullopt);
    ClearAction->setEnabled(false);
    ExportAction->setEnabled(false);
    SetLabelPeaks(LabelPeaksAction->isChecked());
}

void TCalibrationMenu::ExportCalibrationTo(const QString& path) const
{
    if (!axis_.Calibration())
        throw Exception("There is no wavelength calibration to export");
    const std::string text = CalibrationFileText(*axis_.Calibration());
    if (const QString reason = ReplaceWholeFile(path, QByteArray::fromStdString(text)); !reason.isEmpty())
        RaiseFileError(QStringLiteral("write"), path, reason);
}

void TCalibrationMenu::ImportCalibrationFrom(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        RaiseFileError(QStringLiteral("read"), path, file.errorString());
    // A calibration file is a few lines; anything much larger is not one.
    const QByteArray text = file.read(64 * 1024);
    ApplyCalibration(ParseCalibrationFile(text.toStdString()));
}

void TCalibrationMenu::SetLabelPeaks(bool on)
{
    LabelPeaksAction->setChecked(on);
    if (TCurve* curve = form_.XYGraph1->Curve(0)) {
        curve->Labels.clear();
        if (on)
            LabelPeaks(0);
        form_.XYGraph1->Paint();
    }
}

void TCalibrationMenu::LabelPeaks(int curve)
{
    const std::vector<double> values = CurveValues();
    std::vector<TPeak> peaks = FindPeaks(values, {.PeaksDown = true});
    std::sort(peaks.begin(), peaks.end(), [](const TPeak& a, const TPeak& b) { return a.Height > b.Height; });
    peaks.resize(std::min<size_t>(peaks.size(), LabelledPeaks));
    for (const TPeak& peak : peaks) {
        const double pixel = TCalibratedAxis::FirstPixel + peak.Centre;
        const double x = axis_.Calibration() ? axis_.Calibration()->Wavelength(pixel) : pixel;
        form_.XYGraph1->AddLabel(curve, peak.Index, axis_.PositionText(x), LabelColor, -20, 6);
    }
}

void TCalibrationMenu::ShowDialog()
{
    if (!dialog_)
        dialog_ = new TCalibrationDialog(*this, form_);
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

QString TCalibrationMenu::AskForFile(bool save)
{
    if (lastDirectory_.isEmpty())
        lastDirectory_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString filter = QStringLiteral("Calibration files (*.cal);;All files (*)");
    QFileDialog dialog(&form_, save ? QStringLiteral("Export Calibration") : QStringLiteral("Import Calibration"),
                       lastDirectory_ + (save ? QStringLiteral("/calibration.cal") : QString()), filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save)
        dialog.setDefaultSuffix(QStringLiteral("cal"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    lastDirectory_ = dialog.directory().absolutePath();
    return dialog.selectedFiles().first();
}
