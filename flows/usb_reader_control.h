#pragma once

#include <functional>

#include "access/usb_device_port.h"
#include "access/usb_reader.h"
#include "access/wait_clock.h"
#include "flows/load_flow.h"

namespace zorvek {

// The USB reader as the program owns it: its port, the reader's protocol
// and the watcher. The owner drives the watcher: call Start once, then
// Tick each time the returned interval has passed (a single-shot timer in
// the window, a loop on the command line), never two at once.
class UsbReaderControl {
  public:
    using Duration = WaitClock::Duration;

    // `finder` says where to look for the reader (by default the system's,
    // overridable through ZORVEK_SYSFS and ZORVEK_DEVDIR); every protocol
    // wait goes through `clock`.
    explicit UsbReaderControl(WaitClock& clock = SystemWaits(),
                              UsbPortFinder finder = UsbPortFinder());

    // Called when the reader becomes ready for a load and when it goes away
    // (enable and disable the load command); the beep at both moments.
    std::function<void()> onAttached;
    std::function<void()> onDetached;
    std::function<void()> onBeep;

    // Starts watching; returns when the first tick is due (20 ms).
    Duration Start();
    // One look for the reader; returns when the next tick is due (500 ms).
    Duration Tick();
    // Starts watching and ticks until the reader is ready or `limit` has
    // passed (the command line's wait).
    bool WaitUntilReady(Duration limit);
    bool Ready() const { return m_port.UsbReaderReady(); }

    // The USB load command (LoadFromUsbReader).
    LoadOutcome Load(Session& session) { return LoadFromUsbReader(session, m_reader); }

    UsbReader& Reader() { return m_reader; }
    UsbDevicePort& Port() { return m_port; }

  private:
    WaitClock& m_clock;
    UsbDevicePort m_port;
    UsbReader m_reader{m_port};
};

}  // namespace zorvek
