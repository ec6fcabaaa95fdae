#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "access/serial_port.h"
#include "access/usb_port_finder.h"
#include "access/wait_clock.h"
#include "model/sinks.h"
#include "model/transfer_result.h"

namespace zorvek {

// The USB reader's port: finding it, the frame protocol, block transfers,
// and the watcher that notices the reader come and go. One object per
// reader; nothing is shared between objects.
//
// The watcher does not own a timer. Whoever owns this object calls
// UsbWatchTick when the interval it was given has passed (the window with
// its timer, the command line in a loop); ticks must not overlap.
class UsbDevicePort {
  public:
    using Duration = WaitClock::Duration;
    static constexpr Duration kFirstTick{20};
    static constexpr Duration kTickInterval{500};
    // Every response must arrive whole within this long of the read.
    static constexpr Duration kResponseTimeout{200};
    static constexpr Duration kRetryDelay{200};
    static constexpr Duration kCloseDelay{50};
    static constexpr std::uint32_t kBaud = 38400;
    static constexpr std::uint32_t kMaxFrameData = 128;

    enum class State { Idle, OpenNotReady, Ready };
    // What the ready check heard: ready, a request to be released, or no
    // answer at all.
    enum class ReadyAnswer { Ready, Busy, Silent };

    // What the reader's own code does when the watcher sees it come and go.
    // An unset hook is skipped; an unset ready check counts as ready.
    struct Hooks {
        std::function<void()> onConnect;
        std::function<void()> onDisconnect;
        std::function<ReadyAnswer()> onReadyCheck;
    };

    UsbDevicePort(UsbPortFinder finder, WaitClock& clock);
    UsbDevicePort(const UsbDevicePort&) = delete;
    UsbDevicePort& operator=(const UsbDevicePort&) = delete;

    void SetHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // Sets the revision that identifies the reader (0 keeps the current one)
    // and returns when the first tick is due.
    Duration UsbStartWatch(std::uint16_t revision);
    // One look for the reader: closes a port whose reader went away or moved
    // (running the disconnect hook), opens the port of a reader found, and
    // connects or disconnects by the ready check. Returns when the next tick
    // is due. A tick that comes while a transfer runs (a window pumping its
    // events from a progress display) only asks for the next one.
    //
    // With several readers attached, one that does not become ready (busy,
    // silent, or its port refused) is passed over: the next tick tries the
    // next one, and after the last the first again. A reader alone that
    // stays silent counts as ready, as a ready check without an answer
    // always has; only its request to be released holds it back.
    Duration UsbWatchTick();

    // The ports' names of the attached readers; empty if none.
    std::vector<std::string> UsbFindPorts() const;
    // On failure no port is open.
    TransferResult UsbOpenPort(const std::string& port);
    // Closes the port (if open) and lets the system settle for 50 ms.
    void UsbClosePort();
    void UsbDelay(Duration duration) { m_clock.Wait(duration); }

    // A count of 0 succeeds; with no port open NotOpen.
    TransferResult UsbReadExact(std::uint8_t* buffer, std::size_t count);
    TransferResult UsbWriteExact(const std::uint8_t* buffer, std::size_t count);

    // Length of a frame from its first byte, for requests and responses.
    static std::size_t UsbFrameLength(std::uint8_t command);

    // Block transfers at a 24-bit reader address, in frames of the largest
    // power of two (128 at most) that fits what remains. One failed frame
    // per block is repeated after 200 ms; a second failure anywhere in the
    // block fails it with that frame's reason (NoAnswer for a missing or
    // late response, BadChecksum for a wrong header or CRC, DeviceGone).
    // With no port open NotOpen at once; a count of 0 succeeds. `progress`
    // (optional) moves through 0..100 and is left at 0.
    TransferResult UsbReadBlock(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                                ProgressSink* progress);
    TransferResult UsbWriteBlock(std::uint32_t address, const std::uint8_t* buffer,
                                 std::uint32_t count, ProgressSink* progress);
    TransferResult UsbReadByte(std::uint32_t address, std::uint8_t& value);
    TransferResult UsbWriteByte(std::uint32_t address, std::uint8_t value);

    // Marks a run of transfers that belongs together (a dump of many
    // blocks): ticks that come meanwhile leave the port alone.
    class TransferScope {
      public:
        explicit TransferScope(UsbDevicePort& port) : m_count(port.m_transfers) { ++m_count; }
        ~TransferScope() { --m_count; }
        TransferScope(const TransferScope&) = delete;
        TransferScope& operator=(const TransferScope&) = delete;

      private:
        int& m_count;
    };

    State CurrentState() const;
    bool UsbReaderReady() const { return m_ready; }
    const std::string& PortName() const { return m_portName; }
    std::uint16_t ExpectedRevision() const { return m_revision; }

  private:
    // Sends the request in m_request (command, address, data) with its CRC
    // and checks the response in m_response.
    TransferResult UsbTransact();
    template <typename Frame>
    TransferResult InFrames(std::uint32_t address, std::uint32_t count, ProgressSink* progress,
                            bool progressBefore, Frame frame);
    void RunDisconnect();
    // The first reader found that has not been passed over; when all have
    // been, they are tried again from the first.
    std::string NextCandidate(const std::vector<std::string>& found);

    UsbPortFinder m_finder;
    WaitClock& m_clock;
    std::unique_ptr<SerialPort> m_link;
    std::string m_portName;
    std::vector<std::string> m_passedOver;
    bool m_ready = false;
    // The open port's device went away under a transfer: the next tick
    // closes it even if a device of the same name is back.
    bool m_lost = false;
    int m_transfers = 0;
    std::uint16_t m_revision = 0;
    Hooks m_hooks;
    std::array<std::uint8_t, 5 + kMaxFrameData> m_request{};
    std::array<std::uint8_t, 2 + kMaxFrameData> m_response{};
};

}  // namespace zorvek
