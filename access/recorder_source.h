#pragma once

#include <memory>

#include "access/memory_source.h"
#include "access/serial_link.h"

namespace zorvek {

// The recorder itself as a source of the dispatch: opening searches the
// serial ports, reads and writes go over the link with full recorder
// addresses (every bank, working memory included).
class RecorderSource final : public MemorySource {
  public:
    RecorderSource(std::unique_ptr<SerialPort> port, WaitClock& clock, PortPathLookup paths);

    // NoAnswer when ports opened but the recorder answered on none; Refused
    // when no port could be opened at all.
    TransferResult Open() override;
    bool Close() override;
    TransferResult Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                        ProgressSink* progress) override;
    TransferResult Write(std::uint32_t address, const std::uint8_t* buffer, std::uint32_t count,
                         ProgressSink* progress) override;

    // The port the last successful open found the recorder on (kept after
    // closing, for telling the user); 0 and empty before any.
    int FoundPort() const { return m_foundPort; }
    const std::filesystem::path& FoundDevice() const { return m_foundDevice; }

    SerialLink& Link() { return m_link; }

  private:
    std::unique_ptr<SerialPort> m_port;
    SerialLink m_link;
    int m_foundPort = 0;
    std::filesystem::path m_foundDevice;
};

// The recorder on the machine's serial ports 1..8 (see ComPortPath), waiting
// on `clock`. Attach it to a dispatch with AttachRecorder.
std::unique_ptr<RecorderSource> MakeRecorder(WaitClock& clock);

}  // namespace zorvek
