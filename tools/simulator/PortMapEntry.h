#pragma once

#include <filesystem>
#include <string>

// The simulator's entry in the user's port map, for as long as it lives. On
// the way out it removes the entry only if it still names this device, so a
// later simulator that took over the name keeps it.
class TPortMapEntry {
public:
    TPortMapEntry(std::string name, std::filesystem::path devicePath);
    ~TPortMapEntry();
    TPortMapEntry(const TPortMapEntry&) = delete;
    TPortMapEntry& operator=(const TPortMapEntry&) = delete;

private:
    std::string name;
    std::filesystem::path devicePath;
};
