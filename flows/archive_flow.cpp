#include "flows/archive_flow.h"

#include "flows/readout_stamp.h"
#include "model/cp1251.h"
#include "model/format_check.h"
#include "model/memory_map.h"

namespace zorvek {
namespace {

using archive::ArchiveError;

std::chrono::sys_seconds Now() {
    return std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
}

}  // namespace

ArchiveStore StoreReadout(Session& session, archive::ReadoutSource source,
                          archive::ReadoutArchive& archive, std::string note,
                          std::optional<std::chrono::sys_seconds> readAt) {
    ArchiveStore stored;
    stored.location = archive.Location();
    archive::NewReadout readout;
    readout.image.resize(memory_map::kImageSize);
    const TransferResult read = session.dispatch.ReadMemory(
        memory_map::kStoredBank, readout.image.data(), memory_map::kImageSize, nullptr);
    if (!read) {
        stored.status = {ArchiveError::NotAnImage, "образ не читается из файла"};
        return stored;
    }
    readout.source = source;
    readout.readAt = readAt ? *readAt : ImageReadTime(session).value_or(Now());
    readout.program = ProgramVersionText();
    readout.note = std::move(note);
    const archive::ArchiveResult<archive::Added> added = archive.Add(readout);
    stored.status = added.status;
    stored.added = added.value;
    return stored;
}

ArchiveStore StoreReadout(Session& session, archive::ReadoutSource source) {
    const std::string location = archive::DefaultArchiveLocation();
    auto opened = archive::OpenArchive(location);
    if (!opened) {
        ArchiveStore stored;
        stored.status = opened.status;
        stored.location = archive::DisplayedLocation(location);
        return stored;
    }
    return StoreReadout(session, source, *opened.value);
}

std::string ArchiveStoreMessage(const ArchiveStore& stored) {
    const std::string where = Cp1251FromUtf8(stored.location);
    if (!stored) {
        return Cp1251FromUtf8("Считывание не сохранено в архив ") + where + ": " +
               ArchiveFailureText(stored.status);
    }
    std::string message =
        Cp1251FromUtf8(stored.added.alreadyStored ? "Считывание уже есть в архиве: "
                                                  : "Считывание сохранено в архив: ") +
        where;
    if (stored.added.flags.recorderChanged) {
        message += Cp1251FromUtf8("; внимание: регистратор сменился");
    }
    if (stored.added.flags.countersBack) {
        message += Cp1251FromUtf8("; внимание: счётчики меньше, чем при прошлом считывании");
    }
    return message;
}

std::string ArchiveFailureText(const archive::ArchiveStatus& status) {
    const char* what = "";
    switch (status.error) {
        case ArchiveError::None:
            return {};
        case ArchiveError::NotAnImage:
            what = "это не образ накопителя";
            break;
        case ArchiveError::NotFound:
            what = "нет такого считывания";
            break;
        case ArchiveError::CannotOpen:
            what = "нет связи с архивом";
            break;
        case ArchiveError::SchemaTooNew:
            what = "архив записан более новой версией программы, запись в него невозможна";
            break;
        case ArchiveError::ReadOnly:
            what = "архив открыт только для чтения: у пользователя нет права записи в него";
            break;
        case ArchiveError::DatabaseFailure:
            what = "ошибка базы данных архива";
            break;
        case ArchiveError::ImageChanged:
            what =
                "образ в архиве повреждён: он изменился после сохранения (SHA-256 не "
                "совпадает), документы по нему не делаются";
            break;
    }
    std::string text = Cp1251FromUtf8(what);
    if (!status.reason.empty()) text += " (" + Cp1251FromUtf8(status.reason) + ")";
    return text;
}

}  // namespace zorvek
