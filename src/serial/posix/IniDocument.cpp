#include "serial/posix/IniDocument.h"

#include "serial/TextCase.h"
#include "serial/posix/StoreError.h"

namespace {

struct TIniLine {
    enum TKind { Other, Section, Entry } Kind = Other;
    std::string_view Name;
    std::size_t ValueStart = 0; // of an entry: where its value begins in the line
};

TIniLine Classify(std::string_view text)
{
    const std::string_view content = TrimLeadingBlanks(text);
    if (content.starts_with('[')) {
        const std::size_t close = content.rfind(']');
        if (close != std::string_view::npos && close > 0)
            return {TIniLine::Section, TrimBlanks(content.substr(1, close - 1))};
    }
    if (content.starts_with(';'))
        return {};
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return {};
    std::size_t valueStart = equals + 1;
    while (valueStart < text.size() && (text[valueStart] == ' ' || text[valueStart] == '\t'))
        ++valueStart;
    return {TIniLine::Entry, TrimBlanks(text.substr(0, equals)), valueStart};
}

// A key that reads back as itself: not empty, no "=", and not taken for a
// section or a comment.
bool IsKeyName(std::string_view key)
{
    return !key.empty() && key.find('=') == std::string_view::npos && !key.starts_with('[')
           && !key.starts_with(';');
}

} // namespace

std::optional<TIniDocument> TIniDocument::Parse(std::string_view bytes)
{
    if (bytes.find('\0') != std::string_view::npos)
        return std::nullopt;
    TIniDocument document;
    document.lines_ = SplitLines(bytes);
    return document;
}

std::string TIniDocument::Refusal(std::string_view bytes)
{
    return bytes.find('\0') != std::string_view::npos ? "it holds a zero byte" : "";
}

std::optional<TIniDocument::TSectionLines> TIniDocument::FindSection(std::string_view name) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const TIniLine line = Classify(lines_[i].Text);
        if (line.Kind != TIniLine::Section || !SameText(line.Name, name))
            continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && Classify(lines_[end].Text).Kind != TIniLine::Section)
            ++end;
        return TSectionLines{i, end};
    }
    return std::nullopt;
}

std::optional<std::string> TIniDocument::Value(std::string_view section, std::string_view key) const
{
    const std::optional<TSectionLines> lines = FindSection(TrimBlanks(section));
    if (!lines)
        return std::nullopt;
    key = TrimBlanks(key);
    for (std::size_t i = lines->Header + 1; i < lines->End; ++i) {
        const std::string_view text = lines_[i].Text;
        const TIniLine line = Classify(text);
        if (line.Kind == TIniLine::Entry && SameText(line.Name, key))
            return std::string(TrimBlanks(text.substr(line.ValueStart)));
    }
    return std::nullopt;
}

void TIniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value)
{
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (!FitsOnALine(section) || !FitsOnALine(key) || !FitsOnALine(value) || !IsKeyName(key))
        throw EStoreError("An INI file cannot hold the entry '" + std::string(key) + "'");
    const std::string entry = std::string(key) + "=" + std::string(value);

    const std::optional<TSectionLines> lines = FindSection(section);
    if (!lines) {
        if (!lines_.empty() && !TrimBlanks(lines_.back().Text).empty())
            InsertLine(lines_, lines_.size(), "");
        InsertLine(lines_, lines_.size(), "[" + std::string(section) + "]");
        InsertLine(lines_, lines_.size(), entry);
        return;
    }
    std::size_t lastEntry = lines->Header;
    for (std::size_t i = lines->Header + 1; i < lines->End; ++i) {
        std::string& text = lines_[i].Text;
        const TIniLine line = Classify(text);
        if (line.Kind != TIniLine::Entry)
            continue;
        if (SameText(line.Name, key)) {
            // The line keeps its own spelling of the key and its layout.
            text = text.substr(0, line.ValueStart) + std::string(value);
            return;
        }
        lastEntry = i;
    }
    InsertLine(lines_, lastEntry + 1, entry);
}
