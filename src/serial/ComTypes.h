#pragma once

#include <cstdint>
#include <initializer_list>

// The serial component's enumerations and sets. The declaration order of
// each enumeration is its numeric value: the device mapping and the text
// tables index by it.

enum TBaudRate {
    brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
    br19200, br38400, br56000, br57600, br115200, br128000, br256000
};

enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };

enum TDataBits { dbFive, dbSix, dbSeven, dbEight };

enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };

enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };

enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };

enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };

enum TComEvent {
    evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full
};

enum TComError { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };

enum TSyncMethod { smThreadSync, smWindowSync, smNone };

enum TStoredProp { spBasic, spFlowControl, spBuffer, spTimeouts, spParity, spOthers };

enum TLineSignal { lsCTS, lsDSR, lsRing, lsRLSD };

// Where settings are stored; any value other than ssRegistry means an INI file.
enum TSettingsStorage { ssRegistry, ssIniFile };

// The component's failure kinds; the error code of a kind is its position
// plus one (CE_OpenFailed is code 1).
enum TComExceptions {
    CE_OpenFailed, CE_WriteFailed, CE_ReadFailed, CE_InvalidAsync, CE_PurgeFailed,
    CE_AsyncCheck, CE_SetStateFailed, CE_TimeoutsFailed, CE_SetupComFailed,
    CE_ClearComFailed, CE_ModemStatFailed, CE_EscapeComFailed, CE_TransmitFailed,
    CE_ConnChangeProp, CE_EnumPortsFailed, CE_StoreFailed, CE_LoadFailed, CE_RegFailed,
    CE_LedStateFailed, CE_ThreadCreated, CE_WaitFailed, CE_HasLink, CE_RegError,
    CEPortNotOpen
};

enum TTransferKind { tkWrite, tkRead };

// A set of values of one enumeration: bit (1 << value) per member.
template <typename E>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> values)
    {
        for (E value : values)
            bits_ |= Bit(value);
    }

    static constexpr TEnumSet FromBits(std::uint32_t bits)
    {
        TEnumSet set;
        set.bits_ = bits;
        return set;
    }

    constexpr std::uint32_t Bits() const { return bits_; }
    constexpr bool Contains(E value) const { return (bits_ & Bit(value)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }

    constexpr TEnumSet& Include(E value)
    {
        bits_ |= Bit(value);
        return *this;
    }
    constexpr TEnumSet& Exclude(E value)
    {
        bits_ &= ~Bit(value);
        return *this;
    }

    friend constexpr bool operator==(TEnumSet a, TEnumSet b) { return a.bits_ == b.bits_; }
    friend constexpr TEnumSet operator|(TEnumSet a, TEnumSet b) { return FromBits(a.bits_ | b.bits_); }
    friend constexpr TEnumSet operator&(TEnumSet a, TEnumSet b) { return FromBits(a.bits_ & b.bits_); }

private:
    static constexpr std::uint32_t Bit(E value) { return std::uint32_t{1} << static_cast<unsigned>(value); }

    std::uint32_t bits_ = 0;
};

using TComEvents = TEnumSet<TComEvent>;
using TComErrors = TEnumSet<TComError>;
using TStoredProps = TEnumSet<TStoredProp>;
using TLineSignals = TEnumSet<TLineSignal>;

inline constexpr TComEvents AllComEvents{
    evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full};
