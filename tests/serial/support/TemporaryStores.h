#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The user's place (XDG_CONFIG_HOME: port map, stored settings) and the
// machine's place (MIRELDA_MACHINE_CONFIG_DIR) private to one test, in a
// temporary directory, both writable by anyone, for as long as it lives.
class TTemporaryStores {
public:
    TTemporaryStores();
    ~TTemporaryStores();
    TTemporaryStores(const TTemporaryStores&) = delete;
    TTemporaryStores& operator=(const TTemporaryStores&) = delete;

    std::filesystem::path Directory() const { return directory_.path().toStdString(); }

private:
    QTemporaryDir directory_;
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// The file's bytes, empty when it is missing.
std::string FileBytes(const std::filesystem::path& path);
// Makes the file (and its directory) with these bytes.
void MakeFile(const std::filesystem::path& path, const std::string& bytes);

class TCustomComPort;
// Every setting a port stores, as one text, for comparing ports.
std::string Settings(const TCustomComPort& port);

// While it lives, a test running as root acts as the user nobody, so that a
// read-only file or directory is one for the code under test too.
class TUnprivileged {
public:
    TUnprivileged();
    ~TUnprivileged();
    TUnprivileged(const TUnprivileged&) = delete;
    TUnprivileged& operator=(const TUnprivileged&) = delete;

private:
    bool switched_ = false;
};
