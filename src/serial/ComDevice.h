#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class TManualResetEvent;
class TComDevice;

// Values the port and its device exchange: they carry the serial driver's
// own numbers (event mask bits, error flags, modem status bits, purge flags).
namespace Comm {

// Event mask bits.
inline constexpr std::uint32_t EvRxChar = 0x0001;
inline constexpr std::uint32_t EvRxFlag = 0x0002;
inline constexpr std::uint32_t EvTxEmpty = 0x0004;
inline constexpr std::uint32_t EvCts = 0x0008;
inline constexpr std::uint32_t EvDsr = 0x0010;
inline constexpr std::uint32_t EvRlsd = 0x0020;
inline constexpr std::uint32_t EvBreak = 0x0040;
inline constexpr std::uint32_t EvErr = 0x0080;
inline constexpr std::uint32_t EvRing = 0x0100;
inline constexpr std::uint32_t EvRx80Full = 0x0400;

// Error flags, read and cleared by TComDevice::ClearError.
inline constexpr std::uint32_t CeRxOver = 0x0001;
inline constexpr std::uint32_t CeOverrun = 0x0002;
inline constexpr std::uint32_t CeRxParity = 0x0004;
inline constexpr std::uint32_t CeFrame = 0x0008;
inline constexpr std::uint32_t CeBreak = 0x0010;
inline constexpr std::uint32_t CeTxFull = 0x0100;
inline constexpr std::uint32_t CeIoError = 0x0400;
inline constexpr std::uint32_t CeMode = 0x8000;

// Modem status bits.
inline constexpr std::uint32_t MsCtsOn = 0x0010;
inline constexpr std::uint32_t MsDsrOn = 0x0020;
inline constexpr std::uint32_t MsRingOn = 0x0040;
inline constexpr std::uint32_t MsRlsdOn = 0x0080;

// Purge flags.
inline constexpr std::uint32_t PurgeTxAbort = 0x0001;
inline constexpr std::uint32_t PurgeRxAbort = 0x0002;
inline constexpr std::uint32_t PurgeTxClear = 0x0004;
inline constexpr std::uint32_t PurgeRxClear = 0x0008;

// Flag bits of TDeviceControlBlock::Flags.
inline constexpr std::uint32_t DcbBinary = 0x0001;
inline constexpr std::uint32_t DcbParity = 0x0002;
inline constexpr std::uint32_t DcbOutxCtsFlow = 0x0004;
inline constexpr std::uint32_t DcbOutxDsrFlow = 0x0008;
inline constexpr std::uint32_t DcbDtrControlMask = 0x0030;
inline constexpr std::uint32_t DcbDtrControlEnable = 0x0010;
inline constexpr std::uint32_t DcbDtrControlHandshake = 0x0020;
inline constexpr std::uint32_t DcbDsrSensitivity = 0x0040;
inline constexpr std::uint32_t DcbTxContinueOnXoff = 0x0080;
inline constexpr std::uint32_t DcbOutX = 0x0100;
inline constexpr std::uint32_t DcbInX = 0x0200;
inline constexpr std::uint32_t DcbErrorChar = 0x0400;
inline constexpr std::uint32_t DcbNull = 0x0800;
inline constexpr std::uint32_t DcbRtsControlMask = 0x3000;
inline constexpr std::uint32_t DcbRtsControlEnable = 0x1000;
inline constexpr std::uint32_t DcbRtsControlHandshake = 0x2000;
inline constexpr std::uint32_t DcbRtsControlToggle = 0x3000;

// Time-out value meaning "no interval" or, with zero totals, "return at once".
inline constexpr std::uint32_t MaxDword = 0xFFFFFFFF;

} // namespace Comm

// The device control block: the complete line state of a serial device.
struct TDeviceControlBlock {
    std::uint32_t Length = 28;
    std::uint32_t BaudRate = 0;
    std::uint32_t Flags = 0;
    std::uint16_t XonLimit = 0;
    std::uint16_t XoffLimit = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t StopBits = 0; // 0 one, 1 one and a half, 2 two
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EventChar = 0;

    friend bool operator==(const TDeviceControlBlock&, const TDeviceControlBlock&) = default;
};

// Communication time-outs in milliseconds.
struct TCommTimeouts {
    std::uint32_t ReadInterval = 0;
    std::uint32_t ReadTotalMultiplier = 0;
    std::uint32_t ReadTotalConstant = 0;
    std::uint32_t WriteTotalMultiplier = 0;
    std::uint32_t WriteTotalConstant = 0;

    friend bool operator==(const TCommTimeouts&, const TCommTimeouts&) = default;
};

