#include "flows/load_flow.h"

#include "flows/failure_text.h"
#include "model/cp1251.h"
#include "model/format_check.h"

namespace zorvek {
namespace {

using Status = LoadOutcome::Status;

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
    if (source == SourceKind::LptReader && !HasEndOfCopyMark(session.dispatch)) {
        return Outcome(Status::EndMarkMissing, source);
    }
    return Outcome(Status::Loaded, source);
}

LoadOutcome LoadFromDevice(Session& session, SourceKind source) {
    if (const TransferResult opened = session.dispatch.OpenSource(source); !opened) {
        session.dispatch.CloseSource();
        return Outcome(Status::NoConnection, source, opened);
    }
    if (LoadOutcome checked = CheckOpenedImage(session, source); !checked.Loaded()) return checked;
    if (const TransferResult read = session.dispatch.LoadPassportFromRecorder(); !read) {
        return Outcome(Status::ReadFailed, source, read);
    }
    if (source == SourceKind::LptReader) session.dispatch.ClearReaderNewMark();
    session.choice.freshRead = true;
    LoadOutcome saved = SaveFreshRead(session);
    saved.source = source;
    if (saved.Loaded()) session.saveState = Session::SaveState::Unsaved;
    return saved;
}

std::string WriteFailedMessage(const TransferResult& write) {
    return Cp1251FromUtf8("Не удалось записать файл данных: ") + FailureText(write);
}

}  // namespace

LoadOutcome LoadFromFile(Session& session) {
    constexpr SourceKind kSource = SourceKind::DumpFile;
    if (const TransferResult opened = session.dispatch.OpenSource(kSource); !opened) {
        session.dispatch.CloseSource();
        return Outcome(Status::FileNotOpened, kSource, opened);
    }
    if (LoadOutcome checked = CheckOpenedImage(session, kSource); !checked.Loaded()) return checked;
    if (const TransferResult read = session.dispatch.LoadPassportFromRecorder(); !read) {
        return Outcome(Status::ReadFailed, kSource, read);
    }
    return Outcome(Status::Loaded, kSource);
}

LoadOutcome LoadFromRecorder(Session& session) {
    return LoadFromDevice(session, SourceKind::Recorder);
}

LoadOutcome LoadFromLptReader(Session& session) {
    return LoadFromDevice(session, SourceKind::LptReader);
}

LoadOutcome SaveFreshRead(Session& session) {
    const SourceKind source = session.dispatch.Kind();
    const ImageSave saved =
        SaveImage(session.dispatch, session.choice.defaultFile, session.mainProgress);
    session.dispatch.CloseSource();
    if (!saved) {
        session.choice.freshRead = false;
        return Outcome(saved.read ? Status::SaveWriteFailed : Status::SaveReadFailed, source,
                       saved.read ? saved.write : saved.read);
    }
    return LoadFromFile(session);
}

LoadOutcome LoadCopiedImage(Session& session) {
    session.choice.freshRead = true;
    const LoadOutcome loaded = LoadFromFile(session);
    if (loaded.Loaded()) session.saveState = Session::SaveState::Unsaved;
    return loaded;
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
            return WriteFailedMessage(outcome.transfer);
        case Status::ReaderCopyFailed:
            return Cp1251FromUtf8("Ошибка чтения данных!");
        case Status::ReaderEndMarkMissing:
            return Cp1251FromUtf8("Не верный формат данных!");
    }
    return {};
}

std::string SaveFailedMessage() { return Cp1251FromUtf8("\rОшибка чтения данных"); }

std::string SaveAsMessage(const ImageSave& saved) {
    if (!saved.read) return SaveFailedMessage();
    if (!saved.write) return WriteFailedMessage(saved.write);
    return {};
}

}  // namespace zorvek
