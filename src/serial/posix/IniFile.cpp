#include "serial/posix/IniFile.h"

#include "common/IntegerConversion.h"
#include "serial/posix/ConfigPaths.h"

namespace fs = std::filesystem;

namespace {

fs::path IniPath(const std::string& fileName)
{
    if (fileName.empty())
        throw EStoreError("No INI file is named");
    if (fileName.find('/') == std::string::npos)
        return ConfigPaths::UserDirectory() / fileName;
    return fileName;
}

} // namespace

// Only the user's directory is made when missing; a directory the caller
// names must exist.
TIniFile::TIniFile(const std::string& fileName)
    : document_(IniPath(fileName), fileName.find('/') == std::string::npos)
{
}

std::string TIniFile::ReadString(std::string_view section, std::string_view ident, const std::string& defaultValue)
{
    return document_.Read().Value(section, ident).value_or(defaultValue);
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view ident, std::int32_t defaultValue)
{
    const std::string text = ReadString(section, ident, "");
    const bool hexadecimal = text.starts_with("0x") || text.starts_with("0X") || text.starts_with('$');
    const bool decimal = !text.empty() && text.find_first_not_of("+-0123456789") == std::string::npos;
    std::int32_t value = defaultValue;
    if (hexadecimal || decimal)
        TryStrToInt(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())), value);
    return value;
}

void TIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value)
{
    document_.Change([&](TIniDocument& document) { document.SetValue(section, ident, value); });
}

void TIniFile::WriteInteger(std::string_view section, std::string_view ident, std::int32_t value)
{
    WriteString(section, ident, std::to_string(value));
}
