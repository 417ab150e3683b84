// The remote-control interpreter on a client's bytes: cut into lines the
// same way however the bytes arrive, every answer one line, the error
// queue within its bound, and no line kept beyond the input's limit.
//
// Input: the bytes a client sends. The first byte also chooses the read
// sizes of the cut feed.
#include "FuzzCheck.h"

#include "../remote/FakeInstrument.h"

#include "remote/ScpiInput.h"
#include "remote/ScpiInterpreter.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Everything the client is answered, fed in reads of `read` bytes.
std::string Session(std::string_view bytes, std::size_t read)
{
    TFakeInstrument instrument;
    instrument.spectrum = {1.5, -2, 3};
    instrument.readings = {1, 2, 3};
    instrument.wavelengths = {6, 7, 8};
    TScpiInterpreter interpreter(instrument);
    TScpiInput input;
    std::string answers;
    for (std::size_t at = 0; at < bytes.size(); at += read) {
        input.Feed(bytes.substr(at, read));
        while (std::optional<TScpiInput::TLine> line = input.Next()) {
            Require(line->Text.size() <= TScpiInput::MaxLine, "a kept line is within the limit");
            Require(line->Text.find('\n') == std::string::npos, "a line holds no line end");
            if (line->TooLong) {
                interpreter.LineTooLong();
                continue;
            }
            const std::string answer = interpreter.Execute(line->Text);
            Require(answer.empty() || (answer.back() == '\n' && answer.find('\n') == answer.size() - 1),
                    "an answer is one line");
            Require(interpreter.Errors().Size() <= TScpiErrorQueue::Capacity, "the error queue is bounded");
            answers += answer;
        }
    }
    answers += interpreter.Execute("SYST:ERR?");
    return answers;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string whole = Session(bytes, std::max<size_t>(size, 1));
    Require(Session(bytes, size > 0 ? data[0] % 16 + 1 : 1) == whole, "reads of any size give the same answers");
    return 0;
}
