#include "app/ComMainForm.h"

#include "app/CalibrationMenu.h"
#include "app/ReceiveLog.h"
#include "graph/Graph.h"
#include "serial/CPort.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <string>

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
    FLog->Clear();
    std::string command = Edit_Data->text().toLatin1().toStdString();
    if (NewLine_CB->isChecked())
        command += "\r\n";
    if (command.empty())
        return;
    ComPort->WriteText(command);
    emit ExposureSent();
}

void TForm1::ComPortRxChar(TCustomComPort*, std::int32_t Count)
{
    std::string received;
    ComPort->ReadText(received, Count);
    FLog->Append(received.data(), qsizetype(received.size()));
}

void TForm1::ComPortRxFlag(TCustomComPort*)
{
    // A log without its closing 'e' (cleared between the data and this
    // event) is plotted as far as it goes and acquisition carries on.
    FDecoder.Decode(QByteArrayView(FLog->Text()));
    FDecoder.ReadScale(QByteArrayView(Edit1->text().toLatin1()), QByteArrayView(Edit2->text().toLatin1()));

    FAveraging.Add(FDecoder);

    XYGraph1->DeleteCurve(0);
    const int curve = XYGraph1->AddCurve(CurveName, CurveColor, 1, psSolid, true);
    for (int x = TFrameDecoder::FirstPlottedField; x <= TFrameDecoder::LastPlottedField; ++x)
        XYGraph1->AddPoint(curve, FCalibrationMenu->PlotX(x), double(FDecoder.PlotValue(FAveraging.Reading(x))));
    FCalibrationMenu->FramePlotted(curve);
    XYGraph1->Paint();

    // A programmatic click runs the handler even while the button is disabled.
    Button_SendClick();
}

void TForm1::Bt_StoreClick()
{
    ComPort->SaveSettings(ssRegistry, SettingsPath);
}

void TForm1::Bt_LoadClick()
{
    ComPort->RestoreSettings(ssRegistry, SettingsPath);
}

void TForm1::Button1Click()
{
    FLog->Clear();
}

void TForm1::Button2Click()
{
    XYGraph1->ResetAxes();
}

void TForm1::Button_SettingsClick()
{
    ComPort->ShowSettingsDialog();
}
