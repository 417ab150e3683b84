#pragma once

#include <cstdio>
#include <cstdlib>

// A property of the harness's input that must hold: when it does not, the
// harness says which and aborts, and libFuzzer keeps the input.
inline void Require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "property failed: %s\n", property);
        std::abort();
    }
}
