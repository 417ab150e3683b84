#include "serial/CPort.h"

#include "support/TemporaryStores.h"

#include <QElapsedTimer>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::pair<TSettingsStorage, std::string> Stores[] = {{ssRegistry, "HKEY_CURRENT_USER\\Software\\Fault"},
                                                           {ssIniFile, "fault.ini"}};
const TStoredProps Groups{spBasic, spBuffer, spTimeouts};

// Stores generations first, first + 1, ... (count 0: without end) and writes
// each stored one to fd. Generation g gives the port name and every integer
// setting a value made from g, so a file holding parts of two shows.
[[noreturn]] void StoreGenerations(TSettingsStorage kind, const std::string& path, const std::string& name,
                                   long first, long count, int fd)
{
    try {
        TComPort port;
        port.SetName(name);
        port.SetStoredProps(Groups);
        port.SetBaudRate(brCustom);
        for (long g = first; count == 0 || g < first + count; ++g) {
            const auto value = static_cast<std::int32_t>(g);
            port.SetPort("G" + std::to_string(g));
            port.SetCustomBaudRate(value);
            port.Buffer().SetInputSize(2 * value);
            port.Buffer().SetOutputSize(2 * value);
            TComTimeouts& t = port.Timeouts();
            for (void (TComTimeouts::*set)(std::int32_t) :
                 {&TComTimeouts::SetReadInterval, &TComTimeouts::SetReadTotalConstant,
                  &TComTimeouts::SetReadTotalMultiplier, &TComTimeouts::SetWriteTotalConstant,
                  &TComTimeouts::SetWriteTotalMultiplier})
                (t.*set)(value);
            port.SaveSettings(kind, path);
            const std::string line = std::to_string(g) + "\n";
            if (write(fd, line.data(), line.size()) < 0)
                _exit(1);
        }
    } catch (...) {
        _exit(1);
    }
    _exit(0);
}

// A child process storing generations, and what it reported.
class TWriter {
public:
    TWriter(TSettingsStorage kind, const std::string& path, const std::string& name, long first, long count)
    {
        int pipe[2];
        EXPECT_EQ(pipe2(pipe, O_CLOEXEC), 0);
        pid_ = fork();
        if (pid_ == 0) {
            close(pipe[0]);
            StoreGenerations(kind, path, name, first, count, pipe[1]);
        }
        close(pipe[1]);
        output_ = pipe[0];
    }
    ~TWriter()
    {
        if (pid_ > 0)
            End(SIGKILL);
        close(output_);
    }
    TWriter(const TWriter&) = delete;
    TWriter& operator=(const TWriter&) = delete;

    // Kills the child, or waits for its end: the exit status, -1 if killed.
    int Kill() { return End(SIGKILL); }
    int Finish() { return End(0); }
    // The last generation reported, or the given one for none.
    long LastStored(long none) const
    {
        const std::size_t end = reported_.find_last_of('\n');
        if (end == std::string::npos)
            return none;
        const std::size_t start = end == 0 ? std::string::npos : reported_.find_last_of('\n', end - 1);
        return std::stol(reported_.substr(start == std::string::npos ? 0 : start + 1));
    }

private:
    int End(int signal)
    {
        if (signal)
            kill(pid_, signal);
        char buffer[4096];
        for (ssize_t n; (n = read(output_, buffer, sizeof buffer)) > 0;)
            reported_.append(buffer, static_cast<std::size_t>(n));
        int status = 0;
        waitpid(std::exchange(pid_, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    pid_t pid_ = -1;
    int output_ = -1;
    std::string reported_;
};

// The generation the store holds for the component; every setting must be
// of that one generation.
long StoredGeneration(TSettingsStorage kind, const std::string& path, const std::string& name)
{
    TComPort port;
    port.SetName(name);
    port.SetStoredProps(Groups);
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
        while (kills < 200 && clock.elapsed() < 2000) {
            TWriter writer(kind, path, "ComPort", stored + 1, 0);
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
            EXPECT_EQ(writer.Kill(), -1);
            ++kills;
            const long reported = writer.LastStored(stored);
            const long found = StoredGeneration(kind, path, "ComPort");
            ASSERT_TRUE(found == reported || found == reported + 1) << kind << ": " << found << " after " << reported;
            stored = found;
        }
        // No lock left behind holds up the next store.
        EXPECT_EQ(TWriter(kind, path, "ComPort", stored + 1, 1).Finish(), 0);
        EXPECT_EQ(StoredGeneration(kind, path, "ComPort"), stored + 1);
        EXPECT_GT(stored, 0) << kind << " never stored between " << kills << " kills";
    }
}

TEST(StoreFaultTest, TwoWritersStoringAtOnceBothLand)
{
    const TTemporaryStores stores;
    for (const auto& [kind, path] : Stores) {
        TWriter first(kind, path, "PortA", 0, 30);
        TWriter second(kind, path, "PortB", 0, 30);
        EXPECT_EQ(first.Finish(), 0);
        EXPECT_EQ(second.Finish(), 0);
        EXPECT_EQ(StoredGeneration(kind, path, "PortA"), 29) << kind;
        EXPECT_EQ(StoredGeneration(kind, path, "PortB"), 29) << kind;
    }
}

} // namespace
