// Remote control while the window acquires, unthrottled, from the
// simulator process: the round trip of FETCh:COUNt? (polled flat out and
// every 10 ms) and FETCh:SPECtrum? (507 points),
// the acquisition rate with and without a client polling as fast as it
// can; the same spectrum round trip from a 3648-pixel sensor (TCD1304); and what bad input costs: unknown headers, out-of-range values, a
// megabyte without a line end, binary garbage, 100 clients at once, and a
// client that stops reading (resident memory before and after).
//
// The client runs on a thread of its own with blocking POSIX sockets, as a
// script in another process would; the program's event loop runs here.
#include "Figures.h"
#include "RemoteClient.h"

#include "app/AcquisitionMonitor.h"
#include "app/ComMainForm.h"
#include "app/Measurement.h"
#include "app/MeasurementMenu.h"
#include "app/OperatorMenu.h"
#include "app/RemoteControl.h"
#include "common/Application.h"
#include "serial/ComPort.h"
#include "spectrum/SensorLayout.h"
#include "tools/SimulatorProcess.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <thread>

namespace {

using TClient = std::function<void(const std::atomic<bool>& stop)>;

constexpr double PhaseSeconds = 2.0;
constexpr int Rounds = 5;
constexpr double RoundSeconds = 1.0;

double ResidentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double Microseconds(TClock::duration duration)
{
    return std::chrono::duration<double, std::micro>(duration).count();
}

struct TPhase {
    double FramesPerSecond = 0;
    double LongestStallMs = 0; // the event loop's longest gap between two 2 ms ticks
};

class TBench {
public:
    explicit TBench(TForm1& form) : form_(form) {}

    // Runs the event loop for `seconds` while `client` runs on its thread.
    TPhase Run(double seconds, const TClient& client = {})
    {
        std::atomic<bool> stop{false};
        std::atomic<bool> done{!client};
        std::thread thread;
        if (client)
            thread = std::thread([&] {
                client(stop);
                done = true;
            });
        TPhase phase;
        QTimer tick;
        QElapsedTimer sinceTick;
        sinceTick.start();
        QObject::connect(&tick, &QTimer::timeout, [&] {
            phase.LongestStallMs = std::max(phase.LongestStallMs, double(sinceTick.nsecsElapsed()) / 1e6);
            sinceTick.restart();
        });
        tick.start(2);
        const int before = Frames();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < qint64(seconds * 1000))
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        phase.FramesPerSecond = double(Frames() - before) / (double(clock.nsecsElapsed()) / 1e9);
        tick.stop();
        stop = true;
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (thread.joinable())
            thread.join();
        return phase;
    }

    int Frames() const { return form_.OperatorMenu().Monitor().Status().Frames(); }

private:
    TForm1& form_;
};

// Polls `query` flat out, or with a pause after each answer, keeping each
// round trip.
TClient Poll(int port, const std::string& query, std::vector<double>& roundTrips, std::size_t& values,
             std::chrono::milliseconds pause = {})
{
    return [=, &roundTrips, &values](const std::atomic<bool>& stop) {
        TBenchClient client(port);
        while (!stop && client.Connected()) {
            std::this_thread::sleep_for(pause);
            const TClock::time_point start = TClock::now();
            client.Send(query);
            const std::string answer = client.ReadLine();
            roundTrips.push_back(Microseconds(TClock::now() - start));
            values = std::size_t(std::count(answer.begin(), answer.end(), ',') + 1);
        }
    };
}

// Sends `flood`, then asks `question`; the answer, and how long it all took.
TClient FloodThenAsk(int port, std::string flood, std::string question, std::string& answer, double& seconds)
{
    return [=, &answer, &seconds](const std::atomic<bool>&) {
        TBenchClient client(port);
        const TClock::time_point start = TClock::now();
        client.Send(flood);
        client.Send(question);
        answer = client.ReadLine(20000);
        seconds = Seconds(TClock::now() - start);
    };
}

