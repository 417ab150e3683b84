#pragma once

#include <string>
#include <string_view>
#include <vector>

// Cuts the bytes the program sends into exposure commands. CR or LF closes
// a command; CR LF and LF CR count as one line end, even when the pair is
// split across reads. Text with no line end is held until the caller sees
// the line go idle and takes it.
class TCommandSplitter {
public:
    void Feed(std::string_view bytes, std::vector<std::string>& commands);

    bool HasPartial() const { return !partial.empty(); }
    std::string TakePartial();

private:
    std::string partial;
    char lastLineEnd = 0; // the line end just seen, if the previous byte was one
};
