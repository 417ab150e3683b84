#include "serial/ComTexts.h"

#include <charconv>
#include <cstdint>

namespace {

template <typename E, std::size_t N>
E FromText(const std::array<std::string_view, N>& texts, std::string_view text, E fallback)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (SameText(texts[i], text))
            return static_cast<E>(i);
    }
    return fallback;
}

template <typename E, std::size_t N>
std::string ToText(const std::array<std::string_view, N>& texts, E value)
{
    const auto index = static_cast<std::size_t>(value);
    return index < N ? std::string(texts[index]) : std::string();
}

} // namespace

std::string BaudRateToText(TBaudRate value) { return ToText(BaudRateTexts, value); }
TBaudRate TextToBaudRate(std::string_view text) { return FromText(BaudRateTexts, text, br9600); }

std::string StopBitsToText(TStopBits value) { return ToText(StopBitsTexts, value); }
TStopBits TextToStopBits(std::string_view text) { return FromText(StopBitsTexts, text, sbOneStopBit); }

std::string DataBitsToText(TDataBits value) { return ToText(DataBitsTexts, value); }
TDataBits TextToDataBits(std::string_view text) { return FromText(DataBitsTexts, text, dbEight); }

std::string ParityToText(TParityBits value) { return ToText(ParityBitsTexts, value); }
TParityBits TextToParity(std::string_view text) { return FromText(ParityBitsTexts, text, prNone); }

std::string FlowControlToText(TFlowControl value) { return ToText(FlowControlTexts, value); }
TFlowControl TextToFlowControl(std::string_view text) { return FromText(FlowControlTexts, text, fcCustom); }

std::string DtrControlToText(TDTRFlowControl value) { return ToText(DTRFlowControlTexts, value); }
TDTRFlowControl TextToDtrControl(std::string_view text) { return FromText(DTRFlowControlTexts, text, dtrDisable); }

std::string RtsControlToText(TRTSFlowControl value) { return ToText(RTSFlowControlTexts, value); }
TRTSFlowControl TextToRtsControl(std::string_view text) { return FromText(RTSFlowControlTexts, text, rtsDisable); }

std::string BoolToText(bool value) { return value ? "Yes" : "No"; }
bool TextToBool(std::string_view text) { return SameText(text, "YES"); }

std::string CharToText(char value)
{
    const auto code = static_cast<unsigned char>(value);
    if (code >= 33 && code <= 127)
        return std::string(1, value);
    std::string text(1, '#');
    text += std::to_string(code);
    return text;
}

char TextToChar(std::string_view text)
{
    if (text.empty())
        return 0;
    if (text.front() != '#' || text.size() == 1)
        return text.front();
    // A decimal integer: one optional sign, then digits only, within 32 bits.
    std::string_view digits = text.substr(1);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (negative || digits.front() == '+'))
        digits.remove_prefix(1);
    std::uint32_t magnitude = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()
        || magnitude > (negative ? 2147483648u : 2147483647u))
        return 0;
    const std::uint32_t number = negative ? 0u - magnitude : magnitude;
    return static_cast<char>(number & 0xFF);
}

std::uint32_t BaudRateValue(TBaudRate value)
{
    static constexpr std::uint32_t rates[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                              14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    const auto index = static_cast<std::size_t>(value);
    return index < std::size(rates) ? rates[index] : 0;
}
