#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "access/image_file.h"
#include "access/usb_reader.h"
#include "flows/session.h"

namespace zorvek {

// How a load command ended. The window shows `Message`; the command line
// adds the transfer's own reason.
struct LoadOutcome {
    enum class Status {
        Loaded,
        // The dump file was not opened: a cancelled choice, a missing file or
        // one of another size. The window says nothing.
        FileNotOpened,
        // The recorder or the LPT reader did not answer its open, or the
        // USB reader is not attached.
        NoConnection,
        // The image is of another data format (`storedSignature`).
        FormatMismatch,
        // The format signature, the reader's end-of-copy mark or the
        // passport texts could not be read (`transfer` says why).
        ReadFailed,
        // The reader's end-of-copy mark was read and is wrong: the copy is
        // incomplete.
        EndMarkMissing,
        // After a device load: the whole image could not be read, or the
        // default dump file could not be written. Nothing older is loaded.
        SaveReadFailed,
        SaveWriteFailed,
        // The USB reader's image or its end-of-copy mark could not be read
        // (`transfer` says why); an older dump file is untouched. A copy
        // that was read but could not be written is SaveWriteFailed.
        ReaderCopyFailed,
        // The USB reader's end-of-copy mark is wrong: the dump file was
        // written but not loaded.
        ReaderFormatMismatch,
    };

    Status status = Status::Loaded;
    SourceKind source = SourceKind::None;
    TransferResult transfer;
    std::uint32_t storedSignature = 0;
    // The dump file a load from file tried to open, when one was named.
    std::filesystem::path file;

    bool Loaded() const { return status == Status::Loaded; }
};

// The load-from-file command: close whatever source is open, open the dump
// file through the dispatch (the file chosen as DumpFileChoice says; the
// window asks before it loads), check the data format, read the
// passport texts into the sheet. A failed open closes the source again;
// after a format or passport failure the file stays open.
LoadOutcome LoadFromFile(Session& session);

// Loads an image kept elsewhere (a read-out from the archive) as a file
// load does: the image is written to `file` first, so that the documents
// read it from there, and carries `readAt` as its time (see ImageReadTime).
// SaveWriteFailed when `file` cannot be written; the open source stays open
// then.
LoadOutcome LoadImageAsFile(Session& session, const std::filesystem::path& file,
                            std::span<const std::uint8_t> image, std::chrono::sys_seconds readAt);

// The device load commands: close whatever source is open, open the
// device, check the format (and for the LPT reader its end-of-copy mark),
// read the passport texts, then store the whole image as the default dump
// file and load that file as the source. A device that does not open is
// NoConnection with its own reason, and no source is left open. Only a load
// that got that far leaves the data unsaved (SaveState 1).
LoadOutcome LoadFromRecorder(Session& session);
LoadOutcome LoadFromLptReader(Session& session);

// The USB load command: copies the reader's whole image and reads its
// end-of-copy mark, then writes the default dump file, clears the reader's
// new-data mark (123, 0 or 0xFFFFFFFF become 0 in the reader) and loads the
// file. A copy or a mark that cannot be read leaves the file untouched
// (ReaderCopyFailed); a wrong mark leaves the copy in the file, not loaded
// (ReaderFormatMismatch). The reader is no source of the dispatch; whatever
// source was open is closed before the new file is loaded. Only a
// successful load leaves the data unsaved (SaveState 1).
LoadOutcome LoadFromUsbReader(Session& session, UsbReader& reader);

// The save command's branch after a device load (FreshRead set): reads the
// whole image from the open device, writes the default dump file, clears
// the LPT reader's new-data mark (123 becomes 0; the file keeps the mark as
// read), closes the device and loads the new file. When the read or the
// write fails the device is closed all the same, the mark stays, FreshRead
// is cleared and nothing is loaded (an older default dump file is not
// passed off as the new data).
LoadOutcome SaveFreshRead(Session& session);

// The save command's save-as branch: the whole image of the open source to
// `file`; SaveState 2 on success. `file` is untouched on failure.
ImageSave SaveAs(Session& session, const std::filesystem::path& file, ProgressSink* progress);

// The message the window shows for an outcome (cp1251, CR LF as the
// messages have them); empty where the command ends silently.
std::string LoadMessage(const LoadOutcome& outcome);

// What a failed load tells the user (cp1251): a headline (LoadMessage's
// text, or "Ошибка чтения данных" for a read that failed), then, when the
// transfer failed, "\r\nПричина: " and why. Empty for a load that
// succeeded, one the user cancelled, and FileNotOpened (see
// FileNotOpenedMessage).
std::string LoadFailureMessage(const LoadOutcome& outcome);

// Why a dump file was not opened (FileNotOpened), naming the file: not
// found, of another size than an image, or the system's reason. UTF-8, as
// a path need not fit cp1251; empty when no file was named (a cancelled
// choice, an open that closed the file still open).
std::string FileNotOpenedMessage(const LoadOutcome& outcome);

// The message of a failed save-as ("\rОшибка чтения данных").
std::string SaveFailedMessage();

// What the window says after a save-as: nothing on success, the read
// failure's message, or why the file could not be written (cp1251).
std::string SaveAsMessage(const ImageSave& saved);

}  // namespace zorvek
