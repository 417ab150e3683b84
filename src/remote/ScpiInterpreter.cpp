#include "remote/ScpiInterpreter.h"

#include "remote/Instrument.h"
#include "remote/ScpiSyntax.h"

#include <array>
#include <charconv>
#include <vector>

namespace {

using TMode = TInstrument::TMode;

// Mode mnemonics in the order of TInstrument::TMode.
const std::vector<std::string_view> ModeNames{"SCOPe", "DARK", "TRANsmittance", "ABSorbance"};

std::string Number(double value)
{
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), result.ptr);
}

template <typename Values, typename Format>
std::string List(const Values& values, Format format)
{
    if (values.empty())
        throw EScpiError(ScpiError::DataStale, "no frame yet");
    std::string text;
    text.reserve(values.size() * 6);
    for (const auto& value : values) {
        if (!text.empty())
            text += ',';
        text += format(value);
    }
    return text;
}

std::string ShortForm(std::string_view mnemonic)
{
    std::string text;
    for (const char c : mnemonic)
        if (!(c >= 'a' && c <= 'z'))
            text += c;
    return text;
}

struct TCommand {
    const char* Pattern; // with a trailing '?' for a query
    std::function<std::optional<std::string>(TInstrument&, TScpiErrorQueue&, std::string_view)> Run;
};

// What a command without an answer returns.
const std::optional<std::string> Done;

const std::vector<TCommand>& Commands()
{
    static const std::vector<TCommand> commands{
        {"*IDN?",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional(i.Identity());
         }},
        {"*RST",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             i.Reset();
             return Done;
         }},
        {"*CLS",
         [](TInstrument&, TScpiErrorQueue& errors, std::string_view p) {
             ExpectNoParameter(p);
             errors.Clear();
             return Done;
         }},
        // Commands run one after another, so every earlier one is complete.
        {"*OPC?",
         [](TInstrument&, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional<std::string>("1");
         }},
        {"SYSTem:ERRor[:NEXT]?",
         [](TInstrument&, TScpiErrorQueue& errors, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional(errors.Pop());
         }},
        {"EXPosure",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             i.SetExposure(TextParameter(p));
             return Done;
         }},
        {"EXPosure?",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional(ScpiQuoted(i.Exposure()));
         }},
        {"AVERage",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             i.SetAverage(IntegerParameter(p));
             return Done;
         }},
        {"AVERage?",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional(std::to_string(i.Average()));
         }},
        {"INITiate[:IMMediate]",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             i.Initiate();
             return Done;
         }},
        {"INITiate:CONTinuous",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             i.SetContinuous(BooleanParameter(p));
             return Done;
         }},
        {"INITiate:CONTinuous?",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional<std::string>(i.Continuous() ? "1" : "0");
         }},
        {"ABORt",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             i.Abort();
             return Done;
         }},
        {"FETCh:SPECtrum?",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional(List(i.Spectrum(), Number));
         }},
        {"FETCh:RAW?",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional(List(i.Readings(), [](std::int32_t r) { return std::to_string(r); }));
         }},
        {"FETCh:WAVelength?",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional(List(i.Wavelengths(), Number));
         }},
        {"FETCh:COUNt?",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional(std::to_string(i.FrameCount()));
         }},
        {"DARK",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             i.TakeDark();
             return Done;
         }},
        {"REFerence",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             i.TakeReference();
             return Done;
         }},
        {"MODE",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             i.SetMode(static_cast<TMode>(ChoiceParameter(p, ModeNames)));
             return Done;
         }},
        {"MODE?",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional(ShortForm(ModeNames.at(static_cast<std::size_t>(i.Mode()))));
         }},
        {"STATus?",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             std::string lines;
             for (const std::string& line : i.Status())
                 lines += (lines.empty() ? "" : "; ") + line;
             return std::optional(ScpiQuoted(lines));
         }},
        {"PORT",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             i.SetPort(TextParameter(p));
             return Done;
         }},
        {"PORT?",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional(ScpiQuoted(i.Port()));
         }},
        {"OPEN",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             i.Open();
             return Done;
         }},
        {"OPEN?",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             return std::optional<std::string>(i.IsOpen() ? "1" : "0");
         }},
        {"CLOSe",
         [](TInstrument& i, TScpiErrorQueue&, std::string_view p) {
             ExpectNoParameter(p);
             i.Close();
             return Done;
         }},
    };
    return commands;
}

bool IsCommandError(int code)
{
    return code <= -100 && code > -200;
}

} // namespace

TScpiInterpreter::TScpiInterpreter(TInstrument& instrument) : instrument_(instrument) {}

void TScpiInterpreter::LineTooLong()
{
    errors_.Push(ScpiError::TooMuchData, "a command line holds at most 4096 bytes");
}

std::string TScpiInterpreter::Execute(std::string_view line)
{
    std::string answer;
    bool answered = false;
    try {
        for (const std::string_view unit : SplitUnits(line)) {
            const TScpiUnit parts = SplitUnit(unit);
            if (parts.Header.empty()) {
                if (!parts.Parameters.empty())
                    throw EScpiError(ScpiError::CommandError, "parameters without a header");
                continue;
            }
            if (std::optional<std::string> unitAnswer = ExecuteUnit(parts.Header, parts.Parameters)) {
                answer += (answered ? ";" : "") + *unitAnswer;
                answered = true;
            }
        }
    } catch (const EScpiError& error) {
        // A command error ends the line: the units after it are not run.
        errors_.Push(error.Code(), error.Detail());
    }
    return answered ? answer + '\n' : std::string();
}

std::optional<std::string> TScpiInterpreter::ExecuteUnit(std::string_view header, std::string_view parameters)
{
    const bool query = header.back() == '?';
    const std::string_view name = query ? header.substr(0, header.size() - 1) : header;
    for (const TCommand& command : Commands()) {
        std::string_view pattern = command.Pattern;
        if ((pattern.back() == '?') != query)
            continue;
        if (query)
            pattern.remove_suffix(1);
        if (!HeaderMatches(name, pattern))
            continue;
        try {
            return command.Run(instrument_, errors_, parameters);
        } catch (const EScpiError& error) {
            if (IsCommandError(error.Code()))
                throw;
            errors_.Push(error.Code(), error.Detail());
        } catch (const std::exception& error) {
            errors_.Push(ScpiError::ExecutionError, error.what());
        }
        return std::nullopt;
    }
    throw EScpiError(ScpiError::UndefinedHeader, std::string(header.substr(0, 32)));
}
