#include "serial/posix/RegistryFile.h"

#include "serial/TextCase.h"
#include "serial/posix/StoreError.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace {

constexpr std::string_view Signature = "REGEDIT4";

// One logical line of the file: a key's header, a value (which may go on
// over lines ending in a backslash), or a comment or blank line.
struct TEntry {
    enum TKind { Other, Header, Value } Kind = Other;
    std::size_t First = 0;
    std::size_t Count = 1;
    std::string Key; // a header's key; the key a value belongs to
    bool InKey = false; // a value under a key, not under a deletion "[-...]"
    std::string Name;
    std::optional<TRegistryValue> Data; // nothing for a deleted value "=-"
};

std::optional<std::uint32_t> HexNumber(std::string_view digits, std::size_t maxDigits)
{
    std::uint32_t number = 0;
    const char* end = digits.data() + digits.size();
    if (digits.empty() || digits.size() > maxDigits)
        return std::nullopt;
    const auto [stop, error] = std::from_chars(digits.data(), end, number, 16);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return number;
}

// A quoted text at the start of rest, taken off rest; only \\ and \" are
// escapes.
std::optional<std::string> TakeQuoted(std::string_view& rest)
{
    if (!rest.starts_with('"'))
        return std::nullopt;
    std::string text;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        char c = rest[i];
        if (c == '"') {
            rest.remove_prefix(i + 1);
            return text;
        }
        if (c == '\\') {
            if (++i == rest.size() || (rest[i] != '\\' && rest[i] != '"'))
                return std::nullopt;
            c = rest[i];
        }
        text += c;
    }
    return std::nullopt;
}

std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

std::optional<std::string> HexBytes(std::string_view list)
{
    std::string bytes;
    if (TrimBlanks(list).empty())
        return bytes;
    for (;;) {
        const std::size_t comma = list.find(',');
        const std::optional<std::uint32_t> byte = HexNumber(TrimBlanks(list.substr(0, comma)), 2);
        if (!byte)
            return std::nullopt;
        bytes += static_cast<char>(*byte);
        if (comma == std::string_view::npos)
            return bytes;
        list.remove_prefix(comma + 1);
    }
}

// "hex:..." (binary), "hex(n):..." (of type n): strings (types 1 and 2) and
// 4-byte integers (type 4) are read as such, other types as unknown.
std::optional<TRegistryValue> HexData(std::string_view data)
{
    data.remove_prefix(3);
    std::uint32_t type = 3;
    if (data.starts_with('(')) {
        const std::size_t close = data.find(')');
        const std::optional<std::uint32_t> number =
            close == std::string_view::npos ? std::nullopt : HexNumber(data.substr(1, close - 1), 8);
        if (!number)
            return std::nullopt;
        type = *number;
        data.remove_prefix(close + 1);
    }
    if (!data.starts_with(':'))
        return std::nullopt;
    std::optional<std::string> bytes = HexBytes(data.substr(1));
    if (!bytes)
        return std::nullopt;
    if (type == 1 || type == 2) {
        if (!bytes->empty() && bytes->back() == '\0')
            bytes->pop_back();
        return TRegistryValue{rdString, *bytes};
    }
    if (type == 4 && bytes->size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = number << 8 | static_cast<unsigned char>((*bytes)[static_cast<std::size_t>(i)]);
        return TRegistryValue{rdInteger, {}, number};
    }
    return TRegistryValue{};
}

// Reads name = data from a value line; false when it is not one.
bool ReadValue(std::string_view line, TEntry& entry)
{
    if (line.starts_with('@')) {
        line.remove_prefix(1);
    } else {
        std::optional<std::string> name = TakeQuoted(line);
        if (!name)
            return false;
        entry.Name = std::move(*name);
    }
    line = TrimLeadingBlanks(line);
    if (!line.starts_with('='))
        return false;
    std::string_view data = TrimBlanks(line.substr(1));
    if (data == "-")
        return true;
    if (data.starts_with('"')) {
        std::optional<std::string> text = TakeQuoted(data);
        if (!text || !TrimBlanks(data).empty())
            return false;
        entry.Data = TRegistryValue{rdString, std::move(*text)};
        return true;
    }
    const std::string upper = UpperCase(data.substr(0, 6));
    if (upper == "DWORD:") {
        const std::optional<std::uint32_t> number = HexNumber(data.substr(6), 8);
        if (number)
            entry.Data = TRegistryValue{rdInteger, {}, *number};
        return number.has_value();
    }
    if (upper.starts_with("HEX")) {
        entry.Data = HexData(data);
        return entry.Data.has_value();
    }
    return false;
}

