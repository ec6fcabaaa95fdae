#include "sim/usb_reader_command.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <exception>
#include <iomanip>
#include <optional>
#include <thread>

#include "model/binary_file.h"
#include "sim/command_line.h"
#include "sim/usb_reader_twin.h"

namespace zorvek::sim {
namespace {

constexpr std::size_t kImageSize = 0x10000;

std::atomic<bool> g_interrupted{false};

extern "C" void OnInterrupt(int) { g_interrupted = true; }

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text, int base) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

void PrintUsage(std::ostream& to) {
    to << "usage: zorvek-sim usb-reader IMAGE --sysfs ROOT [--tty NAME] [--revision HEX] "
          "[--fault LIST]\n"
          "  IMAGE           the recorder image the reader holds (a 65,536-byte dump file)\n"
          "  --sysfs ROOT    where to build the fake sysfs tree (ROOT/class, ROOT/devices)\n"
          "                  and the device links (ROOT/dev); made if missing\n"
          "  --tty NAME      the tty's name, default ttyACM0\n"
          "  --revision HEX  the USB device's bcdDevice, default 0001 (the reader's)\n"
          "  --fault LIST    comma-separated: no-answer=K, bad-crc=K, unplug=K (after\n"
          "                  answering frame K; frames count from 1), busy\n"
          "Point the program at the twin with ZORVEK_SYSFS=ROOT ZORVEK_DEVDIR=ROOT/dev.\n";
}

int Usage(std::ostream& err, std::string_view problem) {
    err << "zorvek-sim usb-reader: " << problem << "\n";
    PrintUsage(err);
    return kSimWrongUsage;
}

}  // namespace

bool ParseUsbFaults(std::string_view list, UsbReaderDevice::Faults& faults, bool& busy,
                    std::string& problem) {
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view entry = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        if (entry == "busy") {
            busy = true;
            continue;
        }
        const std::size_t equals = entry.find('=');
        const std::string_view name = entry.substr(0, equals);
        const auto frame = equals == std::string_view::npos
                               ? std::nullopt
                               : ParseNumber<std::uint32_t>(entry.substr(equals + 1), 10);
        if (!frame || *frame == 0) {
            problem = std::string(entry);
            return false;
        }
        if (name == "no-answer") {
            faults.noAnswer.insert(*frame);
        } else if (name == "bad-crc") {
            faults.badCrc.insert(*frame);
        } else if (name == "unplug") {
            faults.unplugAfter = *frame;
        } else {
            problem = std::string(entry);
            return false;
        }
    }
    return true;
}

int RunUsbReaderCommand(std::span<const std::string_view> args, std::ostream& out,
                        std::ostream& err) {
    std::string imageFile;
    std::string root;
    std::string revisionText;
    std::string faultList;
    UsbReaderTwin::Options options;
    CLI::App parser("Serves a USB reader twin.", "zorvek-sim usb-reader");
    parser.add_option("IMAGE", imageFile)->required();
    parser.add_option("--sysfs", root)->required();
    parser.add_option("--tty", options.tty);
    parser.add_option("--revision", revisionText);
    parser.add_option("--fault", faultList);
    if (const auto code = ParseCommand(parser, args, out, err, PrintUsage)) return *code;

    options.root = root;
    if (options.tty.empty() || options.tty.find('/') != std::string::npos) {
        return Usage(err, "bad tty name '" + options.tty + "'");
    }
    if (parser.count("--revision") != 0) {
        const auto revision = ParseNumber<std::uint16_t>(revisionText, 16);
        if (!revision || revisionText.size() > 4) {
            return Usage(err, "bad revision '" + revisionText + "'");
        }
        options.revision = *revision;
    }
    UsbReaderDevice::Faults faults;
    bool busy = false;
    if (std::string problem; !ParseUsbFaults(faultList, faults, busy, problem)) {
        return Usage(err, "bad fault '" + problem + "'");
    }
    if (options.root.empty()) return Usage(err, "empty --sysfs ROOT");

    TransferResult read;
    const auto image = ReadWholeFile(imageFile, kImageSize, read);
    if (!image || image->size() != kImageSize) {
        err << "zorvek-sim usb-reader: " << imageFile << " is not a 65,536-byte image\n";
        return kSimFailed;
    }
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    try {
        UsbReaderTwin twin(*image, options);
        twin.WithDevice([&](UsbReaderDevice& device) {
            device.faults = faults;
            device.busy = busy;
        });
        out << "USB reader " << options.tty << " on " << twin.Terminal() << " (revision "
            << std::hex << std::setw(4) << std::setfill('0') << options.revision << std::dec
            << ")\n"
            << "  ZORVEK_SYSFS=" << options.root.string()
            << " ZORVEK_DEVDIR=" << (options.root / "dev").string() << "\n"
            << "Ctrl+C unplugs it.\n"
            << std::flush;
        while (!g_interrupted && twin.Plugged()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (!twin.Plugged()) out << "unplugged after frame " << faults.unplugAfter << "\n";
    } catch (const std::exception& error) {
        err << "zorvek-sim usb-reader: " << error.what() << "\n";
        return kSimFailed;
    }
    return 0;
}

}  // namespace zorvek::sim
