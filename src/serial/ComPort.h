#pragma once

#include "serial/ComDevice.h"
#include "serial/ComSettings.h"
#include "serial/ComTransfers.h"
#include "serial/ComTypes.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TComThread;
class TCustomComPort;
class TIniFile;
class TPortWindow;
class TRegistry;

// Handler types; the port passes itself as Sender.
using TRxCharEvent = std::function<void(TCustomComPort* Sender, std::int32_t Count)>;
using TRxBufEvent = std::function<void(TCustomComPort* Sender, const void* Buffer, std::int32_t Count)>;
using TComSignalEvent = std::function<void(TCustomComPort* Sender, bool OnOff)>;
using TComErrorEvent = std::function<void(TCustomComPort* Sender, TComErrors Errors)>;
using TComExceptionEvent =
    std::function<void(TCustomComPort* Sender, TComExceptions TComException, const std::string& ComportMessage,
                       std::int64_t WinError, const std::string& WinMessage)>;

// Opens the device for a port name; replaced in tests by a scripted device.
using TComDeviceOpener = std::function<std::unique_ptr<TComDevice>(const std::string& portName, int& osError)>;

// A serial port: typed line settings, opening and configuring the device,
// status queries, overlapped reads and writes, and failure reports with the
// component's codes. All members are for the user-interface thread.
class TCustomComPort {
public:
    using TNotifyEvent = std::function<void(TCustomComPort* Sender)>;

    TCustomComPort();
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;
    virtual ~TCustomComPort();

    // The component's name; stored settings are kept under it.
    const std::string& Name() const { return name_; }
    void SetName(const std::string& value) { name_ = value; }

