#include "serial/posix/Registry.h"

#include "serial/posix/ConfigPaths.h"

#include <utility>

namespace fs = std::filesystem;

std::string RootKeyName(TRootKey root)
{
    return root == rkLocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

fs::path TRegistry::CurrentUserFile()
{
    return ConfigPaths::UserDirectory() / "HKEY_CURRENT_USER.reg";
}

fs::path TRegistry::LocalMachineFile()
{
    return ConfigPaths::MachineDirectory() / "HKEY_LOCAL_MACHINE.reg";
}

fs::path TRegistry::VirtualStoreFile()
{
    return ConfigPaths::UserDirectory() / "VirtualStore" / "HKEY_LOCAL_MACHINE.reg";
}

void TRegistry::SetRootKey(TRootKey value)
{
    CloseKey();
    rootKey_ = value;
}

bool TRegistry::OpenKey(const std::string& path)
{
    CloseKey();
    std::string_view names = path;
    if (names.starts_with('\\'))
        names.remove_prefix(1);
    if (names.ends_with('\\'))
        names.remove_suffix(1);
    const bool emptyName = names.starts_with('\\') || names.ends_with('\\') || names.find("\\\\") != names.npos;
    if (emptyName || !FitsOnALine(names))
        return false;
    keyPath_ = names;

    // The user's own files are made with their directory; the machine's
    // directory is the administrator's to make. Reads from the virtual store
    // fall back on the machine's file.
    const fs::path written = FileName();
    files_.push_back(std::make_unique<TFile>(written, written != LocalMachineFile()));
    if (written == VirtualStoreFile())
        files_.push_back(std::make_unique<TFile>(LocalMachineFile(), false));
    return true;
}

fs::path TRegistry::FileName() const
{
    if (!files_.empty())
        return files_.front()->Path();
    if (rootKey_ == rkCurrentUser)
        return CurrentUserFile();
    return TStoreFile::MayReplace(LocalMachineFile()) ? LocalMachineFile() : VirtualStoreFile();
}

void TRegistry::CloseKey()
{
    const std::vector<std::unique_ptr<TFile>> files = std::exchange(files_, {});
    if (!files.empty())
        files.front()->Commit();
}

std::string TRegistry::CurrentKey(const std::string& name) const
{
    if (files_.empty())
        throw EStoreError("No registry key is open for '" + name + "'");
    return keyPath_.empty() ? RootKeyName(rootKey_) : RootKeyName(rootKey_) + "\\" + keyPath_;
}

std::optional<TRegistryValue> TRegistry::Lookup(const std::string& name)
{
    const std::string key = CurrentKey(name);
    // Every file is read, so that one that cannot be parsed always fails.
    for (const std::unique_ptr<TFile>& file : files_)
        file->Read();
    for (const std::unique_ptr<TFile>& file : files_) {
        if (std::optional<TRegistryValue> value = file->Read().Value(key, name))
            return value;
    }
    return std::nullopt;
}

std::string TRegistry::ReadString(const std::string& name)
{
    const std::optional<TRegistryValue> value = Lookup(name);
    if (!value)
        return {};
    if (value->DataType != rdString)
        throw EStoreError("Invalid data type for '" + name + "'");
    return value->Text;
}

std::int32_t TRegistry::ReadInteger(const std::string& name)
{
    const std::optional<TRegistryValue> value = Lookup(name);
    if (!value)
        throw EStoreError("Failed to get data for '" + name + "'");
    if (value->DataType != rdInteger)
        throw EStoreError("Invalid data type for '" + name + "'");
    return static_cast<std::int32_t>(value->Number);
}

void TRegistry::Write(const std::string& name, const TRegistryValue& value)
{
    const std::string key = CurrentKey(name);
    files_.front()->Change([&](TRegistryDocument& document) { document.SetValue(key, name, value); });
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    Write(name, {rdString, value});
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value)
{
    Write(name, {rdInteger, {}, static_cast<std::uint32_t>(value)});
}
