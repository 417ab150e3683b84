#include "simulator/Simulator.h"

#include "simulator/LampOptions.h"

#include "common/IntegerConversion.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace {

// On its way out the simulator waits for the program to read the last frame,
// since closing the pseudo-terminal discards what is still unread. Written
// bytes reach the port's queue a little later (the kernel hands them over
// asynchronously), so the queue must stay empty for a while to count as read.
constexpr std::chrono::seconds DrainLimit{2};
constexpr std::chrono::milliseconds DrainSettle{50};
constexpr std::chrono::milliseconds DrainPoll{1};

// Waits for the descriptors until the deadline (none: no limit).
void Wait(pollfd* fds, nfds_t count, std::optional<TClock::time_point> deadline)
{
    timespec timeout{};
    if (deadline) {
        const auto left = std::max(*deadline - TClock::now(), TClock::duration::zero());
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        timeout.tv_sec = seconds.count();
        timeout.tv_nsec = std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count();
    }
    if (ppoll(fds, count, deadline ? &timeout : nullptr, nullptr) < 0 && errno != EINTR)
        throw std::system_error(errno, std::generic_category(), "poll failed");
}

} // namespace

TSimulator::TSimulator(const TSimulatorOptions& options)
    : options(options)
    , mapEntry(options.Name, terminal.PortPath())
    , lampLines(options.Lamp.Lamp ? LampEmissionLines(options.Lamp, options.Fields) : std::vector<TEmissionLine>())
    , generator(options.Fields, options.Seed, options.Sample,
                options.Lamp.Lamp ? std::optional(std::span<const TEmissionLine>(lampLines)) : std::nullopt)
    , pacer(options.Baud, options.ChunkMin, options.ChunkMax, options.Seed)
    , faultRandom(options.Seed)
{
}

uint64_t TSimulator::Run(int stopFd)
{
    for (;;) {
        TClock::time_point now = TClock::now();
        if (!FrameInProgress())
            StartNextFrame(now);
        const bool portFull = FrameInProgress() && !WriteDue(now);
        if (FrameLimitReached())
            break;
        if (!FrameInProgress() && !commands.empty())
            continue; // serve the next queued command at once

        pollfd fds[2] = {{stopFd, POLLIN, 0},
                         {terminal.ControllerFd(), static_cast<short>(POLLIN | (portFull ? POLLOUT : 0)), 0}};
        Wait(fds, 2, NextDeadline(portFull));
        if (fds[0].revents != 0)
            return framesServed;
        if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL))
            throw std::runtime_error("the pseudo-terminal failed");
        now = TClock::now();
        if (fds[1].revents & POLLIN)
            ReadCommands(now);
        TakeIdleCommand(now);
    }
    WaitUntilReadOrStopped(stopFd);
    return framesServed;
}

void TSimulator::ReadCommands(TClock::time_point now)
{
    char buffer[4096];
    std::vector<std::string> received;
    for (;;) {
        const ssize_t count = read(terminal.ControllerFd(), buffer, sizeof buffer);
        if (count > 0) {
            splitter.Feed(std::string_view(buffer, static_cast<size_t>(count)), received);
            lastInput = now;
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN)
            throw std::system_error(errno, std::generic_category(), "cannot read the pseudo-terminal");
        break;
    }
    commands.insert(commands.end(), received.begin(), received.end());
}

void TSimulator::TakeIdleCommand(TClock::time_point now)
{
    if (splitter.HasPartial() && now - lastInput >= IdleGap)
        commands.push_back(splitter.TakePartial());
}

void TSimulator::StartNextFrame(TClock::time_point now)
{
    if (commands.empty())
        return;
    const int32_t exposure = StrToIntLenient(commands.front());
    commands.pop_front();

    const uint64_t number = framesServed + 1;
    int malformedField = 0;
    if (options.MalformedEvery > 0 && number % static_cast<uint64_t>(options.MalformedEvery) == 0
        && options.Fields >= TSensorModel::FirstReadingField)
        malformedField = std::uniform_int_distribution<int>(TSensorModel::FirstReadingField,
                                                            options.Fields)(faultRandom);

    generator.Generate(exposure, readings);
    frame.clear();
    AppendFrame(frame, {number, exposure, options.Fields}, readings, options.LineEnd, malformedField);
    deliveries = pacer.Plan(frame.size(), now);
    nextDelivery = 0;
    written = 0;
}

bool TSimulator::WriteDue(TClock::time_point now)
{
    while (FrameInProgress() && deliveries[nextDelivery].Due <= now) {
        const size_t end = deliveries[nextDelivery].End;
        const ssize_t count = write(terminal.ControllerFd(), frame.data() + written, end - written);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN)
                return false;
            throw std::system_error(errno, std::generic_category(), "cannot write the pseudo-terminal");
        }
        written += static_cast<size_t>(count);
        if (written == end && ++nextDelivery == deliveries.size())
            ++framesServed;
    }
    return true;
}

std::optional<TClock::time_point> TSimulator::NextDeadline(bool portFull) const
{
    std::optional<TClock::time_point> deadline;
    // A full port is waited for by readiness, not by the clock.
    if (FrameInProgress() && !portFull)
        deadline = deliveries[nextDelivery].Due;
    if (splitter.HasPartial())
        deadline = std::min(deadline.value_or(TClock::time_point::max()), lastInput + IdleGap);
    return deadline;
}

void TSimulator::WaitUntilReadOrStopped(int stopFd)
{
    const TClock::time_point giveUp = TClock::now() + DrainLimit;
    TClock::time_point emptySince = TClock::now();
    for (TClock::time_point now = emptySince; now < giveUp; now = TClock::now()) {
        if (terminal.UnreadByPort() > 0)
            emptySince = now;
        else if (now - emptySince >= DrainSettle)
            return;
        pollfd stop = {stopFd, POLLIN, 0};
        Wait(&stop, 1, now + DrainPoll);
        if (stop.revents != 0)
            return;
    }
}
