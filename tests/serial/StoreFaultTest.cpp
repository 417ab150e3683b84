#include "serial/CPort.h"

#include "support/TemporaryStores.h"

#include <QElapsedTimer>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

const std::pair<const char*, std::string> Stores[] = {{"registry", "HKEY_CURRENT_USER\\Software\\Fault"},
                                                      {"ini", "fault.ini"}};

TSettingsStorage Kind(const std::string& name)
{
    return name == "ini" ? ssIniFile : ssRegistry;
}

// A running serial_store_writer and the generations it has printed.
class TWriter {
public:
    TWriter(const char* kind, const std::string& path, const std::string& name, long first, long count)
    {
        int pipe[2];
        EXPECT_EQ(pipe2(pipe, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
        const std::string numbers[] = {std::to_string(first), std::to_string(count)};
        const char* argv[] = {STORE_WRITER_PROGRAM, kind, path.c_str(), name.c_str(),
                              numbers[0].c_str(), numbers[1].c_str(), nullptr};
        EXPECT_EQ(posix_spawn(&pid_, STORE_WRITER_PROGRAM, &actions, nullptr, const_cast<char**>(argv), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(pipe[1]);
        output_ = pipe[0];
    }
    ~TWriter()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(output_);
    }

    // Waits (bounded) until the writer has stored once.
    bool WaitForAStore()
    {
        pollfd entry{output_, POLLIN, 0};
        return poll(&entry, 1, 5000) == 1 && Take();
    }
    // Kills the writer, or waits for its end: its exit status, or -1 when
    // killed.
    int Kill() { return End(SIGKILL); }
    int Finish() { return End(0); }
    // The last generation printed, -1 for none.
    long LastPrinted() const
    {
        const std::size_t end = printed_.find_last_of('\n');
        if (end == std::string::npos)
            return -1;
        const std::size_t start = printed_.find_last_of('\n', end - 1);
        return std::stol(printed_.substr(start == std::string::npos ? 0 : start + 1));
    }

private:
    bool Take()
    {
        char buffer[4096];
        const ssize_t n = read(output_, buffer, sizeof buffer);
        if (n > 0)
            printed_.append(buffer, static_cast<std::size_t>(n));
        return n > 0;
    }
    int End(int signal)
    {
        if (signal)
            kill(pid_, signal);
        while (Take()) {
        }
        int status = 0;
        waitpid(std::exchange(pid_, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    pid_t pid_ = -1;
    int output_ = -1;
    std::string printed_;
};

// The generation the store holds for the component; every setting must be
// of that one generation.
long StoredGeneration(TSettingsStorage kind, const std::string& path, const std::string& name)
{
    TComPort port;
    port.SetName(name);
    port.SetStoredProps({spBasic, spBuffer, spTimeouts});
    port.RestoreSettings(kind, path);
    const std::int32_t g = port.CustomBaudRate();
    const TComTimeouts& t = port.Timeouts();
    EXPECT_EQ(port.Port(), "G" + std::to_string(g));
    EXPECT_EQ(std::vector({port.Buffer().InputSize(), port.Buffer().OutputSize(), t.ReadInterval(),
                           t.ReadTotalConstant(), t.ReadTotalMultiplier(), t.WriteTotalConstant(),
                           t.WriteTotalMultiplier()}),
              std::vector({2 * g, 2 * g, g, g, g, g, g}));
    return g;
}

TEST(StoreFaultTest, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewSettings)
{
    const TTemporaryStores stores;
    std::mt19937 random(9);
    for (const auto& [kind, path] : Stores) {
        ASSERT_EQ(TWriter(kind, path, "ComPort", 0, 1).Finish(), 0);
        long stored = 0;
        int kills = 0;
        QElapsedTimer clock;
        clock.start();
        while (kills < 150 && clock.elapsed() < 3000) {
            TWriter writer(kind, path, "ComPort", stored + 1, 0);
            if (!writer.WaitForAStore()) { system(("ls -la " + std::string(getenv("XDG_CONFIG_HOME")) + "/mirelda; cat " + std::string(getenv("XDG_CONFIG_HOME")) + "/mirelda/*.lock | od -c | head").c_str()); FAIL(); }
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
            EXPECT_EQ(writer.Kill(), -1);
            ++kills;
            const long printed = writer.LastPrinted();
            const long found = StoredGeneration(Kind(kind), path, "ComPort");
            ASSERT_TRUE(found == printed || found == printed + 1) << kind << " holds " << found << " after " << printed;
            stored = found;
        }
        EXPECT_GE(kills, 30) << kind;
    }
}

TEST(StoreFaultTest, TwoWritersStoringAtOnceBothLand)
{
    const TTemporaryStores stores;
    for (const auto& [kind, path] : Stores) {
        TWriter first(kind, path, "PortA", 0, 50);
        TWriter second(kind, path, "PortB", 0, 50);
        EXPECT_EQ(first.Finish(), 0);
        EXPECT_EQ(second.Finish(), 0);
        EXPECT_EQ(StoredGeneration(Kind(kind), path, "PortA"), 49) << kind;
        EXPECT_EQ(StoredGeneration(Kind(kind), path, "PortB"), 49) << kind;
    }
}

} // namespace
