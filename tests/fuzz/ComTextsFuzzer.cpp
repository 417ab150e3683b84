// The text forms of the port settings: every conversion from text gives the
// value whose text matches without regard to letter case, or the fallback;
// every value's text converts back to it in any letter case; a character
// survives its text form.
//
// Input: any text.
#include "FuzzCheck.h"

#include "serial/ComTexts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

// One enumeration's table and conversions.
template <typename E, size_t N>
void CheckEnumeration(std::string_view text, const std::array<std::string_view, N>& texts, E fallback,
                      std::string (*toText)(E), E (*fromText)(std::string_view))
{
    std::optional<size_t> match;
    for (size_t i = 0; i < N && !match; ++i) {
        if (WithAsciiCase(texts[i], true) == WithAsciiCase(text, true))
            match = i;
    }
    const E value = fromText(text);
    Require(value == (match ? E(*match) : fallback), "text converts to the first entry it matches, else the fallback");
    for (size_t i = 0; i < N; ++i) {
        const std::string entry = toText(E(i));
        Require(entry == texts[i], "a value's text is its table entry");
        Require(fromText(entry) == E(i) && fromText(WithAsciiCase(entry, true)) == E(i) && fromText(WithAsciiCase(entry, false)) == E(i),
                "a value's text converts back in any letter case");
    }
}

// "#" and the decimal code: an optional sign, digits, within 32 bits.
std::optional<int64_t> DecimalInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > int64_t(1) << 32)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return value;
}

char ReferenceTextToChar(std::string_view text)
{
    if (text.empty())
        return 0;
    if (text[0] != '#' || text.size() == 1)
        return text[0];
    const std::optional<int64_t> code = DecimalInteger(text.substr(1));
    return code ? char(uint8_t(uint32_t(int32_t(*code)) & 0xFF)) : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckEnumeration(text, BaudRateTexts, br9600, BaudRateToText, TextToBaudRate);
    CheckEnumeration(text, StopBitsTexts, sbOneStopBit, StopBitsToText, TextToStopBits);
    CheckEnumeration(text, DataBitsTexts, dbEight, DataBitsToText, TextToDataBits);
    CheckEnumeration(text, ParityBitsTexts, prNone, ParityToText, TextToParity);
    CheckEnumeration(text, FlowControlTexts, fcCustom, FlowControlToText, TextToFlowControl);
    CheckEnumeration(text, DTRFlowControlTexts, dtrDisable, DtrControlToText, TextToDtrControl);
    CheckEnumeration(text, RTSFlowControlTexts, rtsDisable, RtsControlToText, TextToRtsControl);

    Require(TextToBool(text) == (WithAsciiCase(text, true) == "YES"), "a Boolean is true exactly for yes in any letter case");
    Require(TextToBool(BoolToText(true)) && !TextToBool(BoolToText(false)), "Booleans convert back");

    Require(TextToChar(text) == ReferenceTextToChar(text), "character text agrees with the reference");
    for (const char c : text) {
        const std::string form = CharToText(c);
        const auto code = uint8_t(c);
        Require(form == (code >= 33 && code <= 127 ? std::string(1, c) : "#" + std::to_string(code)),
                "a character's text is itself or # and its code");
        Require(TextToChar(form) == c, "a character survives its text form");
    }
    return 0;
}
