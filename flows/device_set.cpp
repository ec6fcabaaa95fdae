#include "flows/device_set.h"

namespace zorvek {

DeviceSet::Drivers DeviceSet::SystemDrivers(WaitClock& clock) {
    return {MakeRecorder(clock), std::make_unique<LptReader>(MakeSystemLptPort(), clock),
            UsbPortFinder()};
}

DeviceSet::DeviceSet(Session& session, WaitClock& clock)
    : DeviceSet(session, clock, SystemDrivers(clock)) {}

DeviceSet::DeviceSet(Session& session, WaitClock& clock, Drivers drivers)
    : m_session(session),
      m_clock(clock),
      m_recorder(std::move(drivers.recorder)),
      m_lptReader(std::move(drivers.lptReader)),
      m_usbPort(std::move(drivers.usbFinder), clock) {
    m_session.dispatch.AttachRecorder(m_recorder.get());
    m_session.dispatch.AttachLptReader(m_lptReader.get());
    m_usbReader.ReaderOnAttached = [this] {
        if (onUsbAttached) onUsbAttached();
    };
    m_usbReader.ReaderOnDetached = [this] {
        if (onUsbDetached) onUsbDetached();
    };
    m_usbReader.ReaderOnBeep = [this] {
        if (onBeep) onBeep();
    };
}

DeviceSet::~DeviceSet() {
    CloseOpenDevice();
    m_session.dispatch.AttachRecorder(nullptr);
    m_session.dispatch.AttachLptReader(nullptr);
}

LoadOutcome DeviceSet::Load(Device device) {
    LoadOutcome outcome;
    switch (device) {
        case Device::Recorder:
            outcome = LoadFromRecorder(m_session);
            break;
        case Device::LptReader:
            outcome = LoadFromLptReader(m_session);
            break;
        case Device::UsbReader:
            if (!UsbReaderReady()) {
                outcome.status = LoadOutcome::Status::NoConnection;
                return outcome;
            }
            return LoadFromUsbReader(m_session, m_usbReader);
    }
    // A load that stopped at the format, the end mark or the passport
    // leaves its device open; nothing more is read from it.
    CloseOpenDevice();
    return outcome;
}

void DeviceSet::CloseOpenDevice() {
    const SourceKind open = m_session.dispatch.Kind();
    if (open == SourceKind::Recorder || open == SourceKind::LptReader) {
        m_session.dispatch.CloseSource();
    }
}

DeviceSet::Duration DeviceSet::StartUsbWatch() { return m_usbReader.ReaderInit(); }

DeviceSet::Duration DeviceSet::UsbTick() { return m_usbPort.UsbWatchTick(); }

bool DeviceSet::WaitForUsbReader(Duration limit) {
    const Duration deadline = m_clock.Now() + limit;
    Duration next = StartUsbWatch();
    while (!UsbReaderReady()) {
        if (m_clock.Now() + next > deadline) return false;
        m_clock.Wait(next);
        next = UsbTick();
    }
    return true;
}

}  // namespace zorvek