std::string Repeated(const std::string& line, std::size_t times)
{
    std::string text;
    text.reserve(line.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        text += line;
    return text;
}

// The phase beside the rate of acquisition alone just before it.
void PrintPhase(const char* name, const TPhase& phase, double alone)
{
    std::string prefix = std::string("remote_") + name;
    Print((prefix + "_frame_rate").c_str(), phase.FramesPerSecond, "frames/s");
    Print((prefix + "_frame_rate_ratio").c_str(), phase.FramesPerSecond / alone, "ratio");
    Print((prefix + "_longest_event_loop_stall").c_str(), phase.LongestStallMs, "ms");
}

// FETCh:SPECtrum? polled flat out from a window on the 3648-pixel preset,
// fed by a simulator of that sensor, in rounds beside acquisition alone.
void MeasureLargeSpectrum()
{
    const TSensorPreset& preset = SensorPresets().back();
    TSimulatorProcess simulator({"--name", "COM12", "--seed", "1", "--pixels", std::to_string(preset.Layout.Pixels),
                                 "--full-scale", std::to_string(preset.Layout.FullScale), "--output",
                                 preset.Layout.FallingOutput ? "falling" : "rising"});
    if (simulator.StartLine().empty()) {
        std::fprintf(stderr, "remote: the %d-pixel simulator did not start\n", preset.Layout.Pixels);
        return;
    }
    TForm1 form;
    form.ComPort->SetPort("COM12");
    form.Edit_Data->setText(QStringLiteral("100"));
    form.MeasurementMenu().Measurement().SetLayout(preset.Layout);
    TRemoteControl& remote = form.OperatorMenu().RemoteControl();
    remote.Start({QHostAddress(QHostAddress::LocalHost), 0});
    form.Button_OpenClick();
    form.Button_SendClick();
    TBench bench(form);
    bench.Run(1.0);
    std::vector<double> trips, alone, ratios;
    std::size_t values = 0;
    const TClient polling = Poll(remote.Address().Port, "FETCH:SPECTRUM?\n", trips, values);
    for (int round = 0; round < Rounds; ++round) {
        alone.push_back(bench.Run(RoundSeconds).FramesPerSecond);
        ratios.push_back(bench.Run(RoundSeconds, polling).FramesPerSecond / alone.back());
    }
    form.Button_OpenClick();
    Print("remote_3648_frame_rate_alone", Percentile(alone, 0.5), "frames/s");
    Print("remote_3648_spectrum_points", double(values), "points");
    Print("remote_3648_spectrum_roundtrip_p50", Percentile(trips, 0.5), "us");
    Print("remote_3648_spectrum_roundtrip_p99", Percentile(trips, 0.99), "us");
    Print("remote_3648_spectrum_polling_frame_rate_ratio", Percentile(ratios, 0.5), "ratio");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    TApplication application(argc, argv);
    TApplication::SetExceptionPresenter(
        [](const QString&, const QString& message) { std::fprintf(stderr, "remote: %s\n", qPrintable(message)); });

    TSimulatorProcess simulator({"--name", "COM11", "--seed", "1"});
    if (simulator.StartLine().empty()) {
        std::fprintf(stderr, "remote: the simulator did not start\n");
        return 1;
    }
    TForm1 form;
    form.Edit_Data->setText(QStringLiteral("100"));
    TRemoteControl& remote = form.OperatorMenu().RemoteControl();
    remote.Start({QHostAddress(QHostAddress::LocalHost), 0});
    const int port = remote.Address().Port;
    form.Button_OpenClick();
    form.Button_SendClick();

    TBench bench(form);
    bench.Run(1.0); // warm-up
    // Rounds of acquisition alone and with the client, alternating, so the
    // ratio of each round compares like with like on a busy machine.
    std::vector<double> countTrips;
    std::size_t countValues = 0;
    const TClient countPolling = Poll(port, "FETC:COUN?\n", countTrips, countValues);
    std::vector<double> spectrumTrips;
    std::size_t spectrumValues = 0;
    const TClient spectrumPolling = Poll(port, "FETCH:SPECTRUM?\n", spectrumTrips, spectrumValues);
    std::vector<double> alone, counting, fetching, countRatios, spectrumRatios;
    double countStall = 0, spectrumStall = 0;
    for (int round = 0; round < Rounds; ++round) {
        alone.push_back(bench.Run(RoundSeconds).FramesPerSecond);
        const TPhase count = bench.Run(RoundSeconds, countPolling);
        const TPhase spectrum = bench.Run(RoundSeconds, spectrumPolling);
        counting.push_back(count.FramesPerSecond);
        fetching.push_back(spectrum.FramesPerSecond);
        countRatios.push_back(count.FramesPerSecond / alone.back());
        spectrumRatios.push_back(spectrum.FramesPerSecond / alone.back());
        countStall = std::max(countStall, count.LongestStallMs);
        spectrumStall = std::max(spectrumStall, spectrum.LongestStallMs);
    }
    const double aloneRate = Percentile(alone, 0.5);
    // A script that asks now and then is not paced.
    std::vector<double> calmTrips;
    bench.Run(PhaseSeconds, Poll(port, "FETC:COUN?\n", calmTrips, countValues, std::chrono::milliseconds(10)));

    Print("remote_frame_rate_alone", aloneRate, "frames/s");
    Print("remote_count_roundtrip_p50", Percentile(countTrips, 0.5), "us");
    Print("remote_count_roundtrip_p99", Percentile(countTrips, 0.99), "us");
    Print("remote_count_queries", double(countTrips.size()) / (Rounds * RoundSeconds), "queries/s");
    Print("remote_count_every_10ms_roundtrip_p50", Percentile(calmTrips, 0.5), "us");
    Print("remote_count_every_10ms_roundtrip_p99", Percentile(calmTrips, 0.99), "us");
    Print("remote_count_polling_frame_rate", Percentile(counting, 0.5), "frames/s");
    Print("remote_count_polling_frame_rate_ratio", Percentile(countRatios, 0.5), "ratio");
    Print("remote_count_polling_longest_event_loop_stall", countStall, "ms");
    Print("remote_spectrum_points", double(spectrumValues), "points");
    Print("remote_spectrum_roundtrip_p50", Percentile(spectrumTrips, 0.5), "us");
    Print("remote_spectrum_roundtrip_p99", Percentile(spectrumTrips, 0.99), "us");
    Print("remote_spectrum_queries", double(spectrumTrips.size()) / (Rounds * RoundSeconds), "queries/s");
    Print("remote_spectrum_polling_frame_rate", Percentile(fetching, 0.5), "frames/s");
    Print("remote_spectrum_polling_frame_rate_ratio", Percentile(spectrumRatios, 0.5), "ratio");
    Print("remote_spectrum_polling_longest_event_loop_stall", spectrumStall, "ms");

    // Bad input, each while acquisition runs.
    const double residentBefore = ResidentMegabytes();
    struct TBadCase {
        const char* name;
        std::string flood;
        std::string question;
        const char* expected; // how the answer starts
    };
    std::mt19937 random(1);
    std::string garbage(1 << 20, '\0');
    for (char& c : garbage)
        c = char(random());
    const TBadCase cases[] = {
        {"unknown_headers_100k", Repeated("FOO:BAR?\n", 100000), "SYST:ERR?\n", "-113,"},
        {"out_of_range_100k", Repeated("AVER 3\n", 100000), "SYST:ERR?\n", "-222,"},
        {"megabyte_without_newline", std::string(1 << 20, 'A'), "\nSYST:ERR?\n", "-223,"},
        {"binary_garbage_1MB", garbage, "\n*IDN?\n", "Mirelda,"},
    };
    for (const TBadCase& c : cases) {
        std::string answer;
        double seconds = 0;
        const double before = bench.Run(RoundSeconds).FramesPerSecond;
        const TPhase phase = bench.Run(PhaseSeconds, FloodThenAsk(port, c.flood, c.question, answer, seconds));
        const std::string prefix = std::string("bad_") + c.name;
        Print((prefix + "_answered_as_expected").c_str(), answer.rfind(c.expected, 0) == 0 ? 1 : 0, "bool");
        Print((prefix + "_seconds").c_str(), seconds, "s");
        PrintPhase(prefix.c_str(), phase, before);
    }

    // 100 clients at once: each asks *IDN?; the first few are served.
    const double beforeCrowd = bench.Run(RoundSeconds).FramesPerSecond;
    int served = 0;
    int refused = 0;
    const TPhase crowd = bench.Run(PhaseSeconds, [&](const std::atomic<bool>&) {
        std::vector<std::unique_ptr<TBenchClient>> clients;
        for (int i = 0; i < 100; ++i)
            clients.push_back(std::make_unique<TBenchClient>(port));
        for (auto& client : clients)
            client->Send("*IDN?\n");
        for (auto& client : clients) {
            const std::string line = client->ReadLine(5000);
            served += line.rfind("Mirelda,", 0) == 0;
            refused += line.find("too many remote clients") != std::string::npos;
        }
    });
    Print("bad_100_clients_served", served, "clients");
    Print("bad_100_clients_refused", refused, "clients");
    PrintPhase("bad_100_clients", crowd, beforeCrowd);

    // A client that sends spectrum queries and never reads an answer.
    const double beforeSilent = bench.Run(RoundSeconds).FramesPerSecond;
    const double residentBeforeSilent = ResidentMegabytes();
    long long sent = 0;
    const TPhase silent = bench.Run(PhaseSeconds * 2, [&](const std::atomic<bool>& stop) {
        TBenchClient client(port);
        const std::string queries = Repeated("FETCH:SPECTRUM?\n", 1000);
        while (!stop) {
            const long n = client.SendSome(queries);
            if (n > 0)
                sent += n;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    Print("bad_nonreader_queries_taken", double(sent) / 11.0, "queries");
    Print("bad_nonreader_resident_growth", ResidentMegabytes() - residentBeforeSilent, "MB");
    Print("bad_all_resident_growth", ResidentMegabytes() - residentBefore, "MB");
    PrintPhase("bad_nonreader", silent, beforeSilent);
    Print("remote_resident_total", ResidentMegabytes(), "MB");
    form.Button_OpenClick();
    MeasureLargeSpectrum();
    return 0;
}