// The file's entries, or nothing when a line is none of the kinds; then
// badLine, when given, is that line's index.
std::optional<std::vector<TEntry>> Scan(const TTextLines& lines, std::size_t* badLine = nullptr)
{
    const auto refuse = [badLine](std::size_t line) {
        if (badLine)
            *badLine = line;
        return std::nullopt;
    };
    std::vector<TEntry> entries;
    if (lines.empty())
        return entries;
    if (TrimBlanks(lines.front().Text) != Signature)
        return refuse(0);
    std::optional<std::string> key; // the block's key; nothing in a deletion block
    bool inBlock = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        TEntry entry;
        entry.First = i;
        const std::string_view content = TrimBlanks(lines[i].Text);
        if (content.empty() || content.starts_with(';')) {
            entries.push_back(std::move(entry));
            continue;
        }
        if (content.starts_with('[')) {
            if (content.size() < 3 || !content.ends_with(']'))
                return refuse(i);
            const std::string_view inner = content.substr(1, content.size() - 2);
            inBlock = true;
            key.reset();
            if (!inner.starts_with('-'))
                key = std::string(inner);
            entry.Kind = TEntry::Header;
            entry.Key = std::string(inner);
            entries.push_back(std::move(entry));
            continue;
        }
        if (!inBlock || (!content.starts_with('"') && !content.starts_with('@')))
            return refuse(i);
        // Long hexadecimal data goes on over lines that end in a backslash.
        std::string logical(content);
        while (logical.ends_with('\\') && entry.First + entry.Count < lines.size()) {
            logical.pop_back();
            logical += TrimBlanks(lines[entry.First + entry.Count].Text);
            ++entry.Count;
        }
        if (!ReadValue(logical, entry))
            return refuse(i);
        entry.Kind = TEntry::Value;
        entry.InKey = key.has_value();
        entry.Key = key.value_or("");
        i += entry.Count - 1;
        entries.push_back(std::move(entry));
    }
    return entries;
}

// The entries of a document's lines, which are known to scan.
std::vector<TEntry> Entries(const TTextLines& lines)
{
    return std::move(*Scan(lines));
}

std::string ValueLine(std::string_view name, const TRegistryValue& value)
{
    std::string line = (name.empty() ? std::string("@") : Quoted(name)) + "=";
    char digits[16];
    if (value.DataType == rdInteger) {
        std::snprintf(digits, sizeof digits, "dword:%08x", value.Number);
        return line + digits;
    }
    if (FitsOnALine(value.Text))
        return line + Quoted(value.Text);
    // A string value of the registry ends in a zero byte.
    line += "hex(1):";
    for (const char c : value.Text) {
        std::snprintf(digits, sizeof digits, "%02x,", static_cast<unsigned char>(c));
        line += digits;
    }
    return line + "00";
}

} // namespace

std::optional<TRegistryDocument> TRegistryDocument::Parse(std::string_view bytes)
{
    TRegistryDocument document;
    document.lines_ = SplitLines(bytes);
    if (bytes.find('\0') != std::string_view::npos || !Scan(document.lines_))
        return std::nullopt;
    return document;
}

std::string TRegistryDocument::Refusal(std::string_view bytes)
{
    if (bytes.find('\0') != std::string_view::npos)
        return "it holds a zero byte";
    std::size_t badLine = 0;
    if (Scan(SplitLines(bytes), &badLine))
        return {};
    if (badLine == 0)
        return "line 1 is not " + std::string(Signature);
    return "line " + std::to_string(badLine + 1) + " is not a key, a value, a comment or a blank line";
}

std::optional<TRegistryValue> TRegistryDocument::Value(std::string_view key, std::string_view name) const
{
    std::optional<TRegistryValue> found;
    for (const TEntry& entry : Entries(lines_)) {
        if (entry.Kind == TEntry::Value && entry.InKey && SameText(entry.Key, key) && SameText(entry.Name, name))
            found = entry.Data;
    }
    return found;
}

void TRegistryDocument::SetValue(std::string_view key, std::string_view name, const TRegistryValue& value)
{
    if (key.empty() || key.starts_with('-') || !FitsOnALine(key) || !FitsOnALine(name))
        throw EStoreError("A registry file cannot hold the value '" + std::string(name) + "'");
    if (value.DataType == rdUnknown)
        throw EStoreError("Only strings and integers are stored");

    const std::vector<TEntry> entries = Entries(lines_);
    const TEntry* lastOfKey = nullptr;
    const TEntry* existing = nullptr;
    for (const TEntry& entry : entries) {
        const bool ofKey = (entry.Kind == TEntry::Header || (entry.Kind == TEntry::Value && entry.InKey))
                           && SameText(entry.Key, key);
        if (!ofKey)
            continue;
        lastOfKey = &entry;
        if (entry.Kind == TEntry::Value && SameText(entry.Name, name))
            existing = &entry;
    }
    if (existing) {
        const auto first = lines_.begin() + static_cast<std::ptrdiff_t>(existing->First);
        const std::string end = lines_[existing->First + existing->Count - 1].End;
        lines_.erase(first + 1, first + static_cast<std::ptrdiff_t>(existing->Count));
        *first = {ValueLine(existing->Name, value), end};
        return;
    }
    if (lastOfKey) {
        InsertLine(lines_, lastOfKey->First + lastOfKey->Count, ValueLine(name, value));
        return;
    }
    if (lines_.empty())
        InsertLine(lines_, 0, std::string(Signature));
    if (!TrimBlanks(lines_.back().Text).empty())
        InsertLine(lines_, lines_.size(), "");
    InsertLine(lines_, lines_.size(), "[" + std::string(key) + "]");
    InsertLine(lines_, lines_.size(), ValueLine(name, value));
    InsertLine(lines_, lines_.size(), "");
}
