#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The pieces of SCPI's syntax the interpreter needs. Anything a client got
// wrong raises an EScpiError with the matching command error.

// A program message's units: the line cut at every ';' outside quotes.
// An unclosed quote is a syntax error; a control character (other than a
// tab) anywhere is an invalid character.
std::vector<std::string_view> SplitUnits(std::string_view line);

// One unit: its header, without a leading ':', and its parameter text,
// both without surrounding blanks.
struct TScpiUnit {
    std::string_view Header;
    std::string_view Parameters;
    bool Query() const { return !Header.empty() && Header.back() == '?'; }
};
TScpiUnit SplitUnit(std::string_view unit);

// Whether a header (without its '?') names the pattern, "FETCh:SPECtrum"
// or "SYSTem:ERRor[:NEXT]": each node in its long or its short form (the
// capitals), in any letter case; a node in brackets may be left out.
bool HeaderMatches(std::string_view header, std::string_view pattern);
// Whether one word is a mnemonic's long or short form, e.g. "tran" for
// "TRANsmittance".
bool MnemonicMatches(std::string_view word, std::string_view mnemonic);

// Parameters. Each takes the whole parameter text of a unit.
void ExpectNoParameter(std::string_view parameters);
// A quoted string ("..." or '...', the quote doubled inside) or a bare word.
std::string TextParameter(std::string_view parameters);
// Decimal, optionally signed; out of the 32-bit range is out of range.
std::int32_t IntegerParameter(std::string_view parameters);
// ON, OFF, 1 or 0.
bool BooleanParameter(std::string_view parameters);
// The index of the choice (mnemonics such as "SCOPe") the parameter names.
std::size_t ChoiceParameter(std::string_view parameters, const std::vector<std::string_view>& choices);
