#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A spectrum CSV file as the program writes it: comment lines "# name:
// value", a line of column names, then rows of numbers.
struct TSpectrumTable {
    std::vector<std::pair<std::string, std::string>> Comments;
    std::vector<std::string> Columns;
    std::vector<std::vector<double>> Rows;

    // The column's index, or -1.
    int Column(std::string_view name) const;
    // The comment's value, or the empty text.
    std::string Comment(std::string_view name) const;
};

// Reads such a file (LF or CR LF line ends). Raises ESpectrum naming the
// line that has a value that is not a number or a different number of
// values than there are columns, and for a file without column names.
TSpectrumTable ParseSpectrumCsv(std::string_view text);
