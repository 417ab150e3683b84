#pragma once

#include "serial/posix/TextLines.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The kinds of registry values; the store writes strings and 32-bit
// integers and reads other kinds only to report them as of the wrong type.
enum TRegDataType { rdUnknown, rdString, rdInteger };

struct TRegistryValue {
    TRegDataType DataType = rdUnknown;
    std::string Text;         // of a string
    std::uint32_t Number = 0; // of an integer
    friend bool operator==(const TRegistryValue&, const TRegistryValue&) = default;
};

// A registry export in the registry editor's classic text format:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\Software\Vorel\ComPort]
//   "Port"="COM11"
//   "CustomBaudRate"=dword:00002580
//
// Key and value names match without regard to letter case and keep the
// spelling they were first written with; as on import, the last entry of a
// name counts. Strings escape "\" and the quote with a backslash; a string
// holding a line break or a zero byte is written as hex(1) bytes. Comments
// (";"), blank lines, keys of other roots and every line not changed stay
// byte for byte, line end included.
class TRegistryDocument {
public:
    // Empty bytes are an empty document; other bytes must start with the
    // line REGEDIT4 and hold only keys, values, comments and blank lines.
    // Anything else gives nothing.
    static std::optional<TRegistryDocument> Parse(std::string_view bytes);
    // Why Parse gives nothing for the bytes, naming the line; empty when it
    // does not.
    static std::string Refusal(std::string_view bytes);
    std::string Bytes() const { return JoinLines(lines_); }

    // key is the full path, root name first
    // ("HKEY_CURRENT_USER\Software\Test\ComPort"). Nothing when the value is
    // missing or deleted.
    std::optional<TRegistryValue> Value(std::string_view key, std::string_view name) const;

    // Replaces the value in place; a new value goes after the last value of
    // its key, a new key to the end of the file. Throws EStoreError for a
    // key or name the file cannot hold and for a value of unknown type.
    void SetValue(std::string_view key, std::string_view name, const TRegistryValue& value);

    friend bool operator==(const TRegistryDocument&, const TRegistryDocument&) = default;

private:
    TTextLines lines_;
};
