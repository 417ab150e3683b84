#pragma once

#include "serial/posix/RegistryFile.h"
#include "serial/posix/StoreFile.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

enum TRootKey { rkCurrentUser, rkLocalMachine };

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
std::string RootKeyName(TRootKey root);

// The registry of this platform: keys of string and 32-bit integer values
// under two roots, each kept in a REGEDIT4 file. The current user's root is
// CurrentUserFile(); the local machine's is LocalMachineFile(), and a
// process that may not write that file gets what the desktop platform gives
// old programs: its writes go to the user's VirtualStoreFile(), and its reads
// look there first, then in the machine's file.
//
// Values are read from the files as they are; writes collect in memory and
// reach the file in one atomic replace when the key is closed, under the
// file's lock, so that programs storing at once all land.
class TRegistry {
public:
    TRegistry() = default;
    // Drops changes not written by CloseKey.
    ~TRegistry() = default;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // The current user's root, unless set otherwise.
    TRootKey RootKey() const { return rootKey_; }
    // Closes the open key first.
    void SetRootKey(TRootKey value);

    // Opens the key at path below the root (backslashes between the names,
    // one at either end ignored), creating it when missing: a new key comes
    // into the file with its first value. Closes the key open before. False,
    // with no key open, for a path no key can have (an empty name between
    // two backslashes, a line break).
    bool OpenKey(const std::string& path);
    bool HasCurrentKey() const { return !files_.empty(); }
    // The open key's path below the root; empty when none is open.
    const std::string& KeyPath() const { return keyPath_; }
    // The file the root's values are written to: for the local machine's
    // root, the user's virtual store when the machine's file may not be
    // written.
    std::filesystem::path FileName() const;
    // Writes the changes made under the open key and closes it. Throws
    // EStoreError when they cannot be written.
    void CloseKey();

    // A missing value reads as the empty text; a value of another type
    // throws EStoreError.
    std::string ReadString(const std::string& name);
    // A missing value, or one of another type, throws EStoreError.
    std::int32_t ReadInteger(const std::string& name);
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, std::int32_t value);

    static std::filesystem::path CurrentUserFile();
    static std::filesystem::path LocalMachineFile();
    static std::filesystem::path VirtualStoreFile();

private:
    using TFile = TStoredDocument<TRegistryDocument>;

    // Throws EStoreError when no key is open.
    std::string CurrentKey(const std::string& name) const;
    std::optional<TRegistryValue> Lookup(const std::string& name);
    void Write(const std::string& name, const TRegistryValue& value);

    TRootKey rootKey_ = rkCurrentUser;
    std::string keyPath_;
    // The root's files while a key is open: writes go to the first, reads
    // look through them in order.
    std::vector<std::unique_ptr<TFile>> files_;
};
