#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "access/lpt_reader.h"
#include "access/recorder_source.h"
#include "access/usb_device_port.h"
#include "access/usb_port_finder.h"
#include "access/usb_reader.h"
#include "access/wait_clock.h"
#include "flows/load_flow.h"
#include "flows/session.h"

namespace zorvek {

// The devices an image is read from, owned here for both programs: the
// recorder on its serial ports, the LPT reader, and the USB reader with its
// watcher. The recorder and the LPT reader are attached to the session's
// dispatch for the set's lifetime; the window and the command line only
// choose a device and show the outcome.
class DeviceSet {
  public:
    using Duration = WaitClock::Duration;
    enum class Device { Recorder, LptReader, UsbReader };

    struct Drivers {
        std::unique_ptr<RecorderSource> recorder;
        std::unique_ptr<LptReader> lptReader;
        UsbPortFinder usbFinder;
    };
    // The machine's own: serial ports 1..8, the parallel port, the USB
    // reader where the system (or ZORVEK_SYSFS, ZORVEK_DEVDIR) shows it.
    static Drivers SystemDrivers(WaitClock& clock);

    // Every protocol wait of every device goes through `clock`.
    explicit DeviceSet(Session& session, WaitClock& clock = SystemWaits());
    DeviceSet(Session& session, WaitClock& clock, Drivers drivers);
    // Closes a device still open and detaches the drivers.
    ~DeviceSet();
    DeviceSet(const DeviceSet&) = delete;
    DeviceSet& operator=(const DeviceSet&) = delete;

    // The load command of `device` (LoadFromRecorder, LoadFromLptReader,
    // LoadFromUsbReader). However it ends, no device is left open: a load
    // that stopped early closes its device again. The USB load needs the
    // reader ready, otherwise it is NoConnection at once.
    LoadOutcome Load(Device device);

    // Told when the USB reader becomes ready for a load and when it goes
    // away (enable and disable the load command); the beep at both moments.
    std::function<void()> onUsbAttached;
    std::function<void()> onUsbDetached;
    std::function<void()> onBeep;

    // The USB reader's watcher is driven by the set's owner: StartUsbWatch
    // once, then UsbTick each time the returned interval has passed (a
    // single-shot timer in the window), never two at once.
    Duration StartUsbWatch();
    Duration UsbTick();
    // Starts watching and ticks until the reader is ready or `limit` has
    // passed on the clock (the command line's wait).
    bool WaitForUsbReader(Duration limit);
    bool UsbReaderReady() const { return m_usbPort.UsbReaderReady(); }

    // Where the last search found the recorder; 0 and empty before any.
    int RecorderPort() const { return m_recorder->FoundPort(); }
    const std::filesystem::path& RecorderDevice() const { return m_recorder->FoundDevice(); }

  private:
    void CloseOpenDevice();

    Session& m_session;
    WaitClock& m_clock;
    std::unique_ptr<RecorderSource> m_recorder;
    std::unique_ptr<LptReader> m_lptReader;
    UsbDevicePort m_usbPort;
    UsbReader m_usbReader{m_usbPort};
};

}  // namespace zorvek
