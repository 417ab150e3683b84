#pragma once

#include "serial/ComDevice.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// A device that writes every call into a shared log and fails the calls a
// test names; transfers complete at once (writes in full, reads empty).
class TRecordingDevice : public TComDevice {
public:
    struct TScript {
        std::vector<std::string> Calls;
        std::map<std::string, int> Failures; // call name -> error number
        TDeviceControlBlock LastState;
        TCommTimeouts LastTimeouts;
        std::uint32_t ModemLines = 0;
        int Opens = 0;
    };

    explicit TRecordingDevice(std::shared_ptr<TScript> script) : script_(std::move(script)) {}

    int SetState(const TDeviceControlBlock& dcb) override
    {
        script_->LastState = dcb;
        return Call("SetState");
    }
    int SetTimeouts(const TCommTimeouts& timeouts) override
    {
        script_->LastTimeouts = timeouts;
        return Call("SetTimeouts");
    }
    int SetupQueues(std::uint32_t, std::uint32_t) override { return Call("SetupQueues"); }
    int ClearError(std::uint32_t& errors, TCommStatus& status) override
    {
        errors = 0;
        status = {};
        return Call("ClearError");
    }
    int ModemStatus(std::uint32_t& lines) override
    {
        lines = script_->ModemLines;
        return Call("ModemStatus");
    }
    int Purge(std::uint32_t) override { return Call("Purge"); }
    int StartWrite(TOverlapped& operation, const void*, std::uint32_t count) override
    {
        return Transfer("StartWrite", operation, count);
    }
    int StartRead(TOverlapped& operation, void*, std::uint32_t) override
    {
        return Transfer("StartRead", operation, 0);
    }
    int SetEventMask(std::uint32_t) override { return Call("SetEventMask"); }
    int StartEventWait(TOverlapped& operation) override { return Transfer("StartEventWait", operation, 0); }
    TWaitResult Wait(TOverlapped&, const TManualResetEvent*) override { return TWaitResult::Completed; }
    void Withdraw(TOverlapped&) override {}

    // An opener for TCustomComPort::SetDeviceOpener that makes devices
    // sharing one script; "Open" in Failures makes opening fail.
    static auto Opener(std::shared_ptr<TScript> script)
    {
        return [script](const std::string&, int& osError) -> std::unique_ptr<TComDevice> {
            ++script->Opens;
            const auto failure = script->Failures.find("Open");
            if (failure != script->Failures.end()) {
                osError = failure->second;
                return nullptr;
            }
            return std::make_unique<TRecordingDevice>(script);
        };
    }

private:
    int Call(const std::string& name)
    {
        script_->Calls.push_back(name);
        const auto failure = script_->Failures.find(name);
        return failure == script_->Failures.end() ? 0 : failure->second;
    }
    int Transfer(const std::string& name, TOverlapped& operation, std::uint32_t count)
    {
        const int error = Call(name);
        operation.Complete(error == 0 ? count : 0, error);
        return error;
    }

    std::shared_ptr<TScript> script_;
};
