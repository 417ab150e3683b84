// The frame decoder and both integer conversions against a plain reference
// written from the protocol's rules.
//
// Input: offset text, NUL, gain text, NUL, the receive log. Without two
// NULs the whole input is the log and both scale texts are empty.
#include "FuzzCheck.h"

#include "app/FrameDecoder.h"
#include "common/IntegerConversion.h"
#include "common/Exception.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The integer text grammar: leading blanks, a sign, a hexadecimal prefix,
// then digits, read as far as they fit.
struct TParsed {
    bool negative = false;
    bool hexadecimal = false;
    bool hasDigits = false;
    bool stoppedEarly = false; // at a character that does not fit, or a digit too many
    uint64_t value = 0;        // of the digits taken
};

int DigitOf(char c, bool hexadecimal)
{
    const std::string_view digits = hexadecimal ? "0123456789abcdef" : "0123456789";
    const size_t at = digits.find(char(std::tolower(static_cast<unsigned char>(c))));
    return at == std::string_view::npos ? -1 : int(at);
}

TParsed Parse(std::string_view text)
{
    TParsed parsed;
    const size_t start = text.find_first_not_of(' ');
    std::string_view rest = start == std::string_view::npos ? std::string_view() : text.substr(start);
    if (!rest.empty() && (rest[0] == '-' || rest[0] == '+')) {
        parsed.negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    for (const std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
        if (rest.substr(0, prefix.size()) == prefix) {
            parsed.hexadecimal = true;
            rest.remove_prefix(prefix.size());
            break;
        }
    }
    // A digit is taken only while the value so far can grow by one digit
    // within 32 bits; decimal stops above 214748364, so that 2147483648 and
    // 2147483649 still get through.
    const uint64_t lastExtendable = parsed.hexadecimal ? 0x0FFFFFFFu : 214748364u;
    for (const char c : rest) {
        const int digit = DigitOf(c, parsed.hexadecimal);
        if (digit < 0 || parsed.value > lastExtendable) {
            parsed.stoppedEarly = true;
            return parsed;
        }
        parsed.value = parsed.value * (parsed.hexadecimal ? 16 : 10) + uint64_t(digit);
        parsed.hasDigits = true;
    }
    return parsed;
}

int32_t Wrapped(uint64_t value, bool negative)
{
    const uint32_t bits = uint32_t(value);
    return int32_t(negative ? 0u - bits : bits);
}

std::optional<int32_t> ReferenceStrict(std::string_view text)
{
    const TParsed parsed = Parse(text);
    if (!parsed.hasDigits || parsed.stoppedEarly)
        return std::nullopt;
    if (!parsed.hexadecimal && parsed.value > (parsed.negative ? 2147483648u : 2147483647u))
        return std::nullopt;
    return Wrapped(parsed.value, parsed.negative);
}

int32_t ReferenceLenient(std::string_view text)
{
    const TParsed parsed = Parse(text);
    if (!parsed.hasDigits || parsed.stoppedEarly)
        return int32_t(uint32_t(parsed.value));
    return Wrapped(parsed.value, parsed.negative);
}

// An error's message as what() gives it: a C string, so it ends at a NUL
// of the field text.
std::string ConversionMessage(std::string_view text)
{
    return std::string(("'" + std::string(text) + "' is not a valid integer value").c_str());
}

// The decode, step by step as the protocol describes it, on fresh tables.
struct TReferenceFrame {
    std::vector<std::string> texts = std::vector<std::string>(TFrameDecoder::MaxFields);
    std::vector<int32_t> values = std::vector<int32_t>(TFrameDecoder::MaxFields);
    std::string error; // the conversion error's message, if one ended the decode
    bool foundEnd = false;
};

TReferenceFrame ReferenceDecode(std::string_view log)
{
    TReferenceFrame frame;
    std::string field;
    int count = 0;
    for (size_t position = 0; position < log.size(); ++position) {
        const char c = log[position];
        if (c != '\n' && c != '\r')
            field += c;
        if (c == '\r') {
            ++count;
            if (count <= TFrameDecoder::MaxFields) {
                frame.texts[size_t(count - 1)] = field;
                if (count > TFrameDecoder::HeaderFields) {
                    const std::optional<int32_t> value = ReferenceStrict(field);
                    if (!value) {
                        frame.error = ConversionMessage(field);
                        return frame;
                    }
                    frame.values[size_t(count - 1)] = *value;
                }
            }
            field.clear();
        }
        if (c == 'e') {
            frame.foundEnd = true;
            return frame;
        }
    }
    return frame;
}

std::string_view TakeUntilNul(std::string_view& input)
{
    const size_t nul = input.find('\0');
    const std::string_view part = input.substr(0, nul);
    input.remove_prefix(nul == std::string_view::npos ? input.size() : nul + 1);
    return part;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view rest = input;
    std::string_view offsetText;
    std::string_view gainText;
    std::string_view log = input;
    if (std::count(input.begin(), input.end(), '\0') >= 2) {
        offsetText = TakeUntilNul(rest);
        gainText = TakeUntilNul(rest);
        log = rest;
    }

    // The conversions on each part and on the log as one text.
    for (const std::string_view text : {offsetText, gainText, log}) {
        const QByteArrayView view(text.data(), qsizetype(text.size()));
        Require(StrToIntLenient(view) == ReferenceLenient(text), "lenient conversion agrees with the reference");
        std::optional<int32_t> strict;
        try {
            strict = StrToInt(view);
        } catch (const EConvertError& error) {
            Require(error.what() == ConversionMessage(text), "strict conversion error names the text");
        }
        Require(strict == ReferenceStrict(text), "strict conversion agrees with the reference");
    }

    auto decoder = std::make_unique<TFrameDecoder>();
    const TReferenceFrame expected = ReferenceDecode(log);
    std::string error;
    bool foundEnd = false;
    try {
        foundEnd = decoder->Decode(QByteArrayView(log.data(), qsizetype(log.size())));
    } catch (const EConvertError& conversion) {
        error = conversion.what();
    }
    Require(error == expected.error, "decode fails exactly where the reference does");
    Require(!error.empty() || foundEnd == expected.foundEnd, "decode finds the frame end the reference finds");
    for (int field = 1; field <= TFrameDecoder::MaxFields; ++field) {
        const QByteArray& text = decoder->FieldText(field);
        Require(std::string_view(text.constData(), size_t(text.size())) == expected.texts[size_t(field - 1)],
                "field text agrees with the reference");
        Require(decoder->FieldValue(field) == expected.values[size_t(field - 1)], "field value agrees with the reference");
    }

    decoder->ReadScale(QByteArrayView(offsetText.data(), qsizetype(offsetText.size())),
                       QByteArrayView(gainText.data(), qsizetype(gainText.size())));
    for (int x = TFrameDecoder::FirstPlottedField; x <= TFrameDecoder::LastPlottedField; ++x) {
        const int64_t y = 256 - int64_t(decoder->FieldValue(x)) * decoder->GainValue() - decoder->OffsetValue();
        Require(decoder->PlotY(x) == int32_t(uint32_t(uint64_t(y))), "plotted y wraps as 32-bit arithmetic");
    }
    return 0;
}
