#pragma once

#include "serial/posix/TextLines.h"

#include <optional>
#include <string>
#include <string_view>

// The text of an INI file with the platform's profile rules: a line
// "[name]" opens a section, a line "key=value" is an entry of the section
// above it, a line starting with ";" is a comment. Section and key names
// match without regard to letter case, blanks around names and values do not
// count, and the first section and the first entry of a name are the ones
// that count. Every line that is not changed stays byte for byte, line end
// included.
class TIniDocument {
public:
    // Any text is an INI document; bytes with a zero byte in them (a binary
    // file, a text in a 16-bit encoding) give nothing.
    static std::optional<TIniDocument> Parse(std::string_view bytes);
    // Why Parse gives nothing for the bytes; empty when it does not.
    static std::string Refusal(std::string_view bytes);
    std::string Bytes() const { return JoinLines(lines_); }

    // The entry's value, or nothing when the section or the entry is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

    // Replaces the value of the entry in place; a new entry goes after the
    // last entry of its section, a new section to the end of the file.
    // Throws EStoreError for a name or value the file cannot hold.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);

    friend bool operator==(const TIniDocument&, const TIniDocument&) = default;

private:
    struct TSectionLines {
        std::size_t Header;
        std::size_t End; // the next section's header, or the end of the file
    };
    std::optional<TSectionLines> FindSection(std::string_view name) const;

    TTextLines lines_;
};
