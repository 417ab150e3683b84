#pragma once

#include "serial/ComTypes.h"

#include <cstdint>
#include <string>

class TCustomComPort;

// Stores value in field; tells whether it differed from the stored one.
template <typename T>
bool StoreIfChanged(T& field, T value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

// Base of the port's settings objects: each holds a non-owning link to its
// port, to which it reports every change, and can take over the values of
// another object of its own class.
class TComPersistent {
public:
    TComPersistent() = default;
    TComPersistent(const TComPersistent&) = delete;
    TComPersistent& operator=(const TComPersistent&) = delete;
    virtual ~TComPersistent() = default;

    virtual std::string ClassName() const = 0;

    // Copies every field of source directly: no setter runs and nothing is
    // applied. Throws EConvertError when source is of another class.
    virtual void Assign(const TComPersistent& source) = 0;

    TCustomComPort* ComPort() const { return comPort_; }
    void SetComPort(TCustomComPort* port) { comPort_ = port; }

protected:
    [[noreturn]] void AssignError(const TComPersistent& source) const;


    void ApplyLineSettings();
    void ApplyTimeoutSettings();
    void ApplyBufferSizes();

private:
    TCustomComPort* comPort_ = nullptr;
};

// Device time-outs in milliseconds, as the serial driver defines them.
class TComTimeouts : public TComPersistent {
public:
    std::string ClassName() const override { return "TComTimeouts"; }
    void Assign(const TComPersistent& source) override;

    std::int32_t ReadInterval() const { return readInterval_; }
    std::int32_t ReadTotalMultiplier() const { return readTotalMultiplier_; }
    std::int32_t ReadTotalConstant() const { return readTotalConstant_; }
    std::int32_t WriteTotalMultiplier() const { return writeTotalMultiplier_; }
    std::int32_t WriteTotalConstant() const { return writeTotalConstant_; }

    void SetReadInterval(std::int32_t value);
    void SetReadTotalMultiplier(std::int32_t value);
    void SetReadTotalConstant(std::int32_t value);
    void SetWriteTotalMultiplier(std::int32_t value);
    void SetWriteTotalConstant(std::int32_t value);

private:
    std::int32_t readInterval_ = -1;
    std::int32_t readTotalMultiplier_ = 0;
    std::int32_t readTotalConstant_ = 0;
    std::int32_t writeTotalMultiplier_ = 100;
    std::int32_t writeTotalConstant_ = 1000;
};

class TComFlowControl : public TComPersistent {
public:
    std::string ClassName() const override { return "TComFlowControl"; }
    void Assign(const TComPersistent& source) override;

    bool OutCTSFlow() const { return outCTSFlow_; }
    bool OutDSRFlow() const { return outDSRFlow_; }
    TDTRFlowControl ControlDTR() const { return controlDTR_; }
    TRTSFlowControl ControlRTS() const { return controlRTS_; }
    bool XonXoffOut() const { return xonXoffOut_; }
    bool XonXoffIn() const { return xonXoffIn_; }
    bool DSRSensitivity() const { return dsrSensitivity_; }
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    char XonChar() const { return xonChar_; }
    char XoffChar() const { return xoffChar_; }

    void SetOutCTSFlow(bool value);
    void SetOutDSRFlow(bool value);
    void SetControlDTR(TDTRFlowControl value);
    void SetControlRTS(TRTSFlowControl value);
    void SetXonXoffOut(bool value);
    void SetXonXoffIn(bool value);
    void SetDSRSensitivity(bool value);
    void SetTxContinueOnXoff(bool value);
    void SetXonChar(char value);
    void SetXoffChar(char value);

    // Derived from the RTS, CTS and Xon/Xoff fields; never stored.
    TFlowControl FlowControl() const;
    // A preset: writes those four fields (fcCustom writes none) and applies
    // line settings once.
    void SetFlowControl(TFlowControl value);

private:
    bool outCTSFlow_ = false;
    bool outDSRFlow_ = false;
    TDTRFlowControl controlDTR_ = dtrDisable;
    TRTSFlowControl controlRTS_ = rtsDisable;
    bool xonXoffOut_ = false;
    bool xonXoffIn_ = false;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = false;
    char xonChar_ = 17;
    char xoffChar_ = 19;
};

class TComParity : public TComPersistent {
public:
    std::string ClassName() const override { return "TComParity"; }
    void Assign(const TComPersistent& source) override;

    TParityBits Bits() const { return bits_; }
    bool Check() const { return check_; }
    bool Replace() const { return replace_; }
    char ReplaceChar() const { return replaceChar_; }

    void SetBits(TParityBits value);
    void SetCheck(bool value);
    void SetReplace(bool value);
    void SetReplaceChar(char value);

private:
    TParityBits bits_ = prNone;
    bool check_ = false;
    bool replace_ = false;
    char replaceChar_ = 0;
};

// Queue sizes in bytes; odd positive sizes are rounded down to even.
class TComBuffer : public TComPersistent {
public:
    std::string ClassName() const override { return "TComBuffer"; }
    void Assign(const TComPersistent& source) override;

    std::int32_t InputSize() const { return inputSize_; }
    std::int32_t OutputSize() const { return outputSize_; }

    void SetInputSize(std::int32_t value);
    void SetOutputSize(std::int32_t value);

private:
    void StoreSize(std::int32_t& field, std::int32_t value);

    std::int32_t inputSize_ = 1024;
    std::int32_t outputSize_ = 1024;
};
