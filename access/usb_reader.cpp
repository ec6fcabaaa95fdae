#include "access/usb_reader.h"

#include <algorithm>

#include "model/memory_map.h"

namespace zorvek {

WaitClock::Duration UsbReader::ReaderInit() {
    m_port.SetHooks({[this] { ReaderConnect(); }, [this] { ReaderDisconnect(); },
                     [this] { return ReaderReadyCheck(); }});
    return m_port.UsbStartWatch(kReaderRevision);
}

TransferResult UsbReader::ReaderSetMode(bool done, bool running) {
    const int mode = (done ? 2 : 0) + (running ? 1 : 0);
    return m_port.UsbWriteByte(kLinkModeRegister, static_cast<std::uint8_t>(mode));
}

template <typename Transfer>
TransferResult UsbReader::ImageTransfer(std::uint16_t offset, std::uint32_t count,
                                        Transfer transfer) {
    if (offset + count > memory_map::kImageSize) {
        return TransferResult::Fail(TransferError::OutOfRange);
    }
    // The reader serves its image only between these two link modes; their
    // own results do not decide the transfer's: a reader that missed one
    // fails the transfer itself.
    static_cast<void>(ReaderSetMode(false, true));
    const TransferResult result = transfer(kImageBank + offset);
    m_port.UsbDelay(kAfterImageTransfer);
    static_cast<void>(ReaderSetMode(true, false));
    return result;
}

TransferResult UsbReader::ReaderReadImage(std::uint16_t offset, std::uint8_t* buffer,
                                          std::uint32_t count, ProgressSink* progress) {
    return ImageTransfer(offset, count, [&](std::uint32_t address) {
        return m_port.UsbReadBlock(address, buffer, count, progress);
    });
}

TransferResult UsbReader::ReaderWriteImage(std::uint16_t offset, const std::uint8_t* buffer,
                                           std::uint32_t count, ProgressSink* progress) {
    return ImageTransfer(offset, count, [&](std::uint32_t address) {
        return m_port.UsbWriteBlock(address, buffer, count, progress);
    });
}

TransferResult UsbReader::ReaderCopyImage(std::uint16_t offset, std::uint32_t count,
                                          std::vector<std::uint8_t>& image,
                                          ProgressSink* progress) {
    if (count == 0 || offset + count > memory_map::kImageSize) {
        return TransferResult::Fail(TransferError::OutOfRange);
    }
    // The progress display may let the watcher tick between chunks.
    UsbDevicePort::TransferScope copying(m_port);
    if (progress != nullptr) progress->SetPosition(1);
    image.assign(count, 0);
    TransferResult read;
    for (std::uint32_t done = 0; done < count && read;) {
        const std::uint32_t size = std::min(count - done, kDumpChunk);
        read = ReaderReadImage(static_cast<std::uint16_t>(offset + done), image.data() + done, size,
                               nullptr);
        done += size;
        if (read && progress != nullptr) {
            progress->SetPosition(static_cast<int>(std::uint64_t{done} * 100 / count));
        }
    }
    for (std::uint8_t& byte : image) byte = static_cast<std::uint8_t>(~byte);
    if (progress != nullptr) progress->SetPosition(0);
    return read;
}

void UsbReader::Beep() {
    if (ReaderOnBeep) ReaderOnBeep();
}

void UsbReader::ReaderConnect() {
    // A handshake the reader missed shows in the first transfer, which
    // fails with its reason; a reader gone meanwhile is seen at the next tick.
    m_port.UsbDelay(kHandshakeDelay);
    static_cast<void>(m_port.UsbWriteByte(kAttachRegister, 1));
    m_port.UsbDelay(kHandshakeDelay);
    static_cast<void>(m_port.UsbWriteByte(kHostReadyRegister, 1));
    static_cast<void>(ReaderSetMode(true, false));
    Beep();
    if (ReaderOnAttached) ReaderOnAttached();
}

void UsbReader::ReaderDisconnect() {
    // When the port is already gone these writes fail at once, harmlessly.
    m_port.UsbDelay(kHandshakeDelay);
    Beep();
    static_cast<void>(m_port.UsbWriteByte(kAttachRegister, 0));
    static_cast<void>(ReaderSetMode(false, false));
    static_cast<void>(m_port.UsbWriteByte(kDetachRegister, 1));
    if (ReaderOnDetached) ReaderOnDetached();
}

UsbDevicePort::ReadyAnswer UsbReader::ReaderReadyCheck() {
    using Answer = UsbDevicePort::ReadyAnswer;
    std::uint8_t request = 0;
    if (!m_port.UsbReadByte(kReleaseRequestRegister, request)) return Answer::Silent;
    return request == 1 ? Answer::Busy : Answer::Ready;
}

}  // namespace zorvek
