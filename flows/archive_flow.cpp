#include "flows/archive_flow.h"

#include <filesystem>
#include <system_error>

#include "archive/image_facts.h"
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

// What failed underneath, where it is known.
const char* CauseText(archive::ArchiveCause cause) {
    using archive::ArchiveCause;
    switch (cause) {
        case ArchiveCause::Unknown:
            break;
        case ArchiveCause::File:
            return "файл архива не открывается";
        case ArchiveCause::Folder:
            return "папка архива не создаётся или это не папка";
        case ArchiveCause::Disk:
            return "ошибка диска с архивом: нет места, диск только для чтения или неисправен";
        case ArchiveCause::NotADatabase:
            return "файл архива — не база данных архива или повреждён";
        case ArchiveCause::Server:
            return "сервер архива не отвечает или не принял соединение";
        case ArchiveCause::Password:
            return "сервер архива не принял пароль пользователя или не получил его";
        case ArchiveCause::Permission:
            return "нет прав доступа к архиву";
    }
    return nullptr;
}

// Digits of `text` from `at`, exactly `count` of them.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

ReadTime ReadTimeOfFile(std::span<const std::uint8_t> image, const std::filesystem::path& file) {
    if (const auto own = archive::ReadTimeOfImage(image, Now())) return {own->at, own->source};
    return {FileWrittenAt(file).value_or(Now()), archive::ReadTimeSource::FileTime};
}

std::optional<std::chrono::sys_seconds> ParseReadAt(std::string_view text) {
    // "15.04.2026 10:21", or with ":SS".
    if (text.size() != 16 && text.size() != 19) return std::nullopt;
    if (text[2] != '.' || text[5] != '.' || text[10] != ' ' || text[13] != ':' ||
        (text.size() == 19 && text[16] != ':')) {
        return std::nullopt;
    }
    const auto day = Digits(text, 0, 2);
    const auto month = Digits(text, 3, 2);
    const auto year = Digits(text, 6, 4);
    const auto hour = Digits(text, 11, 2);
    const auto minute = Digits(text, 14, 2);
    const auto second = text.size() == 19 ? Digits(text, 17, 2) : std::optional<int>(0);
    if (!day || !month || !year || !hour || !minute || !second) return std::nullopt;
    return archive::MomentOfLocal({*year, *month, *day, *hour, *minute, *second});
}

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
    if (readAt) {
        stored.readAt = {*readAt, archive::ReadTimeSource::Given};
    } else if (source != archive::ReadoutSource::File) {
        stored.readAt = {FileWrittenAt(session.dumpFile.FileName()).value_or(Now()),
                         archive::ReadTimeSource::DeviceRead};
    } else {
        stored.readAt = ReadTimeOfFile(readout.image, session.dumpFile.FileName());
    }
    readout.readAt = stored.readAt.at;
    readout.readAtSource = stored.readAt.source;
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
    const archive::FlagBasis& basis = stored.added.basis;
    const auto against = [](std::optional<std::int64_t> id) {
        return id ? Cp1251FromUtf8(" (считывание № " + std::to_string(*id) + ")") : std::string();
    };
    if (stored.added.flags.recorderChanged) {
        message += Cp1251FromUtf8("; внимание: регистратор сменился") +
                   against(basis.recorderElsewhere ? basis.recorderElsewhere : basis.comparedWith);
    }
    if (stored.added.flags.countersBack) {
        message += Cp1251FromUtf8("; внимание: счётчики меньше, чем при прошлом считывании") +
                   against(basis.comparedWith);
    }
    if (!stored.added.alreadyStored && stored.readAt.source == archive::ReadTimeSource::FileTime) {
        message += Cp1251FromUtf8("; в образе нет времени считывания: взято время изменения файла");
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
        case ArchiveError::NotInitialised:
            what =
                "архив на сервере не подготовлен или подготовлен прежней версией программы: "
                "владелец базы данных должен выполнить «zorvek-cli archive init»";
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
    // A failure of the connection or of a statement is told by what failed
    // underneath; the other errors say more than that.
    const bool general =
        status.error == ArchiveError::CannotOpen || status.error == ArchiveError::DatabaseFailure;
    if (const char* cause = CauseText(status.cause); general && cause != nullptr) what = cause;
    std::string text = Cp1251FromUtf8(what);
    if (!status.reason.empty()) text += " (" + Cp1251FromUtf8(status.reason) + ")";
    return text;
}

}  // namespace zorvek
