#pragma once

#include <cstdio>
#include <cstdlib>

// A property that does not hold ends the run: libFuzzer then keeps the input that broke it,
// and the replay of the test run fails.
inline void require(bool holds, const char* property) {
    if (holds)
        return;
    std::fprintf(stderr, "property does not hold: %s\n", property);
    std::abort();
}
