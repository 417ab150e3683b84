#include "remote/ScpiSyntax.h"

#include "remote/ScpiErrors.h"

#include <algorithm>
#include <charconv>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameLetters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    return true;
}

std::vector<std::string_view> Nodes(std::string_view header)
{
    std::vector<std::string_view> nodes;
    while (true) {
        const std::size_t colon = header.find(':');
        nodes.push_back(header.substr(0, colon));
        if (colon == std::string_view::npos)
            return nodes;
        header.remove_prefix(colon + 1);
    }
}

struct TPatternNode {
    std::string_view Mnemonic;
    bool Optional;
};

// Pattern nodes: "SYSTem:ERRor[:NEXT]" gives SYSTem, ERRor and optional NEXT.
std::vector<TPatternNode> PatternNodes(std::string_view pattern)
{
    std::vector<TPatternNode> nodes;
    while (!pattern.empty()) {
        const bool optional = pattern.front() == '[';
        if (optional)
            pattern.remove_prefix(1);
        if (!pattern.empty() && pattern.front() == ':')
            pattern.remove_prefix(1);
        const std::size_t end = std::min(pattern.find_first_of(optional ? "]" : ":["), pattern.size());
        nodes.push_back({pattern.substr(0, end), optional});
        pattern.remove_prefix(end + (optional && end < pattern.size() ? 1 : 0));
    }
    return nodes;
}

// Pattern nodes from `p` on match header nodes from `h` on.
bool NodesMatch(const std::vector<std::string_view>& header, std::size_t h, const std::vector<TPatternNode>& pattern,
                std::size_t p)
{
    if (p == pattern.size())
        return h == header.size();
    if (h < header.size() && MnemonicMatches(header[h], pattern[p].Mnemonic)
        && NodesMatch(header, h + 1, pattern, p + 1))
        return true;
    return pattern[p].Optional && NodesMatch(header, h, pattern, p + 1);
}

} // namespace

std::vector<std::string_view> SplitUnits(std::string_view line)
{
    std::vector<std::string_view> units;
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            throw EScpiError(ScpiError::InvalidCharacter);
        if (quote) {
            if (c == quote)
                quote = 0; // a doubled quote closes and opens again
        } else if (c == '"' || c == '\'') {
            quote = static_cast<char>(c);
        } else if (c == ';') {
            units.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    if (quote)
        throw EScpiError(ScpiError::SyntaxError, "unclosed quote");
    units.push_back(line.substr(start));
    return units;
}

TScpiUnit SplitUnit(std::string_view unit)
{
    unit = Trimmed(unit);
    if (!unit.empty() && unit.front() == ':')
        unit.remove_prefix(1);
    std::size_t end = 0;
    while (end < unit.size() && !IsBlank(unit[end]))
        ++end;
    const std::string_view header = unit.substr(0, end);
    for (const char c : header) {
        const bool letterOrDigit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && c != ':' && c != '*' && c != '?' && c != '_')
            throw EScpiError(ScpiError::CommandError, "header with '" + std::string(1, c) + "'");
    }
    return {header, Trimmed(unit.substr(end))};
}

bool MnemonicMatches(std::string_view word, std::string_view mnemonic)
{
    std::size_t shortLength = 0;
    while (shortLength < mnemonic.size() && Upper(mnemonic[shortLength]) == mnemonic[shortLength])
        ++shortLength;
    return SameLetters(word, mnemonic) || SameLetters(word, mnemonic.substr(0, shortLength));
}

bool HeaderMatches(std::string_view header, std::string_view pattern)
{
    if (header.empty())
        return false;
    return NodesMatch(Nodes(header), 0, PatternNodes(pattern), 0);
}

void ExpectNoParameter(std::string_view parameters)
{
    if (!Trimmed(parameters).empty())
        throw EScpiError(ScpiError::ParameterNotAllowed);
}

std::string TextParameter(std::string_view parameters)
{
    parameters = Trimmed(parameters);
    if (parameters.empty())
        throw EScpiError(ScpiError::MissingParameter);
    const char quote = parameters.front();
    if (quote != '"' && quote != '\'') {
        if (parameters.find_first_of(", \t") != std::string_view::npos)
            throw EScpiError(ScpiError::ParameterNotAllowed, "one word or a quoted text");
        return std::string(parameters);
    }
    std::string text;
    std::size_t i = 1;
    for (; i < parameters.size(); ++i) {
        if (parameters[i] == quote) {
            if (i + 1 < parameters.size() && parameters[i + 1] == quote) {
                text += quote;
                ++i;
                continue;
            }
            break;
        }
        text += parameters[i];
    }
    if (i + 1 != parameters.size())
        throw EScpiError(ScpiError::ParameterNotAllowed, "text after the quoted text");
    return text;
}

std::int32_t IntegerParameter(std::string_view parameters)
{
    parameters = Trimmed(parameters);
    if (parameters.empty())
        throw EScpiError(ScpiError::MissingParameter);
    if (parameters.front() == '+')
        parameters.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(parameters.data(), parameters.data() + parameters.size(), value);
    if (error == std::errc::result_out_of_range && end == parameters.data() + parameters.size())
        throw EScpiError(ScpiError::DataOutOfRange);
    if (error != std::errc() || end != parameters.data() + parameters.size())
        throw EScpiError(ScpiError::DataTypeError, "a whole number is expected");
    return value;
}

bool BooleanParameter(std::string_view parameters)
{
    const std::size_t choice = ChoiceParameter(parameters, {"OFF", "ON", "0", "1"});
    return choice % 2 == 1;
}

std::size_t ChoiceParameter(std::string_view parameters, const std::vector<std::string_view>& choices)
{
    parameters = Trimmed(parameters);
    if (parameters.empty())
        throw EScpiError(ScpiError::MissingParameter);
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (MnemonicMatches(parameters, choices[i]))
            return i;
    throw EScpiError(ScpiError::IllegalParameterValue, std::string(parameters.substr(0, 32)));
}
