#include "access/recorder_source.h"

#include "access/serial_port_names.h"

namespace zorvek {

RecorderSource::RecorderSource(std::unique_ptr<SerialPort> port, WaitClock& clock,
                               PortPathLookup paths)
    : m_port(std::move(port)), m_link(*m_port, clock, std::move(paths)) {}

TransferResult RecorderSource::Open() {
    const int port = m_link.ComFindRecorder();
    if (port == 0) return m_link.SearchFailure();
    m_foundPort = port;
    m_foundDevice = m_link.PortPath();
    return TransferResult::Ok();
}

bool RecorderSource::Close() {
    m_link.ComDisconnect();
    return true;
}

TransferResult RecorderSource::Read(std::uint32_t address, std::uint8_t* buffer,
                                    std::uint32_t count, ProgressSink* progress) {
    return m_link.ComReadBlock(address, buffer, count, progress);
}

TransferResult RecorderSource::Write(std::uint32_t address, const std::uint8_t* buffer,
                                     std::uint32_t count, ProgressSink* progress) {
    return m_link.ComWriteBlock(address, buffer, count, progress);
}

std::unique_ptr<RecorderSource> MakeRecorder(WaitClock& clock) {
    return std::make_unique<RecorderSource>(MakeSystemSerialPort(clock), clock, ComPortPath);
}

}  // namespace zorvek
