#pragma once

#include "serial/posix/IniDocument.h"
#include "serial/posix/StoreFile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// An INI file, read and written entry by entry. A file name without a
// directory names a file in the user's directory (ConfigPaths::
// UserDirectory()). A missing file reads as empty and is created by the
// first UpdateFile with changes.
class TIniFile {
public:
    // Throws EStoreError for an empty file name.
    explicit TIniFile(const std::string& fileName);

    const std::filesystem::path& FileName() const { return document_.Path(); }

    // The default when the entry is missing.
    std::string ReadString(std::string_view section, std::string_view ident, const std::string& defaultValue);
    // A decimal number, or a hexadecimal one after "0x", "0X" or "$"; any
    // other text gives the default, as a missing entry does.
    std::int32_t ReadInteger(std::string_view section, std::string_view ident, std::int32_t defaultValue);

    void WriteString(std::string_view section, std::string_view ident, std::string_view value);
    // As decimal text.
    void WriteInteger(std::string_view section, std::string_view ident, std::int32_t value);

    // Writes all changes in one atomic replace of the file. Changes not
    // written this way are dropped with the object.
    void UpdateFile() { document_.Commit(); }

private:
    TStoredDocument<TIniDocument> document_;
};
