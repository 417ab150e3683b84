#include "serial/posix/LineInputDecoder.h"

void TLineInputDecoder::SetOptions(const TOptions& options)
{
    if (options == options_)
        return;
    options_ = options;
    state_ = TState::Data;
}

TLineInputDecoder::TResult TLineInputDecoder::Decode(const std::uint8_t* input, std::size_t count,
                                                     std::uint8_t* output)
{
    TResult result;
    auto emit = [&](std::uint8_t byte) {
        if (!(options_.DiscardNull && byte == 0))
            output[result.Length++] = byte;
    };
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t byte = input[i];
        switch (state_) {
        case TState::Data:
            if (options_.Marks && byte == 0xFF)
                state_ = TState::AfterMark;
            else
                emit(byte);
            break;
        case TState::AfterMark:
            if (byte == 0x00) {
                state_ = TState::AfterMarkZero;
                break;
            }
            state_ = TState::Data;
            emit(0xFF);
            // Anything but a second 0xFF was not a mark (marking was just
            // switched on): the byte stands for itself.
            if (byte != 0xFF)
                emit(byte);
            break;
        case TState::AfterMarkZero:
            state_ = TState::Data;
            if (byte == 0x00) {
                result.Break = true;
            } else {
                result.Error = true;
                emit(options_.ReplaceErrors ? options_.ErrorChar : byte);
            }
            break;
        }
    }
    return result;
}
