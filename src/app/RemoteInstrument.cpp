#include "app/RemoteInstrument.h"

#include "app/AcquisitionMonitor.h"
#include "app/CalibrationMenu.h"
#include "app/ComMainForm.h"
#include "app/Measurement.h"
#include "app/MeasurementMenu.h"
#include "app/OperatorMenu.h"
#include "graph/Graph.h"
#include "remote/ScpiErrors.h"
#include "serial/CPort.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <utility>

TRemoteInstrument::TRemoteInstrument(TForm1& form) : QObject(&form), form_(form)
{
    TComPort& port = *form_.ComPort;
    port.OnRxFlag = [this, frame = std::move(port.OnRxFlag)](TCustomComPort* sender) {
        frame(sender);
        FramePlotted();
    };
    connect(&form_, &TForm1::ExposureSent, this, [this] { exposureSent_ = std::chrono::steady_clock::now(); });
    // The operator's own "Send Exposure" starts the window's continuous cycle.
    connect(form_.Button_Send, &QPushButton::clicked, this, [this] { form_.KeepAcquiring = true; });
}

void TRemoteInstrument::FramePlotted()
{
    spectrum_.clear();
    readings_.clear();
    wavelengths_.clear();
    ++frames_;
    const TMeasurement& measurement = form_.MeasurementMenu().Measurement();
    if (measurement.Active()) {
        // The processed spectrum, drawn in pieces between its gaps.
        for (const TSpectrumPoint& point : measurement.Processed().Points) {
            const int pixel = static_cast<int>(point.X);
            wavelengths_.push_back(form_.CalibrationMenu().PlotX(pixel));
            spectrum_.push_back(point.Present ? point.Y : ScpiNotANumber);
            readings_.push_back(form_.Decoder().FieldValue(pixel));
        }
        return;
    }
    // The curve as drawn: calibrated, its x are wavelengths; point i is
    // pixel 6 + i, whose reading the decoder holds.
    const TCurve* curve = form_.XYGraph1->Curve(0);
    if (!curve)
        return;
    int pixel = TFrameDecoder::FirstPlottedField;
    for (const TCurvePoint& point : curve->Points) {
        wavelengths_.push_back(point.X);
        spectrum_.push_back(point.Y);
        readings_.push_back(form_.Decoder().FieldValue(pixel++));
    }
}

std::string TRemoteInstrument::Identity() const
{
    return "Mirelda,Mirelda,0," MIRELDA_VERSION;
}

void TRemoteInstrument::Reset()
{
    Abort();
    SetAverage(1);
    form_.Averaging().ClearDark();
}

std::string TRemoteInstrument::Exposure() const
{
    return form_.Edit_Data->text().toLatin1().toStdString();
}

void TRemoteInstrument::SetExposure(const std::string& text)
{
    form_.Edit_Data->setText(QString::fromLatin1(text));
}

int TRemoteInstrument::Average() const
{
    return form_.Averaging().Depth();
}

void TRemoteInstrument::SetAverage(int depth)
{
    const auto& depths = TFrameAveraging::Depths;
    const auto offered = std::find(depths.begin(), depths.end(), depth);
    if (offered == depths.end())
        throw EScpiError(ScpiError::DataOutOfRange, "1, 2, 4, 8, 16, 32 or 64 frames");
    form_.Averaging().SetDepth(depth);
    // The operator's menu shows the depth checked.
    form_.OperatorMenu().AverageActions->actions().at(offered - depths.begin())->setChecked(true);
}

void TRemoteInstrument::RequireOpen() const
{
    if (!form_.ComPort->Connected())
        throw EScpiError(ScpiError::SettingsConflict, "the port is closed");
}

void TRemoteInstrument::SendExposure()
{
    const bool answerDue = !form_.Requests().NextRequestDue()
                           && std::chrono::steady_clock::now() - exposureSent_ < AnswerPatience;
    if (!answerDue)
        form_.Button_SendClick();
}

void TRemoteInstrument::Initiate()
{
    RequireOpen();
    form_.KeepAcquiring = false;
    SendExposure();
}

bool TRemoteInstrument::Continuous() const
{
    return form_.KeepAcquiring;
}

void TRemoteInstrument::SetContinuous(bool continuous)
{
    if (!continuous) {
        Abort();
        return;
    }
    RequireOpen();
    form_.KeepAcquiring = true;
    SendExposure();
}

void TRemoteInstrument::Abort()
{
    form_.KeepAcquiring = false;
}

void TRemoteInstrument::TakeDark()
{
    form_.OperatorMenu().TakeDarkFrame();
}

void TRemoteInstrument::TakeReference()
{
    form_.MeasurementMenu().Measurement().TakeReference();
}

// The remote modes are the Measure menu's, in its order.
TInstrument::TMode TRemoteInstrument::Mode() const
{
    return static_cast<TMode>(form_.MeasurementMenu().Measurement().Mode());
}

void TRemoteInstrument::SetMode(TMode mode)
{
    TMeasurementMenu& menu = form_.MeasurementMenu();
    menu.Measurement().SetMode(static_cast<TProcessingMode>(mode));
    menu.ModeActions->actions().at(static_cast<qsizetype>(mode))->setChecked(true);
}

std::vector<std::string> TRemoteInstrument::Status() const
{
    return form_.OperatorMenu().Monitor().Lines();
}

std::string TRemoteInstrument::Port() const
{
    return form_.ComPort->Port();
}

void TRemoteInstrument::SetPort(const std::string& name)
{
    // As in the window, where the port is chosen only while it is closed.
    if (form_.ComPort->Connected())
        throw EScpiError(ScpiError::SettingsConflict, "close the port first");
    form_.ComPort->SetPort(name);
}

bool TRemoteInstrument::IsOpen() const
{
    return form_.ComPort->Connected();
}

void TRemoteInstrument::Open()
{
    if (!form_.ComPort->Connected())
        form_.Button_OpenClick();
}

void TRemoteInstrument::Close()
{
    if (form_.ComPort->Connected())
        form_.Button_OpenClick();
}
