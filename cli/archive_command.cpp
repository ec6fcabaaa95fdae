#include "cli/archive_command.h"

#include <chrono>
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "archive/fleet_due.h"
#include "archive/readout_archive.h"
#include "cli/command_line.h"
#include "cli/image_source.h"
#include "cli/record_output.h"
#include "cli/terminal.h"
#include "cli/terminal_sinks.h"
#include "flows/archive_flow.h"
#include "flows/archive_import.h"
#include "flows/document_table.h"
#include "flows/failure_text.h"
#include "flows/fleet_report.h"
#include "flows/readout_stamp.h"
#include "model/atomic_file.h"
#include "model/cp1251.h"
#include "model/decimal_number.h"
#include "model/format.h"
#include "reports/charts/gui_application.h"
#include "reports/common/utf8_path.h"
#include "reports/paper/paper_writer.h"

namespace zorvek::cli {
namespace {

using archive::ArchiveError;
using archive::ArchiveStatus;
using archive::ReadoutSummary;

constexpr int kNotFound = 8;
constexpr int kArchiveFailed = 9;
constexpr int kSchemaTooNew = 10;
constexpr int kArchiveDamaged = 11;

int ExitCodeOf(const ArchiveStatus& status) {
    switch (status.error) {
        case ArchiveError::None:
            return 0;
        case ArchiveError::NotFound:
            return kNotFound;
        case ArchiveError::SchemaTooNew:
            return kSchemaTooNew;
        case ArchiveError::NotAnImage:
            return 3;
        case ArchiveError::ImageChanged:
            return kArchiveDamaged;
        case ArchiveError::CannotOpen:
        case ArchiveError::DatabaseFailure:
        case ArchiveError::ReadOnly:
        case ArchiveError::NotInitialised:
            break;
    }
    return kArchiveFailed;
}

int Failed(const ArchiveStatus& status, const std::string& location) {
    PrintErrorUtf8("Архив " + location + ": " + Utf8FromCp1251(ArchiveFailureText(status)));
    return ExitCodeOf(status);
}

std::string Fixed(double value, int decimals) {
    return std::isfinite(value) ? FormatFixed(value, decimals) : "null";
}

std::string Integer(std::int64_t value) { return std::to_string(value); }

std::string TwoDigits(unsigned value) { return (value < 10 ? "0" : "") + std::to_string(value); }

std::string DayText(std::chrono::sys_days day) {
    const std::chrono::year_month_day date(day);
    return std::to_string(static_cast<int>(date.year())) + "-" +
           TwoDigits(static_cast<unsigned>(date.month())) + "-" +
           TwoDigits(static_cast<unsigned>(date.day()));
}

// UTC, as ISO 8601 writes it.
std::string MomentText(std::chrono::sys_seconds moment) {
    const auto day = std::chrono::floor<std::chrono::days>(moment);
    const std::chrono::hh_mm_ss time(moment - day);
    return DayText(day) + "T" + TwoDigits(static_cast<unsigned>(time.hours().count())) + ":" +
           TwoDigits(static_cast<unsigned>(time.minutes().count())) + ":" +
           TwoDigits(static_cast<unsigned>(time.seconds().count())) + "Z";
}

const char* SourceName(archive::ReadoutSource source) {
    switch (source) {
        case archive::ReadoutSource::File:
            return "file";
        case archive::ReadoutSource::Recorder:
            return "recorder";
        case archive::ReadoutSource::UsbReader:
            return "usb";
        case archive::ReadoutSource::LptReader:
            return "lpt";
    }
    return "file";
}

const char* ReadTimeSourceName(archive::ReadTimeSource source) {
    switch (source) {
        case archive::ReadTimeSource::Unknown:
            return "unknown";
        case archive::ReadTimeSource::DeviceRead:
            return "device_read";
        case archive::ReadTimeSource::ImageRecord:
            return "image_record";
        case archive::ReadTimeSource::StatisticsEnd:
            return "statistics_end";
        case archive::ReadTimeSource::FileTime:
            return "file_time";
        case archive::ReadTimeSource::Given:
            return "given";
    }
    return "unknown";
}

Field OptionalId(std::string key, std::string title, const std::optional<std::int64_t>& id) {
    return id ? NumberField(std::move(key), std::move(title), std::to_string(*id))
              : NoneField(std::move(key), std::move(title));
}

Field Optional(std::string key, std::string title, const std::optional<double>& value, int decimals,
               double scale = 1) {
    return value ? NumberField(std::move(key), std::move(title), Fixed(*value * scale, decimals))
                 : NoneField(std::move(key), std::move(title));
}

Field OptionalInt(std::string key, std::string title, const std::optional<int>& value) {
    return value ? NumberField(std::move(key), std::move(title), Integer(*value))
                 : NoneField(std::move(key), std::move(title));
}

Field OptionalDay(std::string key, std::string title,
                  const std::optional<std::chrono::sys_days>& day) {
    return day ? TextField(std::move(key), std::move(title), DayText(*day))
               : NoneField(std::move(key), std::move(title));
}

// A blank registration is shown as such, never as an empty cell that a
// reader takes for a crane that merged with the next.
std::string RegistrationText(const std::string& registration) {
    return archive::RegistrationBlank(registration) ? "рег. № не указан"
                                                    : ForTerminal(registration);
}

void AddCrane(Record& record, const archive::CraneIdentity& crane) {
    record.push_back(TextField("crane", "Рег. №", RegistrationText(crane.registration)));
    record.push_back(TextField("factory_number", "Зав. №", ForTerminal(crane.factoryNumber)));
    record.push_back(
        TextField("recorder_number", "Регистратор", ForTerminal(crane.recorderNumber)));
}

void AddFigures(Record& record, const archive::ReadoutFigures& figures) {
    record.push_back(
        NumberField("cycles", "Циклов", Integer(static_cast<std::int64_t>(figures.totalCycles))));
    record.push_back(NumberField("hours", "Часов", Fixed(figures.totalHours, 1)));
    record.push_back(
        NumberField("overloads", ">110 %", Integer(static_cast<std::int64_t>(figures.overloads))));
    record.push_back(Optional("kp", "Kp", figures.kp, 3));
    record.push_back(OptionalInt("group", "Группа", figures.actualGroup));
    record.push_back(OptionalInt("passport_group", "По паспорту", figures.passportGroup));
    record.push_back(Optional("life_used_percent", "Ресурс, %", figures.lifeUsed, 1, 100));
    record.push_back(OptionalDay("normative_end", "Срок службы до", figures.normativeEnd));
}

void AddFlags(Record& record, const archive::ReadoutFlags& flags) {
    record.push_back(FlagField("recorder_changed", "Смена регистратора", flags.recorderChanged));
    record.push_back(FlagField("counters_back", "Счётчики назад", flags.countersBack));
}

void AddBasis(Record& record, const archive::FlagBasis& basis) {
    record.push_back(OptionalId("compared_with", "Сравнено с №", basis.comparedWith));
    record.push_back(OptionalId("recorder_elsewhere", "Регистратор был на другом кране, №",
                                basis.recorderElsewhere));
}

Record SummaryRecord(const ReadoutSummary& summary) {
    Record record{NumberField("id", "№", Integer(summary.id))};
    AddCrane(record, summary.crane);
    record.push_back(TextField("read_at", "Считано", MomentText(summary.readAt)));
    record.push_back(TextField("source", "Откуда", SourceName(summary.source)));
    AddFigures(record, summary.figures);
    AddFlags(record, summary.flags);
    record.push_back(TextField("note", "Примечание", ForTerminal(summary.note)));
    return record;
}

// What every archive command shares: its parser with --format, the archive.
struct ArchiveCommand {
    ArchiveCommand(const char* name, const char* description)
        : parser(description, std::string("zorvek-cli archive ") + name) {
        SetUpParser(parser);
        parser
            .add_option(
                "--format", formatName,
                "вывод: table (по умолчанию), csv, csv-excel (для Excel: ';', BOM) или json")
            ->type_name("ФОРМАТ");
    }

