#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

// Cuts a client's bytes into command lines: LF ends a line, a CR before it
// is dropped. A line longer than MaxLine is not kept: its bytes are dropped
// up to the LF that ends it, and the line comes out marked too long, so the
// memory held never exceeds what was fed at once plus MaxLine.
class TScpiInput {
public:
    static constexpr std::size_t MaxLine = 4096;

    struct TLine {
        std::string Text;
        bool TooLong = false;
    };

    void Feed(std::string_view bytes);
    // The oldest complete line, if any.
    std::optional<TLine> Next();
    bool HasLine() const { return !lines_.empty(); }

private:
    void EndLine();

    std::deque<TLine> lines_;
    std::string partial_;
    bool overflowed_ = false;
};