// Queue state reported with the error flags: the bytes received and not
// yet read. (The output queue is not reported: nothing needs it, and asking
// the kernel would cost every received-character event a call.)
struct TCommStatus {
    std::uint32_t InQueue = 0;
};

// One overlapped operation (a read, a write or an event wait) and its
// completion event. The event is signalled while the operation is idle:
// from creation, and again once a started operation has completed; waiting
// on an operation that never started returns at once with 0 bytes.
//
// A device starts an operation with Begin() and ends it with Complete(),
// both under the device's own lock; the owner reads the result after it
// has seen the operation idle. Destroying a busy operation withdraws it
// from its device, which then never touches it again.
class TOverlapped {
public:
    TOverlapped() = default;
    TOverlapped(const TOverlapped&) = delete;
    TOverlapped& operator=(const TOverlapped&) = delete;
    ~TOverlapped();

    bool Busy() const { return busy_.load(std::memory_order_acquire); }
    // The device the operation is running on; null while idle.
    TComDevice* Device() const { return device_.load(std::memory_order_acquire); }

    // Results of the last completed operation.
    int Error() const { return error_; }
    std::uint32_t Transferred() const { return transferred_; }
    std::uint32_t EventMask() const { return eventMask_; }

    void Begin(TComDevice* device);
    void Complete(std::uint32_t transferred, int error, std::uint32_t eventMask = 0);

private:
    std::atomic<bool> busy_{false};
    std::atomic<TComDevice*> device_{nullptr};
    int error_ = 0;
    std::uint32_t transferred_ = 0;
    std::uint32_t eventMask_ = 0;
};

// An open serial device with the serial driver's semantics: line settings
// from a device control block, communication time-outs, a receive queue,
// error flags, modem status, and overlapped reads, writes and event waits.
//
// Results are 0 for success or the system's error number. Starting an
// overlapped operation gives 0 when it completed at once, IoPending while it
// goes on, or an error number when it failed to start (the operation is then
// complete with that error; an operation that is still busy is refused with
// EBUSY and left running). Operations make progress only while some thread
// is inside the device: a start, a Wait, or a status query.
//
// Every member is safe to call from the user-interface thread and the
// port's event thread at the same time.
class TComDevice {
public:
    static constexpr int IoPending = -1;

    enum class TWaitResult {
        Stop,      // the stop event was signalled
        Completed, // the operation is idle
        Failed,    // the device has vanished: nothing will complete again
    };

    virtual ~TComDevice() = default;

    virtual int SetState(const TDeviceControlBlock& dcb) = 0;
    virtual int SetTimeouts(const TCommTimeouts& timeouts) = 0;
    virtual int SetupQueues(std::uint32_t inputSize, std::uint32_t outputSize) = 0;

    // Reads and clears the error flags (Comm::Ce...) and reports the queues.
    virtual int ClearError(std::uint32_t& errors, TCommStatus& status) = 0;
    // The modem input lines (Comm::Ms...); all off on a device without them.
    virtual int ModemStatus(std::uint32_t& lines) = 0;
    // Aborts pending reads and/or writes, or empties the queues (Comm::Purge...).
    virtual int Purge(std::uint32_t flags) = 0;

    // The caller's buffer must stay valid until the operation is idle.
    virtual int StartWrite(TOverlapped& operation, const void* data, std::uint32_t count) = 0;
    virtual int StartRead(TOverlapped& operation, void* data, std::uint32_t count) = 0;

    // Sets the events an event wait reports (Comm::Ev...). A pending event
    // wait completes at once with mask 0, and events recorded so far are
    // dropped.
    virtual int SetEventMask(std::uint32_t mask) = 0;
    // Starts a wait that completes with the events of the mask that occurred
    // (operation.EventMask()). Events that occurred since the last wait
    // ended complete it at once. One event wait at a time.
    virtual int StartEventWait(TOverlapped& operation) = 0;

    // Blocks until operation is idle, driving it meanwhile. With a stop
    // event it waits on the pair [stop, operation]: it returns Stop as soon
    // as stop is signalled (checked first), and Failed once the device has
    // vanished, so that an event thread ends instead of spinning on a dead
    // device. Without one it always returns Completed.
    virtual TWaitResult Wait(TOverlapped& operation, const TManualResetEvent* stop = nullptr) = 0;

    // Called when a busy operation is destroyed: the device forgets it.
    virtual void Withdraw(TOverlapped& operation) = 0;
};

// Opens the serial device a port name stands for, exclusively. On failure
// returns null and sets osError.
std::unique_ptr<TComDevice> OpenComDevice(const std::string& portName, int& osError);
