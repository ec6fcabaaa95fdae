#include "cli/read_command.h"

#include <chrono>
#include <iostream>
#include <string>

#include "cli/command_line.h"
#include "cli/image_source.h"
#include "cli/terminal.h"
#include "cli/terminal_sinks.h"
#include "flows/archive_flow.h"
#include "flows/device_set.h"
#include "flows/load_flow.h"
#include "reports/common/utf8_path.h"

namespace zorvek::cli {
namespace {

constexpr int kNoDevice = 5;
constexpr int kTransferFailed = 6;

struct DeviceName {
    std::string_view name;
    DeviceSet::Device device;
    archive::ReadoutSource source;
};

constexpr DeviceName kDevices[] = {
    {"recorder", DeviceSet::Device::Recorder, archive::ReadoutSource::Recorder},
    {"lpt", DeviceSet::Device::LptReader, archive::ReadoutSource::LptReader},
    {"usb", DeviceSet::Device::UsbReader, archive::ReadoutSource::UsbReader},
};

int ExitCodeOf(const LoadOutcome& outcome) {
    using Status = LoadOutcome::Status;
    switch (outcome.status) {
        case Status::Loaded:
            return 0;
        case Status::NoConnection:
            return kNoDevice;
        case Status::FormatMismatch:
        case Status::EndMarkMissing:
        case Status::ReaderFormatMismatch:
            return 3;
        case Status::SaveWriteFailed:
        case Status::FileNotOpened:
            return 2;
        case Status::ReadFailed:
        case Status::SaveReadFailed:
        case Status::ReaderCopyFailed:
            return kTransferFailed;
    }
    return kTransferFailed;
}

}  // namespace

int RunRead(const std::vector<std::string>& args, std::ostream& out) {
    std::string kind;
    std::string file;
    // How long the USB reader may take to appear and finish its handshake.
    int waitSeconds = 5;
    CLI::App parser("Считывает образ накопителя из прибора и сохраняет его в файл.",
                    "zorvek-cli read");
    SetUpParser(parser);
    parser.add_option("ПРИБОР", kind, "recorder (прибор), lpt или usb (прибор считывания)")
        ->type_name("");
    parser.add_option("--out", file, "файл образа (.krd), записывается целиком или никак")
        ->type_name("ФАЙЛ");
    parser.add_option("--wait", waitSeconds, "usb: сколько секунд ждать прибор (5)")
        ->type_name("СЕКУНДЫ")
        ->check(CLI::NonNegativeNumber);
    bool noArchive = false;
    parser.add_flag("--no-archive", noArchive, "не сохранять считывание в архив");
    std::string error;
    if (const auto code = Parse(parser, args, out, error)) {
        if (*code != 0) ReportUsageMistake(parser, error);
        return *code;
    }
    const DeviceName* device = nullptr;
    for (const DeviceName& candidate : kDevices) {
        if (candidate.name == kind) device = &candidate;
    }
    if (device == nullptr || file.empty()) {
        ReportUsageMistake(parser, device == nullptr ? "укажите прибор: recorder, lpt или usb"
                                                     : "не указан файл --out");
        return kWrongUsage;
    }

    ProgressLine line;
    TerminalProgress progress(line, 0);
    progress.Start(kind);
    Session session(&progress);
    // The image goes where the user asked instead of "dannie.krd".
    session.choice.defaultFile = PathOfUtf8(file);
    const auto started = std::chrono::steady_clock::now();
    LoadOutcome outcome;
    {
        DeviceSet devices(session);
        // The USB reader is found and connected by its watcher, ticking here
        // as the window's timer would.
        if (device->device == DeviceSet::Device::UsbReader) {
            devices.WaitForUsbReader(std::chrono::seconds(waitSeconds));
        }
        outcome = devices.Load(device->device);
        if (devices.RecorderPort() != 0) {
            PrintErrorUtf8("Прибор ответил на порту " + std::to_string(devices.RecorderPort()) +
                           " (" + devices.RecorderDevice().string() + ")");
        }
    }
    progress.Finish();
    // Only once the file is safe: a failed archive write is a warning, the
    // file can be added later.
    if (outcome.Loaded() && !noArchive) {
        const ArchiveStore stored = StoreReadout(session, device->source);
        PrintError(ArchiveStoreMessage(stored));
        if (!stored) {
            PrintErrorUtf8(
                "Образ сохранён в файле; добавить его в архив позже: zorvek-cli archive add " +
                file);
        }
    }
    session.dispatch.CloseSource();

    if (!outcome.Loaded()) {
        // The file just written that would not open again names itself.
        PrintLoadFailure(outcome);
        return ExitCodeOf(outcome);
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started);
    out << file << '\n';
    std::cerr << "Образ считан за " << static_cast<int>(seconds.count() + 0.5) << " с\n";
    return FlushOutput(out) ? 0 : kOutputFailed;
}

}  // namespace zorvek::cli
