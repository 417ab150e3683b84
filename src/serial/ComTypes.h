#pragma once

#include "common/EnumSet.h"

#include <cstdint>

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

using TComEvents = TEnumSet<TComEvent>;
using TComErrors = TEnumSet<TComError>;
using TStoredProps = TEnumSet<TStoredProp>;
using TLineSignals = TEnumSet<TLineSignal>;

inline constexpr TComEvents AllComEvents{
    evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full};
