#pragma once

#include <atomic>
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
    // The user asked the running command to stop. The transfers look at it
    // between frames and end with TransferError::Cancelled, so that a read
    // of the whole image stops within one frame's time.
    virtual bool Cancelled() const { return false; }
};

// Sleeps for real, against the steady clock.
class SystemWaitClock final : public WaitClock {
  public:
    void Wait(Duration duration) override;
    Duration Now() const override;
};

// Another clock's waits, with a cancel that any thread may set: the window
// program's devices wait on it while a command runs on its worker.
class CancellableWaits final : public WaitClock {
  public:
    explicit CancellableWaits(WaitClock& base) : m_base(base) {}
    // A cancelled command's remaining waits return at once.
    void Wait(Duration duration) override {
        if (!Cancelled()) m_base.Wait(duration);
    }
    Duration Now() const override { return m_base.Now(); }
    bool Cancelled() const override { return m_cancelled.load(std::memory_order_relaxed); }
    void Cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    // Before the next command.
    void Reset() { m_cancelled.store(false, std::memory_order_relaxed); }

  private:
    WaitClock& m_base;
    std::atomic<bool> m_cancelled{false};
};

// One shared instance for callers that take no other.
WaitClock& SystemWaits();

}  // namespace zorvek
