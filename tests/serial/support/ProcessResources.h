#pragma once

#include <filesystem>

// What the process holds right now, to find leaked descriptors and threads.
inline int CountEntries(const char* directory)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(directory))
        ++count;
    return count;
}

inline int OpenDescriptorCount()
{
    return CountEntries("/proc/self/fd");
}

inline int ThreadCount()
{
    return CountEntries("/proc/self/task");
}
