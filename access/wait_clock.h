#pragma once

#include <chrono>

namespace zorvek {

// The protocol waits (50 ms between retries, 200 ms, 500 ms, 30 ms) and the
// monotonic time their time-outs count against. The program passes the
// system's; tests pass a virtual one, so that waits and time-outs run at
// once and exactly. Dates come from the calendar clock (model/format.h).
class WaitClock {
  public:
    using Duration = std::chrono::milliseconds;
    virtual ~WaitClock() = default;
    // Returns after at least `duration`.
    virtual void Wait(Duration duration) = 0;
    // Monotonic time since an arbitrary start.
    virtual Duration Now() const = 0;
};

// Sleeps for real, against the steady clock.
class SystemWaitClock final : public WaitClock {
  public:
    void Wait(Duration duration) override;
    Duration Now() const override;
};

// One shared instance for callers that take no other.
WaitClock& SystemWaits();

}  // namespace zorvek
