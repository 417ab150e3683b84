// The simulator's command splitter: the commands do not depend on how the
// bytes were cut into reads, and agree with a plain reference that looks
// ahead for the second half of a CR LF or LF CR pair.
//
// Input: the bytes the program sends. The first byte also chooses the read
// sizes of the cut feed.
#include "FuzzCheck.h"

#include "simulator/CommandSplitter.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

struct TSplit {
    std::vector<std::string> commands;
    std::string partial;

    bool operator==(const TSplit&) const = default;
};

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

TSplit Reference(std::string_view bytes)
{
    TSplit split;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (!IsLineEnd(bytes[i])) {
            split.partial += bytes[i];
            continue;
        }
        split.commands.push_back(std::exchange(split.partial, {}));
        if (i + 1 < bytes.size() && IsLineEnd(bytes[i + 1]) && bytes[i + 1] != bytes[i])
            ++i;
    }
    return split;
}

// In reads of `read` bytes.
TSplit Feed(std::string_view bytes, size_t read)
{
    TCommandSplitter splitter;
    TSplit split;
    for (size_t at = 0; at < bytes.size(); at += read)
        splitter.Feed(bytes.substr(at, read), split.commands);
    Require(splitter.HasPartial() == !Reference(bytes).partial.empty(), "a partial command is there exactly when text is held");
    split.partial = splitter.TakePartial();
    Require(!splitter.HasPartial(), "taking the partial command leaves none");
    return split;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TSplit expected = Reference(bytes);
    Require(Feed(bytes, std::max<size_t>(size, 1)) == expected, "one read splits as the reference does");
    Require(Feed(bytes, 1) == expected, "byte by byte splits as the reference does");
    Require(Feed(bytes, size > 0 ? data[0] % 16 + 1 : 1) == expected, "reads of any size split as the reference does");

    std::string kept;
    for (const std::string& command : expected.commands) {
        Require(command.find_first_of("\r\n") == std::string::npos, "a command holds no line end");
        kept += command;
    }
    kept += expected.partial;
    std::string text(bytes);
    std::erase_if(text, IsLineEnd);
    Require(kept == text, "the commands hold every byte but the line ends");
    return 0;
}
