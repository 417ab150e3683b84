#include "remote/ScpiInput.h"

#include <utility>

void TScpiInput::Feed(std::string_view bytes)
{
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, end);
        if (!overflowed_) {
            if (partial_.size() + piece.size() > MaxLine + 1) { // + 1: a CR before the LF
                overflowed_ = true;
                partial_.clear();
                partial_.shrink_to_fit();
            } else {
                partial_.append(piece);
            }
        }
        if (end == std::string_view::npos)
            return;
        EndLine();
        bytes.remove_prefix(end + 1);
    }
}

void TScpiInput::EndLine()
{
    if (!partial_.empty() && partial_.back() == '\r')
        partial_.pop_back();
    const bool tooLong = overflowed_ || partial_.size() > MaxLine;
    lines_.push_back({tooLong ? std::string() : std::exchange(partial_, {}), tooLong});
    partial_.clear();
    overflowed_ = false;
}

std::optional<TScpiInput::TLine> TScpiInput::Next()
{
    if (lines_.empty())
        return std::nullopt;
    TLine line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}
