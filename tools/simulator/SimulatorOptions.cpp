#include "simulator/SimulatorOptions.h"

#include "simulator/OptionNumber.h"

#include <limits>
#include <set>
#include <stdexcept>

namespace {

constexpr int MaxFields = 1'000'000;
constexpr int MaxChunk = 1 << 20;

TLineEnd LineEnd(const std::string& text)
{
    if (text == "crlf")
        return TLineEnd::CrLf;
    if (text == "lfcr")
        return TLineEnd::LfCr;
    if (text == "lf")
        return TLineEnd::Lf;
    throw std::invalid_argument("--line-end takes crlf, lfcr or lf, not '" + text + "'");
}

void ReadChunks(const std::string& text, TSimulatorOptions& options)
{
    const size_t dash = text.find('-');
    if (dash == std::string::npos)
        throw std::invalid_argument("--chunks takes MIN-MAX, not '" + text + "'");
    options.ChunkMin = OptionNumber("--chunks", text.substr(0, dash), 1, MaxChunk);
    options.ChunkMax = OptionNumber("--chunks", text.substr(dash + 1), options.ChunkMin, MaxChunk);
}

void ReadName(const std::string& text, TSimulatorOptions& options)
{
    if (text.empty() || text.front() == '.' || text.find('/') != std::string::npos)
        throw std::invalid_argument("--name takes a port name such as COM11, not '" + text + "'");
    options.Name = text;
}

} // namespace

TSimulatorOptions ParseSimulatorOptions(const std::vector<std::string>& arguments)
{
    static const std::set<std::string, std::less<>> known{
        "--name", "--baud", "--line-end", "--chunks", "--malformed-every", "--frames", "--fields", "--seed",
        "--lamp", "--calibration"};
    const auto isKnown = [](const std::string& option) { return known.contains(option) || IsSampleOption(option); };
    TSimulatorOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string option = arguments[i];
        if (option == "--help" || option == "-h") {
            options.Help = true;
            continue;
        }
        std::string value;
        const size_t equals = option.starts_with("--") ? option.find('=') : std::string::npos;
        if (equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.resize(equals);
        }
        // An option is known or not before any value is looked for, so a
        // mistyped one is named as such even at the end of the line.
        if (option.starts_with("-") && !isKnown(option))
            throw EUnknownSimulatorOption("unknown option '" + option + "'");
        if (!option.starts_with("-"))
            throw std::invalid_argument("unknown argument '" + option + "'");
        if (equals == std::string::npos) {
            if (i + 1 == arguments.size())
                throw std::invalid_argument(option + " needs a value");
            value = arguments[++i];
        }

        if (IsSampleOption(option))
            ReadSampleOption(option, value, options.Sample);
        else if (option == "--name")
            ReadName(value, options);
        else if (option == "--baud")
            options.Baud = OptionNumber(option, value, 1, std::numeric_limits<int>::max() / 10);
        else if (option == "--line-end")
            options.LineEnd = LineEnd(value);
        else if (option == "--chunks")
            ReadChunks(value, options);
        else if (option == "--malformed-every")
            options.MalformedEvery = OptionNumber(option, value, 1, std::numeric_limits<int>::max());
        else if (option == "--frames")
            options.Frames = OptionNumber<uint64_t>(option, value, 1, std::numeric_limits<uint64_t>::max());
        else if (option == "--fields")
            options.Fields = OptionNumber(option, value, 5, MaxFields);
        else if (ReadLampOption(option, value, options.Lamp))
            continue;
        else
            options.Seed = OptionNumber<uint32_t>(option, value, 0, std::numeric_limits<uint32_t>::max());
    }
    if (options.Sample.Pixels > 0)
        options.Fields = options.Sample.Pixels + 5;
    return options;
}

std::string SimulatorUsage()
{
    return "Usage: mirelda-simulator [options]\n"
           "A line-sensor spectrometer on a pseudo-terminal. It enters itself in the\n"
           "port map under NAME, prints \"NAME DEVICE\" when ready, answers every\n"
           "exposure command (a line, or bare text followed by a pause) with one frame,\n"
           "and prints \"frames N\" when it ends (after --frames, or on SIGINT, SIGTERM\n"
           "or SIGHUP), removing its port-map entry.\n"
           "\n"
           "  --name NAME             port name to register (default COM11)\n"
           "  --baud N                pace output at N baud, 10 bits a byte (default: unthrottled)\n"
           "  --line-end crlf|lfcr|lf line ends of the frame (default crlf)\n"
           "  --chunks MIN-MAX        deliver each frame in random pieces of MIN to MAX bytes\n"
           "  --malformed-every N     every Nth frame carries one reading that is not a number\n"
           "  --frames N              exit after serving N frames\n"
           "  --fields N              fields per frame, the five header lines included (default 512)\n"
           "  --seed N                seed of the spectrum noise and the chunk sizes (default 1)\n"
           + SampleUsage() + LampUsage() + "  --help                  show this text\n";
}
