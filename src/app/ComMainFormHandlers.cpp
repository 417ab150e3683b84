#include "app/ComMainForm.h"

#include "app/CalibrationMenu.h"
#include "app/FrameRequests.h"
#include "app/Measurement.h"
#include "app/MeasurementMenu.h"
#include "app/ReceiveLog.h"
#include "common/Application.h"
#include "graph/Graph.h"
#include "serial/CPort.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string CurveName = "Sinus";
constexpr TColor CurveColor = 65280; // pure green
// Where "Store" and "Load" keep the port's settings: the key
// Software\Vorel\ComPort of the local machine.
const std::string SettingsPath = "HKEY_LOCAL_MACHINE\\Software\\Vorel";

} // namespace

void TForm1::Button_OpenClick()
{
    if (ComPort->Connected()) {
        ComPort->Disconnect();
        Button_Send->setEnabled(false);
        Button_Settings->setEnabled(true);
    } else {
        ComPort->Connect();
        Button_Send->setEnabled(true);
        Button_Settings->setEnabled(false);
    }
}

void TForm1::ComPortOpen(TCustomComPort*)
{
    FRequests.Reset();
    Button_Open->setText(QStringLiteral("Close"));
}

void TForm1::ComPortClose(TCustomComPort*)
{
    // Also runs when the window closes its port on the way out; the window
    // does that first, while the button still exists.
    Button_Open->setText(QStringLiteral("Open"));
}

void TForm1::Button_SendClick()
{
    ClearLog();
    std::string command = Edit_Data->text().toLatin1().toStdString();
    if (NewLine_CB->isChecked())
        command += "\r\n";
    if (command.empty())
        return;
    ComPort->WriteText(command);
    FRequests.RequestSent(TFrameRequests::TClock::now());
    emit ExposureSent();
}

void TForm1::ClearLog()
{
    FRequests.LogCleared(QByteArrayView(FLog->Text()));
    FLog->Clear();
}

void TForm1::ComPortRxChar(TCustomComPort*, std::int32_t Count)
{
    std::string received;
    ComPort->ReadText(received, Count);
    FRequests.BytesArrived(TFrameRequests::TClock::now());
    FLog->Append(received.data(), qsizetype(received.size()));
}

void TForm1::ComPortRxFlag(TCustomComPort*)
{
    // Every frame the log holds up to its 'e' is decoded, but one whose
    // beginning a clear of the log cut away; a device that streams may have
    // sent more than one. A log without an 'e', which it keeps beyond the
    // bytes of an over-long frame, is that frame as far as it goes.
    const QByteArray& log = FLog->Text();
    qsizetype frameStart = 0;
    bool decoded = false;
    do {
        const qsizetype found = log.indexOf('e', frameStart);
        const qsizetype frameEnd = found < 0 ? log.size() : found + 1;
        const QByteArrayView frame = QByteArrayView(log).sliced(frameStart, frameEnd - frameStart);
        frameStart = NextFrameStart(QByteArrayView(log), frameEnd);
        if (FRequests.FrameEnded()) {
            DecodeFrame(frame);
            decoded = true;
        } else {
            emit FrameCut();
        }
    } while (log.indexOf('e', frameStart) >= 0);
    if (decoded)
        PlotFrame();

    // What follows the last 'e' is the start of a frame already on its way;
    // it stays in the log when the log is cleared for the next request.
    const QByteArray nextFrame = log.sliced(frameStart);
    FLog->Clear();
    // A programmatic click runs the handler even while the button is
    // disabled. No request while another is owed an answer, so a second
    // request never doubles the cycle.
    if (FRequests.NextRequestDue() && KeepAcquiring)
        Button_SendClick();
    FLog->Append(nextFrame);
}

void TForm1::DecodeFrame(QByteArrayView frame)
{
    FDecoder.Decode(frame);
    FDecoder.ReadScale(QByteArrayView(Edit1->text().toLatin1()), QByteArrayView(Edit2->text().toLatin1()));
    FAveraging.Add(FDecoder);
    // A frame whose lines end in LF alone closes no field and leaves the
    // curve as it was, which the operator cannot tell from a dark sensor.
    const bool noReading = std::count(frame.begin(), frame.end(), '\r') <= FDecoder.Layout().HeaderFields;
    emit FrameDecoded(noReading && frame.contains('\n'));
}

void TForm1::PlotFrame()
{
    // The operator's measurement, once chosen, draws the curve itself.
    if (FMeasurementMenu->Measurement().PlotFrame())
        return;
    XYGraph1->DeleteCurve(0);
    const int curve = XYGraph1->AddCurve(CurveName, CurveColor, 1, psSolid, true);
    for (int x = TFrameDecoder::FirstPlottedField; x <= TFrameDecoder::LastPlottedField; ++x)
        XYGraph1->AddPoint(curve, FCalibrationMenu->PlotX(x), double(FDecoder.PlotValue(FAveraging.Reading(x))));
    FCalibrationMenu->FramePlotted(curve);
    XYGraph1->Paint();
}

void TForm1::Bt_StoreClick()
{
    ComPort->SaveSettings(ssRegistry, SettingsPath);
}

void TForm1::Bt_LoadClick()
{
    ComPort->RestoreSettings(ssRegistry, SettingsPath);
    const std::vector<std::string>& notUnderstood = ComPort->SettingsNotUnderstood();
    if (notUnderstood.empty())
        return;
    std::string values;
    for (const std::string& value : notUnderstood)
        values += (values.empty() ? "" : "\n") + value;
    TApplication::ShowWarning(QStringLiteral("Some stored settings were not understood."),
                              QString::fromLatin1(values + "\nPress \"Store\" to keep the settings now in use."));
}

void TForm1::Button1Click()
{
    ClearLog();
}

void TForm1::Button2Click()
{
    XYGraph1->ResetAxes();
}

void TForm1::Button_SettingsClick()
{
    ComPort->ShowSettingsDialog();
}
