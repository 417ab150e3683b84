#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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

// Whether the thread has begun to exit (the kernel's PF_EXITING flag, field 9
// of its stat line), or is gone already.
inline bool ThreadExiting(const std::filesystem::path& task)
{
    constexpr unsigned long ExitingFlag = 0x4;
    std::ifstream file(task / "stat");
    std::string line;
    std::getline(file, line);
    const std::size_t nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos)
        return true;
    std::istringstream fields(line.substr(nameEnd + 1));
    std::string state;
    long skipped = 0;
    unsigned long flags = 0;
    fields >> state >> skipped >> skipped >> skipped >> skipped >> skipped >> flags;
    return !fields || (flags & ExitingFlag) != 0;
}

// The threads still running. A thread that has been joined is left out:
// joining returns once the thread has left user space, but the kernel may
// list it for a few microseconds more while it finishes exiting (longer
// when other processes keep it busy creating and reaping processes).
inline int ThreadCount()
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
        count += ThreadExiting(entry.path()) ? 0 : 1;
    return count;
}
