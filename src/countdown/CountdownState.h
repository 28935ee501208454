#pragma once

#include <cstdint>

namespace dormivo {

// The countdown's three fields and the guards that Start, Stop and the tick rely on.
class CountdownState {
public:
    // Claims the countdown for a Start; false when one already runs.
    bool begin() {
        if (isRunning)
            return false;
        isRunning = true;
        elapsedSeconds = 0;
        return true;
    }
    // Gives the claim back after the period was refused.
    void abandon() { isRunning = false; }
    // Ends a running countdown; false when none runs. totalSeconds is kept.
    bool stop() {
        if (!isRunning)
            return false;
        isRunning = false;
        elapsedSeconds = 0;
        return true;
    }

    std::int32_t totalSeconds = 0;
    std::int32_t elapsedSeconds = 0;
    bool isRunning = false;
};

} // namespace dormivo
