#include "flows/load_flow.h"

#include <array>
#include <cerrno>
#include <system_error>
#include <vector>

#include "flows/failure_text.h"
#include "flows/readout_stamp.h"
#include "model/atomic_file.h"
#include "model/bits.h"
#include "model/cp1251.h"
#include "model/format_check.h"
#include "model/memory_map.h"

namespace zorvek {
namespace {

// Device data just written to the dump file, read this moment.
void MarkFreshRead(Session& session) {
    session.saveState = Session::SaveState::Unsaved;
    session.readAt =
        std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
}

using Status = LoadOutcome::Status;

constexpr const char* kReadFailed = "Ошибка чтения данных";
constexpr const char* kWriteFailed = "Не удалось записать файл данных";

LoadOutcome Outcome(Status status, SourceKind source, TransferResult transfer = {}) {
    LoadOutcome outcome;
    outcome.status = status;
    outcome.source = source;
    outcome.transfer = transfer;
    return outcome;
}

// The steps every load shares after the open: the data format, then for a
// reader the end-of-copy mark.
LoadOutcome CheckOpenedImage(Session& session, SourceKind source) {
    const FormatCheck format = CheckDataFormat(session.dispatch);
    if (!format.readOk) return Outcome(Status::ReadFailed, source, format.read);
    if (!format.Accepted()) {
        LoadOutcome outcome = Outcome(Status::FormatMismatch, source);
        outcome.storedSignature = format.stored;
        return outcome;
    }
    if (source == SourceKind::LptReader) {
        // A mark that could not be read says nothing about the copy: the
        // reader failed, as at any other read.
        const EndOfCopyCheck mark = CheckEndOfCopyMark(session.dispatch);
        if (!mark.read) return Outcome(Status::ReadFailed, source, mark.read);
        if (!mark.Present()) return Outcome(Status::EndMarkMissing, source);
    }
    return Outcome(Status::Loaded, source);
}

// Opens the source (a failed open is closed again and ends as
// `openFailed`), checks the image and reads the passport texts.
LoadOutcome OpenCheckAndReadPassport(Session& session, SourceKind source, Status openFailed) {
    if (const TransferResult opened = session.dispatch.OpenSource(source); !opened) {
        session.dispatch.CloseSource();
        return Outcome(openFailed, source, opened);
    }
    if (LoadOutcome checked = CheckOpenedImage(session, source); !checked.Loaded()) return checked;
    if (const TransferResult read = session.dispatch.LoadPassportFromRecorder(); !read) {
        return Outcome(Status::ReadFailed, source, read);
    }
    return Outcome(Status::Loaded, source);
}

LoadOutcome LoadFromDevice(Session& session, SourceKind source) {
    // The dispatch keeps one source at a time: the file of an earlier load
    // (the default dump file of the last device load, or one the user
    // opened) gives way to the device instead of refusing it.
    session.dispatch.CloseSource();
    if (LoadOutcome opened = OpenCheckAndReadPassport(session, source, Status::NoConnection);
        !opened.Loaded()) {
        return opened;
    }
    session.choice.freshRead = true;
    LoadOutcome saved = SaveFreshRead(session);
    saved.source = source;
    if (saved.Loaded()) MarkFreshRead(session);
    return saved;
}

// A dword of the USB reader's image, restored from its inverted storage.
TransferResult ReadReaderDword(UsbReader& reader, std::uint32_t address, std::uint32_t& value) {
    std::array<std::uint8_t, 4> stored{};
    const TransferResult read = reader.ReaderReadImage(
        static_cast<std::uint16_t>(memory_map::Offset(address)), stored.data(), 4, nullptr);
    value = ~LoadLe(stored, 0, 4);
    return read;
}

// The reader marks an image it has not handed over yet with 123 (0 and
// 0xFFFFFFFF are a fresh or erased reader); all three become 0, stored
// inverted as four 0xFF bytes.
void ClearUsbNewDataMark(UsbReader& reader) {
    std::uint32_t mark = 0;
    if (!ReadReaderDword(reader, memory_map::kNewDataMarkAddress, mark)) return;
    if (mark != memory_map::kReaderNewDataValue && mark != 0 && mark != 0xFFFFFFFF) return;
    constexpr std::array<std::uint8_t, 4> kStoredZero{0xFF, 0xFF, 0xFF, 0xFF};
    // The image is copied whole by now; a mark left standing only shows it
    // as new once more at the next read.
    static_cast<void>(reader.ReaderWriteImage(
        static_cast<std::uint16_t>(memory_map::Offset(memory_map::kNewDataMarkAddress)),
        kStoredZero.data(), 4, nullptr));
}

}  // namespace

LoadOutcome LoadFromFile(Session& session) {
    // One source at a time: whatever is open gives way to the file.
    session.dispatch.CloseSource();
    session.readAt.reset();
    LoadOutcome outcome =
        OpenCheckAndReadPassport(session, SourceKind::DumpFile, Status::FileNotOpened);
    outcome.file = session.dumpFile.FileName();
    return outcome;
}

LoadOutcome LoadImageAsFile(Session& session, const std::filesystem::path& file,
                            std::span<const std::uint8_t> image, std::chrono::sys_seconds readAt) {
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    if (const TransferResult written = WriteFileAtomically(file, image); !written) {
        LoadOutcome outcome = Outcome(Status::SaveWriteFailed, SourceKind::DumpFile, written);
        outcome.file = file;
        return outcome;
    }
    // Best effort: a file system that keeps no such times leaves the copy's.
    SetReadTime(file, readAt);
    session.choice.namedFile = file;
    LoadOutcome loaded = LoadFromFile(session);
    if (loaded.Loaded()) session.readAt = readAt;
    return loaded;
}

LoadOutcome LoadFromRecorder(Session& session) {
    return LoadFromDevice(session, SourceKind::Recorder);
}

LoadOutcome LoadFromLptReader(Session& session) {
    return LoadFromDevice(session, SourceKind::LptReader);
}

LoadOutcome LoadFromUsbReader(Session& session, UsbReader& reader) {
    std::vector<std::uint8_t> image;
    if (const TransferResult copied =
            reader.ReaderCopyImage(0, memory_map::kImageSize, image, session.mainProgress);
        !copied) {
        return Outcome(Status::ReaderCopyFailed, SourceKind::None, copied);
    }
    // The end-of-copy mark is decided before the file is touched: when it
    // cannot be read the older file stays as it was.
    std::uint32_t endMark = 0;
    if (const TransferResult read =
            ReadReaderDword(reader, memory_map::kEndOfCopyMarkAddress, endMark);
        !read) {
        return Outcome(Status::ReaderCopyFailed, SourceKind::None, read);
    }
    if (const TransferResult written = WriteFileAtomically(session.choice.defaultFile, image);
        !written) {
        return Outcome(Status::SaveWriteFailed, SourceKind::None, written);
    }
    if (endMark != memory_map::kDataFormatSignature) {
        return Outcome(Status::ReaderFormatMismatch, SourceKind::None);
    }
    ClearUsbNewDataMark(reader);
    session.choice.freshRead = true;
    const LoadOutcome loaded = LoadFromFile(session);
    if (loaded.Loaded()) MarkFreshRead(session);
    return loaded;
}

LoadOutcome SaveFreshRead(Session& session) {
    const SourceKind source = session.dispatch.Kind();
    const ImageSave saved =
        SaveImage(session.dispatch, session.choice.defaultFile, session.mainProgress);
    // The reader's new-data mark goes only once its image is safe in the
    // file, so that a copy that failed still shows as new at the next read.
    // Should the clearing itself fail, the image only shows as new once more.
    if (saved && source == SourceKind::LptReader) {
        static_cast<void>(session.dispatch.ClearReaderNewMark());
    }
    session.dispatch.CloseSource();
    if (!saved) {
        session.choice.freshRead = false;
        return Outcome(saved.read ? Status::SaveWriteFailed : Status::SaveReadFailed, source,
                       saved.read ? saved.write : saved.read);
    }
    return LoadFromFile(session);
}

ImageSave SaveAs(Session& session, const std::filesystem::path& file, ProgressSink* progress) {
    const ImageSave saved = SaveImage(session.dispatch, file, progress);
    if (saved) session.saveState = Session::SaveState::Saved;
    return saved;
}

std::string LoadMessage(const LoadOutcome& outcome) {
    switch (outcome.status) {
        case Status::Loaded:
        case Status::FileNotOpened:
        case Status::ReadFailed:
            return {};
        case Status::NoConnection:
            return Cp1251FromUtf8(outcome.source == SourceKind::Recorder
                                      ? "   Нет связи с прибором"
                                      : "Нет связи с прибором считывания");
        case Status::FormatMismatch:
            return FormatMismatchMessage(outcome.storedSignature);
        case Status::EndMarkMissing:
            return Cp1251FromUtf8("Данные считаны не до конца либо не верный формат данных.");
        case Status::SaveReadFailed:
            return SaveFailedMessage();
        case Status::SaveWriteFailed:
            return Cp1251FromUtf8(std::string(kWriteFailed) + ": ") + FailureText(outcome.transfer);
        case Status::ReaderCopyFailed:
            return Cp1251FromUtf8("Ошибка чтения данных!");
        case Status::ReaderFormatMismatch:
            return Cp1251FromUtf8("Не верный формат данных!");
    }
    return {};
}

std::string LoadFailureMessage(const LoadOutcome& outcome) {
    const TransferResult& why = outcome.transfer;
    if (outcome.Loaded() || outcome.status == Status::FileNotOpened ||
        why.Error() == TransferError::Cancelled) {
        return {};
    }
    std::string headline;
    switch (outcome.status) {
        // The save-as box's leading "\r" and the write message's own
        // reason give way to the reason's line below.
        case Status::ReadFailed:
        case Status::SaveReadFailed:
            headline = Cp1251FromUtf8(kReadFailed);
            break;
        case Status::SaveWriteFailed:
            headline = Cp1251FromUtf8(kWriteFailed);
            break;
        default:
            headline = LoadMessage(outcome);
            break;
    }
    if (why.Error() == TransferError::None) return headline;
    return headline + Cp1251FromUtf8("\r\nПричина: ") + FailureText(why);
}

std::string FileNotOpenedMessage(const LoadOutcome& outcome) {
    const TransferResult& why = outcome.transfer;
    // No file named: a cancelled choice, or the open only closed the file
    // that was still open.
    if (outcome.status != Status::FileNotOpened || why.Error() == TransferError::Cancelled ||
        outcome.file.empty()) {
        return {};
    }
    const std::u8string path = outcome.file.u8string();
    const std::string name(path.begin(), path.end());
    if (why.Error() == TransferError::OutOfRange && why.SystemError() == EFBIG) {
        std::error_code ignored;
        return "Файл " + name + " не образ накопителя: его размер " +
               std::to_string(std::filesystem::file_size(outcome.file, ignored)) +
               " байт, а образ занимает ровно 65536 байт.";
    }
    if (why.SystemError() == ENOENT) return "Файл не найден: " + name;
    return "Не удалось открыть файл " + name + ": " + Utf8FromCp1251(FailureText(why));
}

std::string SaveFailedMessage() { return Cp1251FromUtf8(std::string("\r") + kReadFailed); }

std::string SaveAsMessage(const ImageSave& saved) {
    if (!saved.read) return SaveFailedMessage();
    if (!saved.write)
        return Cp1251FromUtf8(std::string(kWriteFailed) + ": ") + FailureText(saved.write);
    return {};
}

}  // namespace zorvek
