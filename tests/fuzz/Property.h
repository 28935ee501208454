#pragma once

#include <cstdio>
#include <cstdlib>

// A property that does not hold ends the run, so that libFuzzer keeps the input that broke it.
inline void require(bool holds, const char* property) {
    if (holds)
        return;
    std::fprintf(stderr, "property does not hold: %s\n", property);
    std::abort();
}
