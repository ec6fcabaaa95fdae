#include "access/wait_clock.h"

#include <thread>

namespace zorvek {

void SystemWaitClock::Wait(Duration duration) { std::this_thread::sleep_for(duration); }

WaitClock::Duration SystemWaitClock::Now() const {
    return std::chrono::duration_cast<Duration>(
        std::chrono::steady_clock::now().time_since_epoch());
}

WaitClock& SystemWaits() {
    static SystemWaitClock clock;
    return clock;
}

}  // namespace zorvek
