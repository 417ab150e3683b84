#pragma once

#include <cstddef>
#include <cstdint>

// Turns the bytes read from the device into the bytes the receive queue
// gets. With marks on, the kernel has marked the input (PARMRK): 0xFF 0xFF
// is a data byte 0xFF, 0xFF 0x00 0x00 a break, and 0xFF 0x00 c a character
// c received with a parity or framing error. A marked character is kept,
// or replaced by the error character; breaks give no data; NULs may be
// dropped. A mark split between two reads is completed by the next one.
class TLineInputDecoder {
public:
    struct TOptions {
        bool Marks = false;
        bool ReplaceErrors = false;
        std::uint8_t ErrorChar = 0;
        bool DiscardNull = false;

        friend bool operator==(const TOptions&, const TOptions&) = default;
    };

    struct TResult {
        std::size_t Length = 0; // bytes written to the output
        bool Break = false;
        bool Error = false;
    };

    // Changing the options drops a half-read mark.
    void SetOptions(const TOptions& options);
    // Whether the input needs decoding at all; if not, bytes pass unchanged.
    bool Active() const { return options_.Marks || options_.DiscardNull; }

    // output must have room for count + 1 bytes.
    TResult Decode(const std::uint8_t* input, std::size_t count, std::uint8_t* output);

private:
    enum class TState { Data, AfterMark, AfterMarkZero };

    TOptions options_;
    TState state_ = TState::Data;
};