    // --- Settings -----------------------------------------------------------
    const std::string& Port() const { return port_; }
    void SetPort(const std::string& value);
    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate value);
    std::int32_t CustomBaudRate() const { return customBaudRate_; }
    void SetCustomBaudRate(std::int32_t value);
    TDataBits DataBits() const { return dataBits_; }
    void SetDataBits(TDataBits value);
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits value);
    TComParity& Parity() { return parity_; }
    const TComParity& Parity() const { return parity_; }
    void SetParity(const TComParity& value);
    TComFlowControl& FlowControl() { return flowControl_; }
    const TComFlowControl& FlowControl() const { return flowControl_; }
    void SetFlowControl(const TComFlowControl& value);
    TComTimeouts& Timeouts() { return timeouts_; }
    const TComTimeouts& Timeouts() const { return timeouts_; }
    void SetTimeouts(const TComTimeouts& value);
    TComBuffer& Buffer() { return buffer_; }
    const TComBuffer& Buffer() const { return buffer_; }
    void SetBuffer(const TComBuffer& value);
    bool DiscardNull() const { return discardNull_; }
    void SetDiscardNull(bool value);
    char EventChar() const { return eventChar_; }
    void SetEventChar(char value);
    // Given to the device when the event thread starts, at the next Connect.
    TComEvents Events() const { return events_; }
    void SetEvents(TComEvents value) { events_ = value; }
    TSyncMethod SyncMethod() const { return syncMethod_; }
    // Refused with CE_ConnChangeProp while connected.
    void SetSyncMethod(TSyncMethod value);
    bool TriggersOnRxChar() const { return triggersOnRxChar_; }
    void SetTriggersOnRxChar(bool value) { triggersOnRxChar_ = value; }
    TStoredProps StoredProps() const { return storedProps_; }
    void SetStoredProps(TStoredProps value) { storedProps_ = value; }
    // Kept for stored layouts; no port operation reads it.
    std::uint32_t CodePage() const { return codePage_; }
    void SetCodePage(std::uint32_t value) { codePage_ = value; }

    // --- Lifecycle ----------------------------------------------------------
    bool Connected() const { return connected_; }
    // Opens or closes; while loading, only records the wish.
    void SetConnected(bool value);
    void Connect();
    void Disconnect();
    bool EventThreadStarted() const { return eventThreadStarted_; }
    // The open device, or null (the invalid handle) while closed.
    TComDevice* DeviceHandle() const { return device_.get(); }
    void SetDeviceOpener(TComDeviceOpener opener) { deviceOpener_ = std::move(opener); }

    // Stored settings are set between these two; Loaded() connects when
    // Connected was set meanwhile, reporting a failure to the application.
    void BeginLoading() { loading_ = true; }
    virtual void Loaded();
    bool Loading() const { return loading_; }

    // Settings batches: the device is reconfigured once, when the outermost
    // batch ends.
    void BeginSettingsChange() { ++updateCount_; }
    void EndSettingsChange();
    std::int32_t UpdateCount() const { return updateCount_; }

    // --- Stored settings ------------------------------------------------------
    // The settings of the groups in StoredProps, in the registry key
    // path\Name (path starting with the root's name) or in the INI file
    // path, section Name. A failure is reported as CE_StoreFailed.
    void SaveSettings(TSettingsStorage kind, const std::string& path);
    // Reads them back inside one settings batch, which is closed also when
    // reading fails; a failure, also one of applying a setting, is reported
    // as CE_LoadFailed.
    void RestoreSettings(TSettingsStorage kind, const std::string& path);
    // The stored texts the last RestoreSettings did not understand and
    // replaced by the fallback the text rules give, each as
    // Name "text" (value used).
    const std::vector<std::string>& SettingsNotUnderstood() const { return settingsNotUnderstood_; }

    // --- Status -------------------------------------------------------------
    std::int32_t InputQueueCount();
    TLineSignals LineSignals();
    TComErrors LineErrors();

    // --- Reading and writing --------------------------------------------------
    std::int32_t BeginWrite(const void* buffer, std::int32_t count, TTransferRecord* record);
    std::int32_t BeginWriteText(const std::string& text, TTransferRecord* record);
    std::int32_t BeginRead(void* buffer, std::int32_t count, TTransferRecord* record);
    // Sizes text to count; the bytes become valid once the transfer completed.
    std::int32_t BeginReadText(std::string& text, std::int32_t count, TTransferRecord* record);
    std::int32_t WaitTransfer(TTransferRecord* record);
    std::int32_t WriteText(const std::string& text);
    std::int32_t ReadData(void* buffer, std::int32_t count);
    std::int32_t ReadText(std::string& text, std::int32_t count);
    void CancelTransfers();

    // --- Failures -------------------------------------------------------------
    // Raises EComPort, or with OnException assigned hands the failure to it
    // and returns, so that the reporting operation carries on.
    void ReportPortError(TComExceptions kind, std::int64_t osError);

    // --- Setup dialog -----------------------------------------------------------
    // Shows the modal setup dialog on this port's settings; "OK" writes them
    // in one batch. Defined by the mirelda_serial_ui library: a program that
    // calls it links that library.
    void ShowSettingsDialog();

    // --- Destruction notice -------------------------------------------------------
    // Objects that keep a link to the port (the selector controls) are told
    // when it is being destroyed. One notice per client: registering again
    // replaces it. A client that goes first removes its notice.
    using TFreeNotification = std::function<void(TCustomComPort* Sender)>;
    void FreeNotification(const void* client, TFreeNotification notify);
    void RemoveFreeNotification(const void* client);

    // --- Handlers ---------------------------------------------------------------
    TRxCharEvent OnRxChar;
    TRxBufEvent OnRxBuf;
    TNotifyEvent OnTxEmpty;
    TNotifyEvent OnBreak;
    TNotifyEvent OnRing;
    TNotifyEvent OnRxFlag;
    TComSignalEvent OnCTSChange;
    TComSignalEvent OnDSRChange;
    TComErrorEvent OnError;
    TComSignalEvent OnRLSDChange;
    TNotifyEvent OnRx80Full;
    TNotifyEvent OnAfterOpen;
    TNotifyEvent OnBeforeOpen;
    TNotifyEvent OnAfterClose;
    TNotifyEvent OnBeforeClose;
    TComExceptionEvent OnException;

    // Apply operations: each writes its part to the device, but only while
    // the port is open, outside batches and outside loading.
    virtual void ApplyLineSettings();
    virtual void ApplyTimeoutSettings();
    virtual void ApplyBufferSizes();

