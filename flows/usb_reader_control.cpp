#include "flows/usb_reader_control.h"

namespace zorvek {

UsbReaderControl::UsbReaderControl(WaitClock& clock, UsbPortFinder finder)
    : m_clock(clock), m_port(std::move(finder), clock) {
    m_reader.ReaderOnAttached = [this] {
        if (onAttached) onAttached();
    };
    m_reader.ReaderOnDetached = [this] {
        if (onDetached) onDetached();
    };
    m_reader.ReaderOnBeep = [this] {
        if (onBeep) onBeep();
    };
}

UsbReaderControl::Duration UsbReaderControl::Start() { return m_reader.ReaderInit(); }

UsbReaderControl::Duration UsbReaderControl::Tick() { return m_port.UsbWatchTick(); }

bool UsbReaderControl::WaitUntilReady(Duration limit) {
    const Duration deadline = m_clock.Now() + limit;
    Duration next = Start();
    while (!Ready()) {
        if (m_clock.Now() + next > deadline) return false;
        m_clock.Wait(next);
        next = Tick();
    }
    return true;
}

}  // namespace zorvek