    // Nothing when the command is to run; otherwise its exit code.
    std::optional<int> ParseArguments(const std::vector<std::string>& args, std::ostream& out) {
        std::string error;
        if (const auto code = Parse(parser, args, out, error)) {
            if (*code != 0) ReportUsageMistake(parser, error);
            return *code;
        }
        const auto chosen = OutputFormatOf(formatName);
        if (!chosen) {
            ReportUsageMistake(parser, "--format: table, csv, csv-excel или json");
            return kWrongUsage;
        }
        format = *chosen;
        return std::nullopt;
    }

    // Nothing when it opened; otherwise the exit code, said why on stderr.
    std::optional<int> OpenTheArchive() {
        const std::string location = archive::DefaultArchiveLocation();
        auto opened = archive::OpenArchive(location);
        if (!opened) return Failed(opened.status, archive::DisplayedLocation(location));
        archive = std::move(opened.value);
        return std::nullopt;
    }

    int Print(const std::vector<Record>& records, std::ostream& out, bool single = false,
              const Record& emptyShape = {}) {
        PrintRecords(records, format, out, single, emptyShape);
        return FlushOutput(out) ? 0 : kOutputFailed;
    }

    CLI::App parser;
    std::string formatName = "table";
    OutputFormat format = OutputFormat::Table;
    std::unique_ptr<archive::ReadoutArchive> archive;
};

int RunAdd(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("add", "Сохраняет образ накопителя из файла в архив.");
    std::string file;
    std::string note;
    command.parser.add_option("ОБРАЗ", file, "образ накопителя (.krd, .bin, .nkp)")->type_name("");
    command.parser.add_option("--note", note, "примечание к считыванию")->type_name("ТЕКСТ");
    std::optional<std::string> readAtText;
    command.parser
        .add_option("--read-at", readAtText,
                    "когда считан (местное время), если не по записям образа")
        ->type_name("\"ДД.ММ.ГГГГ ЧЧ:ММ\"");
    if (const auto code = command.ParseArguments(args, out)) return *code;
    if (file.empty()) {
        ReportUsageMistake(command.parser, "не указан образ");
        return kWrongUsage;
    }
    std::optional<std::chrono::sys_seconds> readAt;
    if (readAtText) {
        readAt = ParseReadAt(*readAtText);
        if (!readAt) {
            ReportUsageMistake(
                command.parser,
                "--read-at: дата и время как \"15.04.2026 10:21\", а не \"" + *readAtText + "\"");
            return kWrongUsage;
        }
    }
    int exitCode = 0;
    auto session = OpenImage(PathOfUtf8(file), exitCode);
    if (!session) return exitCode;
    if (const auto code = command.OpenTheArchive()) return *code;
    const ArchiveStore stored = StoreReadout(*session, archive::ReadoutSource::File,
                                             *command.archive, Cp1251FromUtf8(note), readAt);
    session->dispatch.CloseSource();
    PrintError(ArchiveStoreMessage(stored));
    if (!stored) return ExitCodeOf(stored.status);
    Record record{NumberField("id", "№", Integer(stored.added.id)),
                  FlagField("already_stored", "Уже был в архиве", stored.added.alreadyStored)};
    if (!stored.added.alreadyStored) {
        record.push_back(TextField("read_at", "Считано", MomentText(stored.readAt.at)));
        record.push_back(TextField("read_at_source", "Время считывания из",
                                   ReadTimeSourceName(stored.readAt.source)));
    }
    AddFlags(record, stored.added.flags);
    AddBasis(record, stored.added.basis);
    return command.Print({record}, out, true);
}

int RunList(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("list", "Считывания в архиве, новые первыми.");
    std::optional<std::string> crane;
    command.parser.add_option("--crane", crane, "только кран с этим регистрационным номером")
        ->type_name("РЕГ_№");
    if (const auto code = command.ParseArguments(args, out)) return *code;
    if (const auto code = command.OpenTheArchive()) return *code;
    const std::optional<std::string> registration =
        crane ? std::optional(Cp1251FromUtf8(*crane)) : std::nullopt;
    const auto listed = command.archive->List(registration);
    if (!listed) return Failed(listed.status, command.archive->Location());
    std::vector<Record> records;
    for (const ReadoutSummary& summary : listed.value) records.push_back(SummaryRecord(summary));
    return command.Print(records, out, false, SummaryRecord({}));
}

// The read-out named by the command's ID argument; nothing (with the exit
// code in `exitCode`) when there is none.
std::optional<archive::StoredReadout> Fetch(ArchiveCommand& command, archive::ReadoutId id,
                                            int& exitCode) {
    const auto got = command.archive->Get(id);
    if (!got) {
        exitCode = Failed(got.status, command.archive->Location());
        return std::nullopt;
    }
    return got.value;
}

// "удалено 10.12.2026 14:05 UTC, ivanov: ..." as the log keeps it.
std::string ChangeText(const archive::ArchiveChange& change) {
    const char* what = "";
    switch (change.kind) {
        case archive::ChangeKind::Removed:
            what = "удалено";
            break;
        case archive::ChangeKind::NoteChanged:
            what = "примечание изменено";
            break;
        case archive::ChangeKind::CranesJoined:
            what = "краны объединены";
            break;
    }
    return std::string(what) + " " + MomentText(change.at) + ", " + change.who + ": " +
           ForTerminal(change.detail);
}

int RunShow(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("show", "Одно считывание: паспорт, показатели, отметки.");
    archive::ReadoutId id = 0;
    command.parser.add_option("ID", id, "номер считывания")->type_name("")->required();
    if (const auto code = command.ParseArguments(args, out)) return *code;
    if (const auto code = command.OpenTheArchive()) return *code;
    const auto got = command.archive->Get(id);
    const auto changes = command.archive->Changes(id);
    if (!got) {
        // A removed read-out is gone, but not without a word of who did it.
        if (got.status.error == ArchiveError::NotFound && changes) {
            for (const archive::ArchiveChange& change : changes.value) {
                if (change.kind == archive::ChangeKind::Removed)
                    PrintErrorUtf8("Считывание № " + Integer(id) + " " + ChangeText(change));
            }
        }
        return Failed(got.status, command.archive->Location());
    }
    if (!changes) return Failed(changes.status, command.archive->Location());
    const archive::StoredReadout* stored = &got.value;
    const ReadoutSummary& summary = stored->summary;
    Record record = SummaryRecord(summary);
    record.push_back(TextField("read_at_source", "Время считывания из",
                               ReadTimeSourceName(summary.readAtSource)));
    AddBasis(record, summary.basis);
    record.push_back(TextField("program", "Программа", ForTerminal(summary.program)));
    record.push_back(TextField("image_sha256", "SHA-256 образа", summary.imageSha256));
    record.push_back(NumberField("period_cycles", "Циклов за период",
                                 Integer(static_cast<std::int64_t>(summary.figures.periodCycles))));
    record.push_back(
        NumberField("period_hours", "Часов за период", Fixed(summary.figures.periodHours, 1)));
    record.push_back(
        NumberField("lifted_mass", "Поднято, т", Fixed(summary.figures.liftedMass, 1)));
    record.push_back(
        NumberField("overload_mass", "Поднято >110 %, т", Fixed(summary.figures.overloadMass, 1)));
    for (std::size_t row = 0; row < stored->passport.size(); ++row) {
        record.push_back(TextField("passport_" + std::to_string(row + 1),
                                   "Паспорт " + std::to_string(row + 1),
                                   ForTerminal(stored->passport[row])));
    }
    for (std::size_t n = 0; n < changes.value.size(); ++n) {
        record.push_back(TextField("change_" + std::to_string(n + 1),
                                   "Изменение " + std::to_string(n + 1),
                                   ChangeText(changes.value[n])));
    }
    return command.Print({record}, out, true);
}

int RunExport(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("export", "Образ считывания из архива в файл, байт в байт.");
    archive::ReadoutId id = 0;
    std::string file;
    command.parser.add_option("ID", id, "номер считывания")->type_name("")->required();
    command.parser.add_option("--out", file, "файл образа (.krd), записывается целиком или никак")
        ->type_name("ФАЙЛ")
        ->required();
    if (const auto code = command.ParseArguments(args, out)) return *code;
    if (const int code = ExportReadout(id, PathOfUtf8(file)); code != 0) return code;
    return command.Print({{NumberField("id", "№", Integer(id)), TextField("file", "Файл", file)}},
                         out, true);
}

int RunCompare(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("compare", "Что произошло между двумя считываниями одного крана.");
    std::vector<archive::ReadoutId> ids;
    command.parser.add_option("ID", ids, "два номера считываний")
        ->type_name("")
        ->expected(2)
        ->required();
    if (const auto code = command.ParseArguments(args, out)) return *code;
    if (const auto code = command.OpenTheArchive()) return *code;
    int exitCode = 0;
    const auto first = Fetch(command, ids[0], exitCode);
    if (!first) return exitCode;
    const auto second = Fetch(command, ids[1], exitCode);
    if (!second) return exitCode;
    const archive::ReadoutComparison comparison = Compare(first->summary, second->summary);
    if (!comparison.sameCrane) {
        PrintErrorUtf8("Внимание: считывания разных кранов (" +
                       ForTerminal(comparison.earlier.crane.registration) + ", " +
                       ForTerminal(comparison.later.crane.registration) + ")");
    }
    Record record{NumberField("earlier_id", "Раньше, №", Integer(comparison.earlier.id)),
                  NumberField("later_id", "Позже, №", Integer(comparison.later.id))};
    AddCrane(record, comparison.later.crane);
    record.push_back(FlagField("same_crane", "Тот же кран", comparison.sameCrane));
    record.push_back(
        TextField("earlier_read_at", "Раньше считано", MomentText(comparison.earlier.readAt)));
    record.push_back(
        TextField("later_read_at", "Позже считано", MomentText(comparison.later.readAt)));
    record.push_back(NumberField("cycles", "Циклов", Integer(comparison.cycles)));
    record.push_back(NumberField("hours", "Часов", Fixed(comparison.hours, 1)));
    record.push_back(NumberField("overloads", ">110 %", Integer(comparison.overloads)));
    record.push_back(NumberField("lifted_mass", "Поднято, т", Fixed(comparison.liftedMass, 1)));
    record.push_back(Optional("kp_change", "Изменение Kp", comparison.kpChange, 3));
    record.push_back(Optional("life_used_change_percent", "Ресурс, % (изменение)",
                              comparison.lifeUsedChange, 1, 100));
    AddFlags(record, comparison.later.flags);
    return command.Print({record}, out, true);
}

Record FleetRecord(const archive::FleetLine& line, const archive::DueItems& due) {
    Record record;
    AddCrane(record, line.last.crane);
    record.push_back(NumberField("readouts", "Считываний", Integer(line.readouts)));
    record.push_back(NumberField("last_id", "Последнее, №", Integer(line.last.id)));
    record.push_back(TextField("last_read_at", "Считано", MomentText(line.last.readAt)));
    AddFigures(record, line.last.figures);
    AddFlags(record, line.anyFlags);
    record.push_back(FlagField("life_ended", "Срок службы истёк", due.lifeEnded));
    record.push_back(FlagField("life_ending", "Срок истекает (6 мес.)", due.lifeEnding));
    record.push_back(FlagField("resource_high", "Ресурс от 80 %", due.resourceHigh));
    record.push_back(FlagField("resource_exhausted", "Ресурс исчерпан", due.resourceExhausted));
    record.push_back(FlagField("readout_old", "Считывание старше 12 мес.", due.readoutOld));
    record.push_back(TextField("due", "Требует внимания", Utf8FromCp1251(DueText(due))));
    return record;
}

// The fleet report's files in `folder`: fleet-report.rtf, .xlsx and .pdf.
int WriteReport(const std::vector<archive::FleetCrane>& cranes, const std::string& location,
                const std::filesystem::path& folder, std::chrono::sys_days today,
                const LocalDateTime& now, std::vector<Record>& records) {
    std::error_code folderError;
    std::filesystem::create_directories(folder, folderError);
    if (folderError) {
        PrintErrorUtf8("Не удалось создать папку " + folder.string() + ": " +
                       folderError.message());
        return 2;
    }
    const FleetReport report = MakeFleetReport(cranes, today, now, location);
    const std::filesystem::path stem = folder / "fleet-report";
    // A stale file must not pass for a new one.
    std::error_code ignored;
    for (const char* extension : {".rtf", ".xlsx", ".pdf"})
        std::filesystem::remove(std::filesystem::path(stem).concat(extension), ignored);
    FleetReportFiles files = WriteFleetReport(report, stem);
    if (files.failedFile.empty()) {
        // The pages are laid out with the window toolkit's painter.
        const GuiApplicationScope gui;
        const std::filesystem::path pdf = std::filesystem::path(stem).concat(".pdf");
        files.failure = files.paper ? WritePdf(*files.paper, pdf)
                                    : TransferResult::Fail(TransferError::IoError);
        if (files.failure)
            files.written.push_back(pdf);
        else
            files.failedFile = pdf;
    }
    for (const std::filesystem::path& file : files.written) {
        const std::u8string name = file.u8string();
        records.push_back({TextField("file", "Файл", std::string(name.begin(), name.end()))});
    }
    if (files.failedFile.empty()) return 0;
    PrintError(NotCreatedMessage(files.failedFile.filename().string(), files.failure));
    return 2;
}

int RunFleet(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("fleet", "Парк кранов: по строке на кран, его последнее считывание.");
    bool dueOnly = false;
    std::optional<std::string> reportFolder;
    command.parser.add_flag("--due", dueOnly,
                            "только краны, которым что-то нужно: срок службы, ресурс, старое "
                            "считывание, отметки");
    command.parser
        .add_option("--report", reportFolder,
                    "отчёт по парку в папку: fleet-report.rtf, .xlsx и .pdf")
        ->type_name("ПАПКА");
    if (const auto code = command.ParseArguments(args, out)) return *code;
    if (const auto code = command.OpenTheArchive()) return *code;
    const LocalDateTime now = SystemClock().Now();
    const std::chrono::sys_days today = DayOf(now);
    std::vector<Record> records;
    if (reportFolder) {
        const auto cranes = command.archive->FleetDetails();
        if (!cranes) return Failed(cranes.status, command.archive->Location());
        const int written = WriteReport(cranes.value, command.archive->Location(),
                                        PathOfUtf8(*reportFolder), today, now, records);
        const int printed = command.Print(records, out);
        return written != 0 ? written : printed;
    }
    const auto fleet = command.archive->Fleet();
    if (!fleet) return Failed(fleet.status, command.archive->Location());
    for (const archive::FleetLine& line : fleet.value) {
        const archive::DueItems due = archive::DueOf(line, today);
        if (!dueOnly || due.Any()) records.push_back(FleetRecord(line, due));
    }
    return command.Print(records, out, false, FleetRecord({}, {}));
}

int RunCheck(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("check",
                           "Проверяет каждый образ по его SHA-256 и саму базу данных архива.");
    if (const auto code = command.ParseArguments(args, out)) return *code;
    if (const auto code = command.OpenTheArchive()) return *code;
    const auto checked = command.archive->Check();
    if (!checked) return Failed(checked.status, command.archive->Location());
    const archive::ArchiveCheck& found = checked.value;
    for (const archive::ReadoutId id : found.changed) {
        PrintErrorUtf8("Считывание № " + Integer(id) +
                       ": образ изменился после сохранения (SHA-256 не совпадает)");
    }
    for (const std::string& finding : found.database) {
        PrintErrorUtf8("База данных архива: " + finding);
    }
    const Record record{
        NumberField("readouts", "Считываний проверено", Integer(found.readouts)),
        NumberField("changed_images", "Образов изменилось",
                    Integer(static_cast<std::int64_t>(found.changed.size()))),
        FlagField("database_sound", "База данных цела", found.database.empty()),
        TextField("location", "Архив", command.archive->Location()),
    };
    const int printed = command.Print({record}, out, true);
    return found.Sound() ? printed : kArchiveDamaged;
}

// The database's owner makes or migrates the archive and grants the group
// roles; roles it may not make are named with the statements that make them.
int RunInit(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("init",
                           "Создаёт или обновляет архив; на сервере — права групп "
                           "zorvek_writer и zorvek_reader. Выполняет владелец базы данных.");
    if (const auto code = command.ParseArguments(args, out)) return *code;
    const std::string location = archive::DefaultArchiveLocation();
    const std::string shown = archive::DisplayedLocation(location);
    const auto made = archive::InitArchive(location);
    std::string roles;
    for (const std::string& role : made.value.rolesMissing)
        roles += " CREATE ROLE " + role + " NOLOGIN;";
    if (!roles.empty()) {
        PrintErrorUtf8("Архив " + shown +
                       ": групп ролей нет, а этой роли их не создать. Администратор сервера "
                       "выполняет" +
                       roles + " затем снова zorvek-cli archive init");
    }
    if (!made) return Failed(made.status, shown);
    std::string madeRoles;
    for (const std::string& role : made.value.rolesMade)
        madeRoles += (madeRoles.empty() ? "" : ", ") + role;
    const Record record{
        TextField("location", "Архив", shown),
        NumberField("schema_before", "Версия схемы была", Integer(made.value.schemaBefore)),
        NumberField("schema", "Версия схемы", Integer(made.value.schemaAfter)),
        TextField("roles_made", "Созданы группы", madeRoles),
    };
    return command.Print({record}, out, true);
}

int RunImport(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("import",
                           "Сохраняет в архив образы из файлов и папок (со всеми вложенными).");
    std::vector<std::string> paths;
    command.parser.add_option("ПУТЬ", paths, "файлы образов и папки с ними")->type_name("");
    if (const auto code = command.ParseArguments(args, out)) return *code;
    if (paths.empty()) {
        ReportUsageMistake(command.parser, "не указаны файлы или папки");
        return kWrongUsage;
    }
    if (const auto code = command.OpenTheArchive()) return *code;
    std::vector<std::filesystem::path> files;
    for (const std::string& path : paths) files.push_back(PathOfUtf8(path));
    ProgressLine line;
    ImportProgress progress;
    progress.progress = [&line](int done, int total) {
        line.Show(0, done == total
                         ? std::string()
                         : "Импорт: " + std::to_string(done) + " из " + std::to_string(total));
    };
    const ImportSummary summary = ImportImages(files, *command.archive, progress);
    for (const ImportSkip& skip : summary.skipped) {
        const std::u8string name = skip.file.u8string();
        PrintErrorUtf8("Пропущен " + std::string(name.begin(), name.end()) + ": " +
                       Utf8FromCp1251(skip.reason));
    }
    if (!summary.status) {
        const std::u8string name = summary.stoppedAt.u8string();
        PrintErrorUtf8("Импорт остановлен на " + std::string(name.begin(), name.end()) + " (" +
                       Utf8FromCp1251(ImportSummaryText(summary)) + ")");
        return Failed(summary.status, command.archive->Location());
    }
    const std::string text = Utf8FromCp1251(ImportSummaryText(summary));
    if (command.format == OutputFormat::Table) {
        out << text << '\n';
        return FlushOutput(out) ? 0 : kOutputFailed;
    }
    return command.Print(
        {{NumberField("added", "Добавлено", Integer(summary.added)),
          NumberField("already_stored", "Уже были", Integer(summary.alreadyStored)),
          NumberField("skipped", "Пропущено",
                      Integer(static_cast<std::int64_t>(summary.skipped.size())))}},
        out, true);
}

int RunCrane(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("crane merge",
                           "Объединяет два написания рег. № одного крана: считывания второго "
                           "становятся считываниями первого.");
    std::vector<std::string> registrations;
    if (args.empty() || args[0] != "merge") {
        ReportUsageMistake(command.parser, "ожидается: crane merge РЕГ_№ РЕГ_№");
        return kWrongUsage;
    }
    command.parser.add_option("РЕГ_№", registrations, "два рег. № одного крана")
        ->type_name("")
        ->expected(2)
        ->required();
    if (const auto code =
            command.ParseArguments(std::vector<std::string>(args.begin() + 1, args.end()), out))
        return *code;
    if (const auto code = command.OpenTheArchive()) return *code;
    const auto joined = command.archive->JoinCranes(Cp1251FromUtf8(registrations[0]),
                                                    Cp1251FromUtf8(registrations[1]));
    if (!joined) return Failed(joined.status, command.archive->Location());
    if (joined.value.alreadyOne) {
        PrintErrorUtf8("«" + registrations[0] + "» и «" + registrations[1] +
                       "» уже один кран: ничего не изменено");
    }
    return command.Print(
        {{TextField("crane", "Рег. №", registrations[0]),
          TextField("joined", "Присоединён", registrations[1]),
          FlagField("already_one", "Уже был одним краном", joined.value.alreadyOne),
          NumberField("readouts_moved", "Считываний перенесено",
                      Integer(joined.value.readoutsMoved))}},
        out, true);
}

// Asks on the terminal whether to go on; false for anything but yes.
bool Confirmed(const std::string& question) {
    std::cerr << question << " [да/нет] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    for (const std::string_view yes : {"да", "д", "Да", "Д", "yes", "y", "Y"}) {
        if (answer == yes) return true;
    }
    return false;
}

int RunRemove(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("remove",
                           "Удаляет считывание из архива (образ остаётся, если он нужен другому).");
    archive::ReadoutId id = 0;
    bool yes = false;
    command.parser.add_option("ID", id, "номер считывания")->type_name("")->required();
    command.parser.add_flag("--yes", yes, "не спрашивать");
    if (const auto code = command.ParseArguments(args, out)) return *code;
    if (!yes && !StdinIsTerminal()) {
        ReportUsageMistake(command.parser, "спросить некого: без терминала удаляет только --yes");
        return kWrongUsage;
    }
    if (const auto code = command.OpenTheArchive()) return *code;
    int exitCode = 0;
    const auto stored = Fetch(command, id, exitCode);
    if (!stored) return exitCode;
    const ReadoutSummary& summary = stored->summary;
    if (!yes && !Confirmed("Удалить считывание № " + Integer(id) + " (" +
                           RegistrationText(summary.crane.registration) + ", считано " +
                           MomentText(summary.readAt) + ")?")) {
        PrintErrorUtf8("Считывание № " + Integer(id) + " не удалено");
        return kWrongUsage;
    }
    const auto removed = command.archive->Remove(id);
    if (!removed) return Failed(removed.status, command.archive->Location());
    return command.Print(
        {{NumberField("id", "№", Integer(id)), FlagField("removed", "Удалено", true),
          FlagField("image_kept", "Образ оставлен", removed.value.imageKept)}},
        out, true);
}

int RunNote(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("note", "Заменяет примечание к считыванию.");
    archive::ReadoutId id = 0;
    std::string note;
    command.parser.add_option("ID", id, "номер считывания")->type_name("")->required();
    command.parser.add_option("ТЕКСТ", note, "новое примечание (пустое убирает его)")
        ->type_name("")
        ->required();
    if (const auto code = command.ParseArguments(args, out)) return *code;
    if (const auto code = command.OpenTheArchive()) return *code;
    if (const ArchiveStatus set = command.archive->SetNote(id, Cp1251FromUtf8(note)); !set)
        return Failed(set, command.archive->Location());
    return command.Print(
        {{NumberField("id", "№", Integer(id)), TextField("note", "Примечание", note)}}, out, true);
}

int RunBackup(const std::vector<std::string>& args, std::ostream& out) {
    ArchiveCommand command("backup",
                           "Согласованная копия архива SQLite в файл, пока другие в него пишут.");
    std::string file;
    command.parser.add_option("ФАЙЛ", file, "файл копии (записывается целиком или никак)")
        ->type_name("")
        ->required();
    if (const auto code = command.ParseArguments(args, out)) return *code;
    if (archive::IsServerLocation(archive::DefaultArchiveLocation())) {
        PrintErrorUtf8(
            "Архив на сервере PostgreSQL копируется средствами сервера: pg_dump -Fc (см. README)");
        return kWrongUsage;
    }
    if (const auto code = command.OpenTheArchive()) return *code;
    if (const ArchiveStatus copied = command.archive->Backup(PathOfUtf8(file)); !copied) {
        PrintErrorUtf8("Копия архива " + file + " не записана: " + copied.reason);
        return ExitCodeOf(copied);
    }
    return command.Print({{TextField("file", "Копия", file),
                           TextField("location", "Архив", command.archive->Location())}},
                         out, true);
}

struct Subcommand {
    std::string_view name;
    int (*run)(const std::vector<std::string>&, std::ostream&);
    std::string_view summary;
};

constexpr Subcommand kSubcommands[] = {
    {"add", RunAdd,
     "add ОБРАЗ [--note ТЕКСТ]     сохранить образ из файла\n"
     "      [--read-at \"ДД.ММ.ГГГГ ЧЧ:ММ\"]"},
    {"list", RunList, "list [--crane РЕГ_№]         считывания, новые первыми"},
    {"show", RunShow, "show ID                      одно считывание целиком"},
    {"export", RunExport, "export ID --out ФАЙЛ         образ считывания в файл"},
    {"compare", RunCompare, "compare ID ID                что произошло между считываниями"},
    {"fleet", RunFleet,
     "fleet [--due]                парк кранов; --due: только те, кому что-то нужно\n"
     "  fleet --report ПАПКА         отчёт по парку: RTF, XLSX и PDF"},
    {"check", RunCheck, "check                        проверить образы и базу данных"},
    {"init", RunInit, "init                         создать архив и права групп (владелец базы)"},
    {"import", RunImport, "import ПУТЬ...               образы из файлов и папок"},
    {"remove", RunRemove, "remove ID [--yes]            удалить считывание"},
    {"note", RunNote, "note ID ТЕКСТ                заменить примечание"},
    {"crane", RunCrane, "crane merge РЕГ_№ РЕГ_№      два написания — один кран"},
    {"backup", RunBackup, "backup ФАЙЛ                  копия архива SQLite"},
};

void PrintArchiveUsage(std::ostream& to) {
    to << "Использование: zorvek-cli archive КОМАНДА ... [--format table|csv|csv-excel|json]\n"
          "Архив: ZORVEK_ARCHIVE (файл или postgresql://...), иначе archive.sqlite в папке "
          "данных пользователя.\n";
    for (const Subcommand& command : kSubcommands) to << "  " << command.summary << '\n';
}

}  // namespace

