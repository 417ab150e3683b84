#include "serial/CPort.h"

#include "support/TemporaryStores.h"

#include <QElapsedTimer>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

namespace {

const std::pair<TSettingsStorage, std::string> Stores[] = {{ssRegistry, "HKEY_CURRENT_USER\\Software\\Fault"},
                                                           {ssIniFile, "fault.ini"}};

// Generation g gives the port name and every integer setting a value made
// from g, so that a store holding parts of two generations shows.
void SetGeneration(TCustomComPort& port, std::int32_t g)
{
    port.SetPort("G" + std::to_string(g));
    port.SetCustomBaudRate(g);
    port.Buffer().SetInputSize(2 * g), port.Buffer().SetOutputSize(2 * g);
    TComTimeouts& t = port.Timeouts();
    t.SetReadInterval(g), t.SetReadTotalConstant(g), t.SetReadTotalMultiplier(g), t.SetWriteTotalConstant(g),
        t.SetWriteTotalMultiplier(g);
}

void PrepareGenerations(TCustomComPort& port, const std::string& name)
{
    port.SetName(name);
    port.SetStoredProps({spBasic, spBuffer, spTimeouts});
    port.SetBaudRate(brCustom);
}

// A child process storing generations first, first + 1, ... (count 0: no
// end), telling each one stored through a pipe.
class TWriter {
public:
    TWriter(TSettingsStorage kind, const std::string& path, const std::string& name, long first, long count)
    {
        int pipe[2];
        EXPECT_EQ(pipe2(pipe, O_CLOEXEC), 0);
        pid_ = fork();
        if (pid_ == 0) {
            TComPort port;
            PrepareGenerations(port, name);
            for (long g = first; count == 0 || g < first + count; ++g) {
                SetGeneration(port, static_cast<std::int32_t>(g));
                try {
                    port.SaveSettings(kind, path);
                } catch (...) {
                    _exit(1);
                }
                if (write(pipe[1], &g, sizeof g) != sizeof g)
                    _exit(1);
            }
            _exit(0);
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

    // The exit status, -1 when killed.
    int End(int signal = 0)
    {
        if (signal)
            kill(pid_, signal);
        for (long g; read(output_, &g, sizeof g) == sizeof g;)
            lastStored_ = g;
        int status = 0;
        waitpid(std::exchange(pid_, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    long LastStored(long none) const { return lastStored_ < 0 ? none : lastStored_; }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    long lastStored_ = -1;
};

// The generation in the store; every setting must be of that one.
long StoredGeneration(TSettingsStorage kind, const std::string& path, const std::string& name)
{
    TComPort port, expected;
    PrepareGenerations(port, name);
    port.RestoreSettings(kind, path);
    PrepareGenerations(expected, name);
    SetGeneration(expected, port.CustomBaudRate());
    EXPECT_EQ(Settings(port), Settings(expected));
    return port.CustomBaudRate();
}

TEST(StoreFaultTest, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewSettings)
{
    const TTemporaryStores stores;
    std::mt19937 random(9);
    for (const auto& [kind, path] : Stores) {
        ASSERT_EQ(TWriter(kind, path, "ComPort", 0, 1).End(), 0);
        long stored = 0;
        int kills = 0;
        QElapsedTimer clock;
        clock.start();
        while (kills < 200 && clock.elapsed() < 2000) {
            TWriter writer(kind, path, "ComPort", stored + 1, 0);
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
            EXPECT_EQ(writer.End(SIGKILL), -1);
            ++kills;
            const long reported = writer.LastStored(stored);
            const long found = StoredGeneration(kind, path, "ComPort");
            ASSERT_TRUE(found == reported || found == reported + 1) << kind << ": " << found << " after " << reported;
            stored = found;
        }
        // No lock is left behind to hold up the next store.
        EXPECT_EQ(TWriter(kind, path, "ComPort", stored + 1, 1).End(), 0);
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
        EXPECT_EQ(first.End() + second.End(), 0);
        EXPECT_EQ(StoredGeneration(kind, path, "PortA"), 29) << kind;
        EXPECT_EQ(StoredGeneration(kind, path, "PortB"), 29) << kind;
    }
}

} // namespace
