#pragma once

#include <cstdint>
#include <set>
#include <span>
#include <vector>

namespace zorvek::sim {

// The portable reader as its USB port sees it: request frames in, response
// frames out. It holds a recorder image in its bank 3 with every byte
// inverted, and its control registers in bank 0.
//
// Frames: a read request is 0x40+k, a 24-bit address (low byte first) and a
// CRC-8/MAXIM; a write request 0x48+k, the address, 2^k data bytes and the
// CRC. The answer starts with the request's first byte XOR 0x88: a read
// answer carries the 2^k bytes, a write answer only the CRC.
//
// How this reader behaves where the host does not care: it serves its image
// only while the link mode (register 243) is 1, and keeps silent on a frame
// with a wrong CRC, on an address it does not have, and on an image access
// in any other link mode. Register 244 reads 1 while it is busy (it asks
// the host to let it go).
class UsbReaderDevice {
  public:
    static constexpr std::uint32_t kLinkMode = 243;
    static constexpr std::uint32_t kReleaseRequest = 244;

    // Misbehaviour on request. Frames are counted from 1 in the order they
    // arrive, whatever they ask.
    struct Faults {
        std::set<std::uint32_t> noAnswer;  // frames left without an answer
        std::set<std::uint32_t> badCrc;    // frames answered with a wrong CRC
        std::uint32_t unplugAfter = 0;     // answer this frame, then leave (0: never)
    };

    struct RegisterWrite {
        std::uint8_t reg;
        std::uint8_t value;
        bool operator==(const RegisterWrite&) const = default;
    };

    // `image` is the recorder image as a dump file holds it (65,536 bytes).
    explicit UsbReaderDevice(std::span<const std::uint8_t> image);

    // Takes bytes from the line and returns what the reader sends back.
    // A partial frame waits for the rest; a byte that cannot start a frame
    // is dropped.
    std::vector<std::uint8_t> Receive(std::span<const std::uint8_t> bytes);
    // The line stayed quiet in the middle of a frame: forget it.
    void DropPartialFrame() { m_pending.clear(); }

    Faults faults;
    bool busy = false;

    std::uint32_t FramesSeen() const { return m_frames; }
    bool Unplugged() const { return faults.unplugAfter != 0 && m_frames >= faults.unplugAfter; }
    // Every write to registers 243..247, in order.
    const std::vector<RegisterWrite>& RegisterWrites() const { return m_registerWrites; }
    // The first byte and address of every frame received, in order.
    struct Request {
        std::uint8_t command;
        std::uint32_t address;
        bool operator==(const Request&) const = default;
    };
    const std::vector<Request>& Requests() const { return m_requests; }
    // The image as it would be dumped (stored bytes inverted back).
    std::vector<std::uint8_t> Image() const;
    std::uint8_t Register(std::uint32_t reg) const { return m_registers.at(reg); }

  private:
    std::vector<std::uint8_t> Answer(std::span<const std::uint8_t> frame);
    bool Holds(std::uint32_t address, std::uint32_t size) const;

    std::vector<std::uint8_t> m_stored;
    std::vector<std::uint8_t> m_registers;
    std::vector<std::uint8_t> m_pending;
    std::vector<RegisterWrite> m_registerWrites;
    std::vector<Request> m_requests;
    std::uint32_t m_frames = 0;
};

}  // namespace zorvek::sim
