#pragma once

#include "serial/ComTypes.h"
#include "serial/TextCase.h"

#include <array>
#include <string>
#include <string_view>

// Text forms of the port settings, shared by storage and by the selector
// controls. Conversions from text compare without regard to letter case,
// never trim, and fall back to a fixed value for text that matches nothing.

inline constexpr std::array<std::string_view, 16> BaudRateTexts{
    "Custom", "110", "300", "600", "1200", "2400", "4800", "9600", "14400",
    "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
inline constexpr std::array<std::string_view, 3> StopBitsTexts{"1", "1.5", "2"};
inline constexpr std::array<std::string_view, 4> DataBitsTexts{"5", "6", "7", "8"};
inline constexpr std::array<std::string_view, 5> ParityBitsTexts{"None", "Odd", "Even", "Mark", "Space"};
inline constexpr std::array<std::string_view, 4> FlowControlTexts{"Hardware", "Software", "None", "Custom"};
inline constexpr std::array<std::string_view, 3> DTRFlowControlTexts{"Disable", "Enable", "Handshake"};
inline constexpr std::array<std::string_view, 4> RTSFlowControlTexts{"Disable", "Enable", "Handshake", "Toggle"};

std::string BaudRateToText(TBaudRate value);
TBaudRate TextToBaudRate(std::string_view text);

std::string StopBitsToText(TStopBits value);
TStopBits TextToStopBits(std::string_view text);

std::string DataBitsToText(TDataBits value);
TDataBits TextToDataBits(std::string_view text);

std::string ParityToText(TParityBits value);
TParityBits TextToParity(std::string_view text);

std::string FlowControlToText(TFlowControl value);
TFlowControl TextToFlowControl(std::string_view text);

std::string DtrControlToText(TDTRFlowControl value);
TDTRFlowControl TextToDtrControl(std::string_view text);

std::string RtsControlToText(TRTSFlowControl value);
TRTSFlowControl TextToRtsControl(std::string_view text);

std::string BoolToText(bool value);
bool TextToBool(std::string_view text);

// Characters 33 to 127 as themselves, every other code as "#" and the
// decimal code ("#17", "#32", "#200").
std::string CharToText(char value);
char TextToChar(std::string_view text);

// The rate in bits per second a value names; brCustom has none and gives 0.
std::uint32_t BaudRateValue(TBaudRate value);
