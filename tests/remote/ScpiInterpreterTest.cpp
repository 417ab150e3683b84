#include "FakeInstrument.h"

#include "remote/ScpiInput.h"
#include "remote/ScpiInterpreter.h"

#include <gtest/gtest.h>

namespace {

// Every error the queue holds, oldest first, emptying it.
std::vector<std::string> DrainErrors(TScpiInterpreter& interpreter)
{
    std::vector<std::string> errors;
    while (interpreter.Errors().Size() > 0)
        errors.push_back(interpreter.Errors().Pop());
    return errors;
}

TEST(ScpiInterpreterTest, LinesAnswerAndQueueErrorsAsScpiSays)
{
    struct TCase {
        std::string line;
        std::string answer;
        std::vector<std::string> errors;
    };
    const TCase cases[] = {
        {"*IDN?", "Mirelda,Mirelda,0,2.10\n", {}},
        {"*idn?;*OPC?", "Mirelda,Mirelda,0,2.10;1\n", {}},
        // Short and long forms in any case, a leading colon, CR-free blanks.
        {"exp 250;:EXPOSURE?;Exp?", "\"250\";\"250\"\n", {}},
        {"EXP \"12 \"\"a\"\"\";EXP?", "\"12 \"\"a\"\"\"\n", {}},
        {"aver 8;AVERAGE?", "8\n", {}},
        {"INIT:CONT ON;INIT:CONT?;initiate:continuous off;INIT:CONT?", "1;0\n", {}},
        {"fetc:coun?", "0\n", {}},
        {"MODE tran;MODE?;MODE ABSORBANCE;MODE?", "TRAN;ABS\n", {}},
        {"PORT '/dev/ttyUSB0';PORT?;OPEN;OPEN?;CLOS;OPEN?", "\"/dev/ttyUSB0\";1;0\n", {}},
        {"STAT?", "\"Frames: 3; Stopped: \"\"x\"\"\"\n", {}},
        {"", "", {}},
        {";;", "", {}},
        // Errors: the queue holds number and text; a command error ends the line.
        {"FOO?;*IDN?", "", {"-113,\"Undefined header;FOO?\""}},
        {"EXPOSUREX 1", "", {"-113,\"Undefined header;EXPOSUREX\""}},
        {"INIT?", "", {"-113,\"Undefined header;INIT?\""}},
        {"AVER 3000000000", "", {"-222,\"Data out of range\""}},
        {"AVER 65;AVER?", "1\n", {"-222,\"Data out of range;1 to 64\""}},
        {"AVER ten", "", {"-104,\"Data type error;a whole number is expected\""}},
        {"AVER", "", {"-109,\"Missing parameter\""}},
        {"*IDN? 1", "", {"-108,\"Parameter not allowed\""}},
        {"INIT:CONT maybe", "", {"-224,\"Illegal parameter value;maybe\""}},
        {"EXP \"100", "", {"-102,\"Syntax error;unclosed quote\""}},
        {"EXP 1\x01", "", {"-101,\"Invalid character\""}},
        {"EXP\xff 1", "", {"-100,\"Command error;header with '\xff'\""}},
        {"FETCH:SPECTRUM?;*OPC?", "1\n", {"-230,\"Data corrupt or stale;no frame yet\""}},
        {"REF;*OPC?", "1\n", {"-200,\"Execution error;There is no frame to take as the reference yet\""}},
    };
    for (const TCase& c : cases) {
        TFakeInstrument instrument;
        TScpiInterpreter interpreter(instrument);
        EXPECT_EQ(interpreter.Execute(c.line), c.answer) << c.line;
        EXPECT_EQ(DrainErrors(interpreter), c.errors) << c.line;
    }
}

TEST(ScpiInterpreterTest, FetchesListTheFrameAndActionsReachTheInstrument)
{
    TFakeInstrument instrument;
    instrument.spectrum = {156, 155.5, -44};
    instrument.readings = {100, 101, 300};
    instrument.wavelengths = {6, 7, 8};
    instrument.frames = 12;
    TScpiInterpreter interpreter(instrument);
    EXPECT_EQ(interpreter.Execute("FETCH:SPECTRUM?;FETC:RAW?;FETC:WAV?;FETC:COUN?"),
              "156,155.5,-44;100,101,300;6,7,8;12\n");
    EXPECT_EQ(interpreter.Execute("INIT;INIT:IMM;ABOR;DARK;*RST"), "");
    EXPECT_EQ(instrument.actions, (std::vector<std::string>{"initiate", "initiate", "abort", "dark", "reset"}));
    EXPECT_EQ(interpreter.Execute("SYST:ERR?"), "0,\"No error\"\n");
}

TEST(ScpiInterpreterTest, TheErrorQueueIsBoundedAndClearedByCls)
{
    TFakeInstrument instrument;
    TScpiInterpreter interpreter(instrument);
    for (int i = 0; i < 40; ++i)
        interpreter.Execute("BAD");
    EXPECT_EQ(interpreter.Errors().Size(), TScpiErrorQueue::Capacity);
    std::vector<std::string> errors = DrainErrors(interpreter);
    EXPECT_EQ(errors.front(), "-113,\"Undefined header;BAD\"");
    EXPECT_EQ(errors.back(), "-350,\"Queue overflow\"");
    interpreter.Execute("BAD");
    EXPECT_EQ(interpreter.Execute("*CLS;SYSTEM:ERROR:NEXT?"), "0,\"No error\"\n");
}

TEST(ScpiInputTest, LinesEndAtLfAndOverlongLinesAreDroppedWhole)
{
    TScpiInput input;
    input.Feed("*IDN?\r\nEXP 1");
    input.Feed("00\n");
    input.Feed(std::string(TScpiInput::MaxLine, 'x') + "\n");
    for (int i = 0; i < 300; ++i) // a megabyte and more without a line end
        input.Feed(std::string(4000, 'y'));
    input.Feed("z\n*OPC?\n");
    std::vector<std::pair<std::string, bool>> lines;
    while (std::optional<TScpiInput::TLine> line = input.Next())
        lines.emplace_back(line->Text, line->TooLong);
    const std::vector<std::pair<std::string, bool>> expected{
        {"*IDN?", false}, {"EXP 100", false}, {std::string(TScpiInput::MaxLine, 'x'), false}, {"", true}, {"*OPC?", false}};
    EXPECT_EQ(lines, expected);
}

} // namespace
