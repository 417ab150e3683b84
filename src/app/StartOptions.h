#pragma once

struct TStartOptions;
class TForm1;

// Sets the port, rate and exposure the options name. With Start, the port
// is opened and the exposure sent once the event loop runs, as if the
// operator had pressed "Open Com" and "Send Exposure": a failure to open is
// shown like theirs, and nothing is sent then.
void ApplyStartOptions(TForm1& form, const TStartOptions& options);
