#pragma once

#include <vector>

#include "access/wait_clock.h"

namespace zorvek::test {

// Time that moves only when the code under test waits: a wait returns at
// once, having advanced the clock by exactly its duration. The waits asked
// for are kept in order, so a test can check a protocol's timing.
class VirtualWaitClock final : public WaitClock {
  public:
    void Wait(Duration duration) override {
        waits.push_back(duration);
        now += duration;
    }
    Duration Now() const override { return now; }
    void Advance(Duration duration) { now += duration; }

    Duration now{0};
    std::vector<Duration> waits;
};

}  // namespace zorvek::test
