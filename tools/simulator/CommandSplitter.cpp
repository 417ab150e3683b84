#include "simulator/CommandSplitter.h"

#include <utility>

void TCommandSplitter::Feed(std::string_view bytes, std::vector<std::string>& commands)
{
    for (const char c : bytes) {
        if (c != '\r' && c != '\n') {
            partial += c;
            lastLineEnd = 0;
        } else if (lastLineEnd != 0 && lastLineEnd != c) {
            lastLineEnd = 0; // second half of a CR LF or LF CR pair
        } else {
            commands.push_back(TakePartial());
            lastLineEnd = c;
        }
    }
}

std::string TCommandSplitter::TakePartial()
{
    return std::exchange(partial, {});
}
