#include "serial/ComTransfers.h"

#include "serial/ComPort.h"

#include <cerrno>

// Reading and writing: every transfer is started on the device and its
// completion collected separately; the synchronous operations start one
// and wait for it at once.

std::unique_ptr<TTransferRecord> NewTransfer()
{
    return std::make_unique<TTransferRecord>();
}

void FreeTransfer(std::unique_ptr<TTransferRecord>& record)
{
    record.reset();
}

int TCustomComPort::RefuseTransfer(std::int32_t count) const
{
    // A negative count would reach the device as a huge unsigned length.
    if (count < 0)
        return EINVAL;
    if (!device_)
        return EBADF;
    return 0;
}

std::int32_t TCustomComPort::StartResult(TTransferRecord& record, int result, TComExceptions failure)
{
    if (result != 0 && result != TComDevice::IoPending) {
        ReportPortError(failure, result);
        return 0;
    }
    record.Started = true;
    return result == 0 ? static_cast<std::int32_t>(record.Overlapped.Transferred()) : 0;
}

std::int32_t TCustomComPort::BeginWrite(const void* buffer, std::int32_t count, TTransferRecord* record)
{
    if (!record) {
        ReportPortError(CE_InvalidAsync, 0);
        return 0;
    }
    if (!device_)
        ReportPortError(CEPortNotOpen, 0);
    record->Kind = tkWrite;
    record->Started = false;
    int result = RefuseTransfer(count);
    if (result == 0)
        result = device_->StartWrite(record->Overlapped, buffer, static_cast<std::uint32_t>(count));
    return StartResult(*record, result, CE_WriteFailed);
}

std::int32_t TCustomComPort::BeginWriteText(const std::string& text, TTransferRecord* record)
{
    if (text.empty())
        return 0;
    return BeginWrite(text.data(), static_cast<std::int32_t>(text.size()), record);
}

std::int32_t TCustomComPort::BeginRead(void* buffer, std::int32_t count, TTransferRecord* record)
{
    if (!record) {
        ReportPortError(CE_InvalidAsync, 0);
        return 0;
    }
    record->Kind = tkRead;
    record->Started = false;
    if (!device_)
        ReportPortError(CEPortNotOpen, 0);
    int result = RefuseTransfer(count);
    if (result == 0)
        result = device_->StartRead(record->Overlapped, buffer, static_cast<std::uint32_t>(count));
    return StartResult(*record, result, CE_ReadFailed);
}

std::int32_t TCustomComPort::BeginReadText(std::string& text, std::int32_t count, TTransferRecord* record)
{
    text.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    if (count <= 0)
        return 0;
    return BeginRead(text.data(), count, record);
}

std::int32_t TCustomComPort::WaitTransfer(TTransferRecord* record)
{
    if (!record) {
        ReportPortError(CE_InvalidAsync, 0);
        return 0;
    }
    TOverlapped& operation = record->Overlapped;
    // Also after a refused start: a transfer left running on the record
    // must end before its buffer may go.
    if (TComDevice* device = operation.Device())
        device->Wait(operation);
    if (!record->Started)
        return 0;
    if (operation.Error() != 0)
        ReportPortError(record->Kind == tkWrite ? CE_WriteFailed : CE_ReadFailed, operation.Error());
    return static_cast<std::int32_t>(operation.Transferred());
}

std::int32_t TCustomComPort::WriteText(const std::string& text)
{
    auto record = NewTransfer();
    BeginWriteText(text, record.get());
    const std::int32_t written = WaitTransfer(record.get());
    FreeTransfer(record);
    return written;
}

std::int32_t TCustomComPort::ReadData(void* buffer, std::int32_t count)
{
    auto record = NewTransfer();
    BeginRead(buffer, count, record.get());
    const std::int32_t read = WaitTransfer(record.get());
    FreeTransfer(record);
    return read;
}

std::int32_t TCustomComPort::ReadText(std::string& text, std::int32_t count)
{
    auto record = NewTransfer();
    std::string received;
    BeginReadText(received, count, record.get());
    const std::int32_t read = WaitTransfer(record.get());
    FreeTransfer(record);
    received.resize(static_cast<std::size_t>(read));
    text = std::move(received);
    return read;
}

void TCustomComPort::CancelTransfers()
{
    const int error = device_ ? device_->Purge(Comm::PurgeTxAbort | Comm::PurgeRxAbort) : EBADF;
    if (error != 0)
        ReportPortError(CE_PurgeFailed, error);
}
