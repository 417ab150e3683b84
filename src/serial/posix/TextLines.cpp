#include "serial/posix/TextLines.h"

namespace {

constexpr std::string_view Blanks = " \t\r";

} // namespace

TTextLines SplitLines(std::string_view bytes)
{
    TTextLines lines;
    while (!bytes.empty()) {
        const std::size_t feed = bytes.find('\n');
        std::string_view text = bytes.substr(0, feed);
        std::string end;
        if (feed == std::string_view::npos) {
            bytes = {};
        } else {
            bytes.remove_prefix(feed + 1);
            end = "\n";
            if (!text.empty() && text.back() == '\r') {
                text.remove_suffix(1);
                end = "\r\n";
            }
        }
        lines.push_back({std::string(text), std::move(end)});
    }
    return lines;
}

std::string JoinLines(const TTextLines& lines)
{
    std::string bytes;
    for (const TTextLine& line : lines)
        bytes += line.Text + line.End;
    return bytes;
}

void InsertLine(TTextLines& lines, std::size_t index, std::string text)
{
    std::string end = "\n";
    if (!lines.empty() && !lines.front().End.empty())
        end = lines.front().End;
    if (index > 0 && lines[index - 1].End.empty()) {
        // A carriage return it ended in becomes part of its line end, as a
        // new reading of the file would take it.
        TTextLine& previous = lines[index - 1];
        previous.End = previous.Text.ends_with('\r') ? "\r\n" : end;
        if (previous.Text.ends_with('\r'))
            previous.Text.pop_back();
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), {std::move(text), end});
}

std::string_view TrimLeadingBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(Blanks);
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view TrimBlanks(std::string_view text)
{
    text = TrimLeadingBlanks(text);
    return text.substr(0, text.find_last_not_of(Blanks) + 1);
}

bool FitsOnALine(std::string_view text)
{
    return text.find_first_of(std::string_view("\n\r\0", 3)) == std::string_view::npos;
}