protected:
    // Each walks the stored keys of the groups in StoredProps: the registry
    // with its key open, the INI file in the section Name.
    virtual void SaveToRegistry(TRegistry& registry);
    virtual void SaveToIniFile(TIniFile& ini);
    virtual void RestoreFromRegistry(TRegistry& registry);
    virtual void RestoreFromIniFile(TIniFile& ini);
    virtual void CreateDeviceHandle();
    virtual void CloseDeviceHandle();
    virtual void ApplySettings();

    virtual void TriggerAfterClose();
    virtual void TriggerAfterOpen();
    virtual void TriggerBeforeClose();
    virtual void TriggerBeforeOpen();
    virtual void TriggerRxChar(std::int32_t count);
    virtual void TriggerRxBuf(const void* buffer, std::int32_t count);
    virtual void TriggerTxEmpty();
    virtual void TriggerBreak();
    virtual void TriggerRing();
    virtual void TriggerRxFlag();
    virtual void TriggerCTSChange(bool onOff);
    virtual void TriggerDSRChange(bool onOff);
    virtual void TriggerError(TComErrors errors);
    virtual void TriggerRLSDChange(bool onOff);
    virtual void TriggerRx80Full();

    // Selects the root named before the path's first backslash
    // (HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER, in any letter case; another
    // name keeps the root) and opens the key after it, with name appended. A
    // path without a backslash opens no key.
    void OpenSettingsKey(TRegistry& registry, const std::string& path, const std::string& name);
    // Reports a store or load failure, with where the settings are kept and
    // the failure being handled as its reason.
    void ReportSettingsFailure(TComExceptions kind, const std::string& location);
    // Notes a stored text its setting did not take as it stands.
    void CheckStoredText(const char* name, std::string_view stored, const std::string& taken);

    void ProcessBeforeOpen();
    void ProcessAfterOpen();
    void ProcessBeforeClose();
    void ProcessAfterClose();
    void ProcessRxChar();
    void ProcessTxEmpty();
    void ProcessRxFlag();
    void ProcessBreak();
    void ProcessRing();
    void ProcessCTSChange();
    void ProcessDSRChange();
    void ProcessRLSDChange();
    void ProcessError();
    void ProcessRx80Full();

    // The hidden receiver's handler in smWindowSync: one message per event,
    // the event's mask bit as wParam.
    void PortWindowProc(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

private:
    friend class TComThread;

    // Marks the calling thread as running this port's event handlers.
    class TDeliveryScope {
    public:
        explicit TDeliveryScope(TCustomComPort* port) : previous_(std::exchange(delivering_, port)) {}
        ~TDeliveryScope() { delivering_ = previous_; }
        TDeliveryScope(const TDeliveryScope&) = delete;
        TDeliveryScope& operator=(const TDeliveryScope&) = delete;

    private:
        TCustomComPort* previous_;
    };

    // The processing operation of one event.
    void ProcessEvent(TComEvent event);
    void StartEventThread();
    void StopEventThread();
    // Frees the threads and receivers set aside by a close from inside a
    // delivery, once the calling thread is no longer inside one.
    void ReleaseRetired();

    static thread_local TCustomComPort* delivering_;

    bool CanApply() const;
    // Whether a transfer of count bytes can go to the device: 0, or the
    // error that refuses it.
    int RefuseTransfer(std::int32_t count) const;
    // The end of BeginWrite and BeginRead: result is what starting gave.
    std::int32_t StartResult(TTransferRecord& record, int result, TComExceptions failure);

    // Sends the destruction notices, each once.
    void NotifyFreeClients();

    std::vector<std::pair<const void*, TFreeNotification>> freeNotifications_;
    std::unique_ptr<TComThread> eventThread_;
    std::unique_ptr<TComDevice> device_;
    TComDeviceOpener deviceOpener_;
    bool eventThreadStarted_ = false;
    std::unique_ptr<TPortWindow> window_;
    std::vector<std::unique_ptr<TComThread>> retiredThreads_;
    std::vector<std::unique_ptr<TPortWindow>> retiredWindows_;
    std::int32_t updateCount_ = 0;
    std::vector<std::string> settingsNotUnderstood_;
    // Read by the event thread when handlers run there (smNone).
    std::atomic<bool> triggersOnRxChar_ = true;
    bool connected_ = false;
    bool loading_ = false;

    std::string name_;
    std::string port_ = "COM1";
    TBaudRate baudRate_ = br9600;
    std::int32_t customBaudRate_ = 9600;
    TDataBits dataBits_ = dbEight;
    TStopBits stopBits_ = sbOneStopBit;
    TComParity parity_;
    TComFlowControl flowControl_;
    TComTimeouts timeouts_;
    TComBuffer buffer_;
    bool discardNull_ = false;
    char eventChar_ = 0;
    TComEvents events_ = AllComEvents;
    TSyncMethod syncMethod_ = smThreadSync;
    TStoredProps storedProps_{spBasic};
    std::uint32_t codePage_ = 0;
};

// The port as placed on a window; every setting is stored with the layout.
class TComPort : public TCustomComPort {
public:
    using TCustomComPort::TCustomComPort;
};