int ExportReadout(std::int64_t id, const std::filesystem::path& file) {
    const std::string location = archive::DefaultArchiveLocation();
    auto opened = archive::OpenArchive(location);
    if (!opened) return Failed(opened.status, archive::DisplayedLocation(location));
    const auto stored = opened.value->Get(id);
    if (!stored) return Failed(stored.status, opened.value->Location());
    if (const TransferResult written = WriteFileAtomically(file, stored.value.image); !written) {
        const std::u8string name = file.u8string();
        PrintErrorUtf8("Файл " + std::string(name.begin(), name.end()) +
                       " не записан: " + Utf8FromCp1251(FailureText(written)));
        return 2;
    }
    // The copy carries the time the image was read, which its documents name.
    SetReadTime(file, stored.value.summary.readAt);
    return 0;
}

int RunArchive(const std::vector<std::string>& args, std::ostream& out) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        PrintArchiveUsage(out);
        return FlushOutput(out) ? 0 : kOutputFailed;
    }
    for (const Subcommand& command : kSubcommands) {
        if (!args.empty() && command.name == args[0]) {
            return command.run(std::vector<std::string>(args.begin() + 1, args.end()), out);
        }
    }
    if (!args.empty()) std::cerr << "zorvek-cli archive: неизвестная команда " << args[0] << '\n';
    PrintArchiveUsage(std::cerr);
    return kWrongUsage;
}

}  // namespace zorvek::cli
