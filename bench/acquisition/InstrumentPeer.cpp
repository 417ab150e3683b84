#include "InstrumentPeer.h"

#include "simulator/CommandSplitter.h"
#include "simulator/FrameBuilder.h"
#include "simulator/SensorModel.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

namespace {

constexpr int Fields = 512;
constexpr int32_t Exposure = 100;
constexpr uint32_t Seed = 1;
constexpr int PollMs = 100;

int64_t ThreadCpuNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

} // namespace

TInstrumentPeer::TInstrumentPeer(int baud, int frames, std::function<void()> finished, TReply reply, TPace pace)
    : mapEntry("COM11", terminal.PortPath())
    , pacer(baud, 0, 0, Seed)
    , reply(std::move(reply))
    , pace(pace)
{
    arrivals.reserve(size_t(frames));
    frameEnds.reserve(size_t(frames));
    thread = std::thread([this, frames, finished = std::move(finished)] { Serve(frames, finished); });
}

TInstrumentPeer::~TInstrumentPeer()
{
    stopping = true;
    thread.join();
}

void TInstrumentPeer::Serve(int frames, const std::function<void()>& finished)
{
    TSensorModel generator(Fields, Seed);
    std::vector<int> readings;
    std::string frame;
    for (int number = 1; number <= frames && !stopping; ++number) {
        if ((number == 1 || pace == TPace::AnswerEachCommand) && !WaitForCommand())
            break;
        if (!reply) {
            generator.Generate(Exposure, readings);
            frame.clear();
            AppendFrame(frame, {uint64_t(number), Exposure, Fields}, readings, TLineEnd::CrLf);
        }
        const std::string& sent = reply ? reply(number) : frame;
        frameBytes = sent.size();
        WriteFrame(sent);
        frameEnds.push_back(TClock::now());
        cpuNanoseconds = ThreadCpuNanoseconds();
    }
    finished();
}

bool TInstrumentPeer::WaitForCommand()
{
    TCommandSplitter splitter;
    std::vector<std::string> commands;
    char buffer[256];
    while (commands.empty()) {
        pollfd ready = {terminal.ControllerFd(), POLLIN, 0};
        if (poll(&ready, 1, PollMs) < 0 && errno != EINTR)
            return false;
        if (stopping)
            return false;
        const ssize_t count = read(terminal.ControllerFd(), buffer, sizeof buffer);
        if (count > 0)
            splitter.Feed(std::string_view(buffer, size_t(count)), commands);
    }
    arrivals.push_back(TClock::now());
    return true;
}

void TInstrumentPeer::WriteFrame(const std::string& frame)
{
    size_t written = 0;
    for (const TDelivery& delivery : pacer.Plan(frame.size(), TClock::now())) {
        if (stopping)
            return;
        std::this_thread::sleep_until(delivery.Due);
        while (written < delivery.End && !stopping) {
            const ssize_t count = write(terminal.ControllerFd(), frame.data() + written, delivery.End - written);
            if (count > 0) {
                written += size_t(count);
                bytesWritten += uint64_t(count);
                cpuNanoseconds = ThreadCpuNanoseconds();
                continue;
            }
            pollfd ready = {terminal.ControllerFd(), POLLOUT, 0};
            poll(&ready, 1, PollMs);
        }
    }
}
