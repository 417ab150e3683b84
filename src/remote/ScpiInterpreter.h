#pragma once

#include "remote/ScpiErrors.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

class TInstrument;

// Carries out one client's command lines on the instrument. Each line is a
// program message: units separated by ';', each a header with its
// parameters, a query when the header ends in '?'. The answers of a line's
// queries make one answer line, joined by ';' and ended by LF. A unit the
// client got wrong (a -1xx error) ends the line's processing; one the
// instrument cannot carry out (-2xx) is noted and the next unit runs.
// Errors go to the client's own queue, read with SYSTem:ERRor?.
class TScpiInterpreter {
public:
    explicit TScpiInterpreter(TInstrument& instrument);

    // The answer line, empty when the line asked nothing answerable.
    std::string Execute(std::string_view line);
    // A line was longer than the input keeps.
    void LineTooLong();

    TScpiErrorQueue& Errors() { return errors_; }

private:
    // The unit's answer, if it is a query.
    std::optional<std::string> ExecuteUnit(std::string_view header, std::string_view parameters);

    TInstrument& instrument_;
    TScpiErrorQueue errors_;
};
