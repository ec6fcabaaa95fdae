#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "access/serial_port.h"
#include "access/wait_clock.h"
#include "model/sinks.h"
#include "model/transfer_result.h"

namespace zorvek {

// The device behind a port number 1..8; an empty path when there is none.
using PortPathLookup = std::function<std::filesystem::path(int port)>;

// The link to the recorder over its serial line: 19200 baud, short request
// and reply frames of at most 64 data bytes, each with a 24-bit address and
// a Crc8. The line is half-duplex, so every byte sent comes back ahead of the
// reply and is read together with it.
//
// States: Closed (no port), Open (a port the recorder answered on), Broken
// (a port is open but a block failed twice; every block fails at once until
// the next connect).
class SerialLink {
  public:
    enum class State { Closed, Open, Broken };

    static constexpr std::uint32_t kBaud = 19200;
    static constexpr int kPortCount = 8;
    static constexpr std::uint32_t kMaxFrameData = 64;
    // The echoed request (5 bytes), the reply header, 64 data bytes, the CRC.
    static constexpr std::size_t kFrameBufferSize = kMaxFrameData + 7;
    // Between the attempts of a block, and after raising DTR.
    static constexpr WaitClock::Duration kSettleWait{50};
    static constexpr WaitClock::Duration kGapTimeout{200};

    SerialLink(SerialPort& port, WaitClock& clock, PortPathLookup paths);
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Tries ports 1..8 in order with a one-byte read at address 0 and keeps
    // the first port that answers open. Returns its number, or 0 when none
    // answered (SearchFailure() says why).
    int ComFindRecorder();
    // Why the search failed, the likeliest cause first: Refused (EBUSY)
    // when a port was held by another program, Refused (EACCES) when one
    // could not be opened for want of permission, NoRecorder when ports
    // opened and none answered, NoRecorder with the system error when no
    // port opened at all (ENOENT when no port names a device).
    TransferResult SearchFailure() const { return m_searchFailure; }

    // Closes the port, whatever the state: Closed.
    void ComDisconnect();
    // Opens `port` at 19200 baud, DTR on and RTS off, waits 50 ms for the
    // line to settle and purges it: Open. Returns the port number, 0 when
    // the port cannot be opened (or is not 1..8); ConnectFailure() says why.
    int ComConnect(int port);
    const TransferResult& ConnectFailure() const { return m_connectFailure; }

    // Fails without opening anything while a port is open, for a port not
    // 1..8 or without a device, and for a baud rate the line does not know.
    TransferResult ComOpenPort(int port, std::uint32_t baud);
    void ComClosePort();
    // Drops whatever is pending in both directions.
    void ComPurge();
    // One read of exactly `count` bytes within the line's time-outs:
    // 80000 / baud + 1 ms per byte plus 200 ms in all, and 200 ms between
    // bytes once the first has come. 0 bytes succeed at once.
    TransferResult ComReadExact(std::uint8_t* buffer, std::size_t count);
    // Sends all `count` bytes; 0 bytes succeed at once.
    TransferResult ComWriteExact(const std::uint8_t* buffer, std::size_t count);

    // Reads `count` bytes from recorder address `address` (bits 0..23) in
    // frames of at most 64 bytes. A failed frame fails the attempt; the whole
    // block is tried once more from its start after 50 ms, and a second
    // failure breaks the link. Count 0 succeeds without traffic in any state;
    // on a Closed link NotOpen, on a Broken one the failure that broke it.
    // `progress` moves to 1 at each attempt, then with the bytes done, and
    // is left at 0.
    TransferResult ComReadBlock(std::uint32_t address, std::uint8_t* destination,
                                std::uint32_t count, ProgressSink* progress);
    // As ComReadBlock; every frame must be acknowledged with two 0 bytes.
    TransferResult ComWriteBlock(std::uint32_t address, const std::uint8_t* source,
                                 std::uint32_t count, ProgressSink* progress);

    // True while no recorder link is usable (Closed or Broken).
    bool ComLinkClosed() const { return m_linkClosed; }
    State LinkState() const;
    // The number of the open port, 0 when none is open.
    int PortNumber() const { return m_portNumber; }
    std::filesystem::path PortPath() const { return m_portPath; }

  private:
    // One frame of a block: `n` bytes at `offset` into the block, sent to or
    // from recorder address `address`.
    using FrameTransfer =
        std::function<TransferResult(std::uint32_t address, std::uint32_t offset, std::uint32_t n)>;

    TransferResult TransferBlock(std::uint32_t address, std::uint32_t count, ProgressSink* progress,
                                 const FrameTransfer& frame);
    TransferResult TransferFrames(std::uint32_t address, std::uint32_t count,
                                  ProgressSink* progress, const FrameTransfer& frame);
    TransferResult ReadFrame(std::uint32_t address, std::uint8_t* destination, std::uint32_t n);
    TransferResult WriteFrame(std::uint32_t address, const std::uint8_t* source, std::uint32_t n);

    SerialPort& m_port;
    WaitClock& m_clock;
    PortPathLookup m_paths;
    bool m_linkClosed = true;
    TransferResult m_breakReason = TransferResult::Fail(TransferError::NotOpen);
    TransferResult m_searchFailure = TransferResult::Fail(TransferError::NotOpen);
    TransferResult m_connectFailure;
    int m_portNumber = 0;
    std::filesystem::path m_portPath;
    std::uint32_t m_baud = kBaud;
    std::array<std::uint8_t, kFrameBufferSize> m_frame{};
};

// True for the baud rates a serial line can be opened at: 110 to 256000 in
// the usual steps.
bool IsAcceptedBaudRate(std::uint32_t baud);

}  // namespace zorvek
