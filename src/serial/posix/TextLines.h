#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A text file as its lines, each with its own line end, so that a file can
// be changed line by line and every other line is written back byte for byte.
struct TTextLine {
    std::string Text; // without the line end
    std::string End;  // "\r\n", "\n", or empty on a last line without one
    friend bool operator==(const TTextLine&, const TTextLine&) = default;
};

using TTextLines = std::vector<TTextLine>;

TTextLines SplitLines(std::string_view bytes);
std::string JoinLines(const TTextLines& lines);

// Inserts a line before position index. It ends like the file's first line
// (a file without line ends gets "\n"); a last line without an end that now
// stands before it gets one.
void InsertLine(TTextLines& lines, std::size_t index, std::string text);

// Without the spaces and tabs around it (and a carriage return at the end of
// a last line that lacks the line feed).
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimLeadingBlanks(std::string_view text);

// Whether text can stand on one line: no line feed, carriage return or zero
// byte.
bool FitsOnALine(std::string_view text);
