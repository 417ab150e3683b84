#pragma once

#include "app/FrameAveraging.h"
#include "app/FrameDecoder.h"
#include "app/FrameRequests.h"

#include <QWidget>

#include <cstdint>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TCalibrationMenu;
class TComPort;
class TMeasurementMenu;
class TCustomComPort;
class TOperatorMenu;
class TReceiveLog;
class TXYGraph;

// The acquisition window: opens the port, sends the exposure command, shows
// the received frames in the receive log and plots each decoded frame.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    QLabel* Label1;
    QLabel* Label2;
    QPlainTextEdit* Memo;
    QPushButton* Button_Open;
    QLineEdit* Edit_Data;
    QPushButton* Button_Send;
    QGroupBox* GroupBox1;
    QPushButton* Button_Settings;
    QCheckBox* NewLine_CB;
    QPushButton* Bt_Store;
    QPushButton* Bt_Load;
    QPushButton* Button1;
    TXYGraph* XYGraph1;
    QPushButton* Button2;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    std::unique_ptr<TComPort> ComPort;
    // Whether a plotted frame asks for the next one. Only remote control
    // and unattended capture turn it off, to take single frames or stop.
    bool KeepAcquiring = true;

    // The receive log's bytes as they came from the port.
    TReceiveLog& Log() const { return *FLog; }
    // The fields of the frames decoded so far.
    const TFrameDecoder& Decoder() const { return FDecoder; }
    TFrameDecoder& Decoder() { return FDecoder; }
    // Averaging and the dark frame between decoding and plotting; off
    // (depth 1, no dark frame) unless the operator chooses them.
    TFrameAveraging& Averaging() { return FAveraging; }
    // The exposure requests owed an answer and the frames cut by a clear.
    const TFrameRequests& Requests() const { return FRequests; }
    // The operator's menu, shortcuts, status read-out and reconnect.
    TOperatorMenu& OperatorMenu() const { return *FOperatorMenu; }
    // Sensor layouts and the measurements beyond the plain curve.
    TMeasurementMenu& MeasurementMenu() const { return *FMeasurementMenu; }
    // The wavelength calibration of the x axis; pixels unless one is made or kept.
    TCalibrationMenu& CalibrationMenu() const { return *FCalibrationMenu; }

    void FormShow();
    void Button_OpenClick();
    void ComPortOpen(TCustomComPort* Sender);
    void ComPortClose(TCustomComPort* Sender);
    void Button_SendClick();
    void ComPortRxChar(TCustomComPort* Sender, std::int32_t Count);
    // Decodes the frames in the log, plots them and asks for the next one.
    void ComPortRxFlag(TCustomComPort* Sender);
    void Bt_StoreClick();
    void Bt_LoadClick();
    void Button1Click();
    void Button2Click();
    void Button_SettingsClick();

signals:
    // The exposure command went to the port.
    void ExposureSent();
    // A frame was decoded; lfOnly when it held no reading but line feeds,
    // the lines of a device that ends them in LF alone.
    void FrameDecoded(bool lfOnly);
    // A frame whose beginning a clear of the log cut away was dropped.
    void FrameCut();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void SetTabOrder();
    void ConnectHandlers();
    void LoadGraphSettings();
    void LoadPortSettings();
    void ClearLog();
    void DecodeFrame(QByteArrayView frame);
    void PlotFrame();

    TReceiveLog* FLog;
    TFrameDecoder FDecoder;
    TFrameAveraging FAveraging;
    TFrameRequests FRequests;
    TOperatorMenu* FOperatorMenu;
    TMeasurementMenu* FMeasurementMenu;
    TCalibrationMenu* FCalibrationMenu;
};
