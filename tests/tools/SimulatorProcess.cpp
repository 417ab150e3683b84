#include "SimulatorProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>
#include <utility>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

// Appends what one read gives; false on end of data, error or timeout.
bool ReadSome(int fd, std::string& into, Clock::time_point deadline)
{
    pollfd ready = {fd, POLLIN, 0};
    if (poll(&ready, 1, MillisecondsLeft(deadline)) <= 0)
        return false;
    char buffer[65536];
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count <= 0)
        return false;
    into.append(buffer, static_cast<size_t>(count));
    return true;
}

} // namespace

TSimulatorProcess::TSimulatorProcess(const std::vector<std::string>& arguments)
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return;
    std::vector<std::string> words{SIMULATOR_PROGRAM};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    if (posix_spawn(&pid, SIMULATOR_PROGRAM, &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    outputFd = pipeFds[0];
}

TSimulatorProcess::~TSimulatorProcess()
{
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (outputFd >= 0)
        close(outputFd);
}

std::string TSimulatorProcess::StartLine()
{
    const Clock::time_point deadline = Clock::now() + Patience;
    size_t end;
    while ((end = output.find('\n')) == std::string::npos)
        if (!ReadOutput(deadline))
            return {};
    std::string line = output.substr(0, end);
    output.erase(0, end + 1);
    return line;
}

void TSimulatorProcess::Signal(int signal)
{
    if (pid > 0)
        kill(pid, signal);
}

int TSimulatorProcess::WaitForExit()
{
    const Clock::time_point deadline = Clock::now() + Patience;
    while (ReadOutput(deadline)) {
    }
    int status = 0;
    while (pid > 0 && Clock::now() < deadline) {
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) {
            pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
}

bool TSimulatorProcess::ReadOutput(Clock::time_point deadline)
{
    return outputFd >= 0 && ReadSome(outputFd, output, deadline);
}

TPortEnd::TPortEnd(const std::string& path)
    : fd(open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC))
{
    termios raw{};
    if (fd >= 0 && tcgetattr(fd, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(fd, TCSANOW, &raw);
    }
}

TPortEnd::~TPortEnd()
{
    if (fd >= 0)
        close(fd);
}

void TPortEnd::Send(const std::string& bytes)
{
    size_t sent = 0;
    while (fd >= 0 && sent < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + sent, bytes.size() - sent);
        if (count < 0 && errno != EINTR)
            return;
        sent += static_cast<size_t>(std::max<ssize_t>(count, 0));
    }
}

std::string TPortEnd::ReadFrame()
{
    const Clock::time_point deadline = Clock::now() + TSimulatorProcess::Patience;
    size_t end;
    while ((end = pending.find('e')) == std::string::npos)
        if (!ReadSome(fd, pending, deadline))
            return std::exchange(pending, {});
    std::string frame = pending.substr(0, end + 1);
    pending.erase(0, end + 1);
    return frame;
}

std::string TPortEnd::ReadFor(std::chrono::milliseconds window)
{
    const Clock::time_point deadline = Clock::now() + window;
    while (ReadSome(fd, pending, deadline)) {
    }
    return std::exchange(pending, {});
}
