// Registry files: a file that reads is written back byte for byte; a value
// set, string or integer, reads back as set, with names in any letter case,
// also from the file text it leaves, which reads again.
//
// Input: key (below HKEY_CURRENT_USER), value name and value, each after a
// byte counting its length, then a byte choosing string (even) or integer
// (odd, the value's first four bytes), then the file.
#include "FuzzCheck.h"

#include "serial/posix/RegistryFile.h"
#include "serial/posix/StoreError.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string key = "HKEY_CURRENT_USER\\" + std::string(TakeCounted(input));
    const std::string_view name = TakeCounted(input);
    const std::string_view valueBytes = TakeCounted(input);
    const bool integer = !input.empty() && (input.front() & 1) != 0;
    if (!input.empty())
        input.remove_prefix(1);

    TRegistryValue value;
    if (integer) {
        value.DataType = rdInteger;
        std::memcpy(&value.Number, valueBytes.data(), std::min(valueBytes.size(), sizeof value.Number));
    } else {
        value.DataType = rdString;
        value.Text = std::string(valueBytes);
    }

    std::optional<TRegistryDocument> document = TRegistryDocument::Parse(input);
    if (document)
        Require(document->Bytes() == input, "a file that reads is written back byte for byte");
    else
        document = TRegistryDocument::Parse("");

    try {
        document->SetValue(key, name, value);
    } catch (const EStoreError&) {
        return 0;
    }
    Require(document->Value(key, name) == value, "a value reads back as set");
    const std::optional<TRegistryDocument> reread = TRegistryDocument::Parse(document->Bytes());
    Require(reread.has_value(), "the text written reads again");
    Require(reread->Value(key, name) == value, "a value reads back from the text written");
    Require(reread->Value(WithAsciiCase(key, true), WithAsciiCase(name, true)) == value, "names match in any letter case");
    return 0;
}
