// INI files: any text without a zero byte reads and is written back byte
// for byte; an entry set reads back as set (without its surrounding blanks),
// in any letter case, also from the file text it leaves.
//
// Input: section, key and value, each after a byte counting its length,
// then the file.
#include "FuzzCheck.h"

#include "serial/posix/IniDocument.h"
#include "serial/posix/StoreError.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::string WithoutBlanks(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view section = TakeCounted(input);
    const std::string_view key = TakeCounted(input);
    const std::string_view value = TakeCounted(input);

    std::optional<TIniDocument> document = TIniDocument::Parse(input);
    Require(document.has_value() == (input.find('\0') == std::string_view::npos),
            "every text without a zero byte is a document");
    if (!document)
        document = TIniDocument::Parse("");
    Require(document->Bytes() == (input.find('\0') == std::string_view::npos ? input : ""),
            "a document is written back byte for byte");

    try {
        document->SetValue(section, key, value);
    } catch (const EStoreError&) {
        return 0;
    }
    const std::string expected = WithoutBlanks(value);
    Require(document->Value(section, key) == expected, "an entry reads back as set");
    const std::optional<TIniDocument> reread = TIniDocument::Parse(document->Bytes());
    Require(reread.has_value(), "the text written is a document");
    Require(reread->Value(section, key) == expected, "an entry reads back from the text written");
    Require(reread->Value(WithAsciiCase(section, true), WithAsciiCase(key, true)) == expected, "names match in any letter case");
    return 0;
}
