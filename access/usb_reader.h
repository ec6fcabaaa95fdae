#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "access/usb_device_port.h"

namespace zorvek {

// What is particular to the USB reader on its port: the control registers
// of its handshake, the watcher's hooks, transfers of the recorder image it
// holds, and the dump of that image to a file.
//
// The reader keeps the image in its bank 3 with every byte inverted
// (bitwise NOT). ReaderReadImage and ReaderWriteImage move the stored,
// inverted bytes; ReaderCopyImage gives the image itself.
class UsbReader {
  public:
    static constexpr std::uint16_t kReaderRevision = 0x0001;
    static constexpr std::uint32_t kImageBank = 0x030000;
    static constexpr std::uint32_t kDumpChunk = 128;
    static constexpr WaitClock::Duration kAfterImageTransfer{30};
    static constexpr WaitClock::Duration kHandshakeDelay{500};

    // Registers 243..247 of bank 0.
    static constexpr std::uint32_t kLinkModeRegister = 243;
    static constexpr std::uint32_t kReleaseRequestRegister = 244;
    static constexpr std::uint32_t kAttachRegister = 245;
    static constexpr std::uint32_t kHostReadyRegister = 246;
    static constexpr std::uint32_t kDetachRegister = 247;

    explicit UsbReader(UsbDevicePort& port) : m_port(port) {}

    // Told when the reader becomes ready and when it goes away (or asks to
    // be released); the window enables and disables its USB load with them.
    std::function<void()> ReaderOnAttached;
    std::function<void()> ReaderOnDetached;
    // A short signal to the user at both moments (the window's beep).
    std::function<void()> ReaderOnBeep;

    // Installs the hooks below on the port and starts its watch for revision
    // 0001; returns when the first tick is due.
    WaitClock::Duration ReaderInit();

    // Writes (done ? 2 : 0) + (running ? 1 : 0) to the link-mode register.
    TransferResult ReaderSetMode(bool done, bool running);
    // The stored (inverted) bytes at image offset `offset`, framed by the
    // link modes "running" and "done" and a 30 ms pause; the result is the
    // transfer's own. offset + count must not pass the end of the image
    // (OutOfRange, nothing sent).
    TransferResult ReaderReadImage(std::uint16_t offset, std::uint8_t* buffer, std::uint32_t count,
                                   ProgressSink* progress);
    TransferResult ReaderWriteImage(std::uint16_t offset, const std::uint8_t* buffer,
                                    std::uint32_t count, ProgressSink* progress);
    // Reads `count` bytes of the image from `offset` into `image`, restored
    // from the reader's inverted storage, in chunks of 128 bytes. The result
    // is the first failed chunk's, and `image` is of no use then. A count of 0, or one past the end
    // of the image, is OutOfRange. `progress` shows 1 at the start, then the share of chunks done,
    // and is left at 0.
    TransferResult ReaderCopyImage(std::uint16_t offset, std::uint32_t count,
                                   std::vector<std::uint8_t>& image, ProgressSink* progress);

    // The watcher's hooks.
    void ReaderConnect();
    void ReaderDisconnect();
    // Register 244: 1 asks to be released (Busy), any other value is Ready;
    // a read that fails is Silent.
    UsbDevicePort::ReadyAnswer ReaderReadyCheck();

    UsbDevicePort& Port() { return m_port; }

  private:
    template <typename Transfer>
    TransferResult ImageTransfer(std::uint16_t offset, std::uint32_t count, Transfer transfer);
    void Beep();

    UsbDevicePort& m_port;
};

}  // namespace zorvek
