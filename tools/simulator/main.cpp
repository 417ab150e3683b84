#include "simulator/Simulator.h"
#include "simulator/SimulatorOptions.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>
#include <exception>
#include <iostream>
#include <stdexcept>

int main(int argc, char** argv)
{
    TSimulatorOptions options;
    try {
        options = ParseSimulatorOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const EUnknownSimulatorOption& error) {
        std::cerr << "mirelda-simulator: " << error.what() << '\n' << SimulatorUsage();
        return 2;
    } catch (const std::invalid_argument& error) {
        std::cerr << "mirelda-simulator: " << error.what() << "\nTry 'mirelda-simulator --help'.\n";
        return 2;
    }
    if (options.Help) {
        std::cout << SimulatorUsage();
        return 0;
    }

    // Stop signals are taken as events, blocked before the port-map entry
    // exists, so every way out removes it.
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    const int stopFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (stopFd < 0) {
        std::perror("mirelda-simulator: signalfd");
        return 1;
    }

    try {
        TSimulator simulator(options);
        std::cout << simulator.PortName() << ' ' << simulator.PortPath() << std::endl;
        const uint64_t frames = simulator.Run(stopFd);
        std::cout << "frames " << frames << std::endl;
    } catch (const std::exception& error) {
        std::cerr << "mirelda-simulator: " << error.what() << '\n';
        return 1;
    }
    close(stopFd);
    return 0;
}
