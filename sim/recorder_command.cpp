#include "sim/recorder_command.h"

#include <atomic>
#include <csignal>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "model/binary_file.h"
#include "model/memory_map.h"
#include "sim/command_line.h"
#include "sim/recorder_line.h"

namespace zorvek::sim {
namespace {

namespace fs = std::filesystem;

// The line a signal asks to stop: a signal handler reaches nothing else.
std::atomic<RecorderLine*> g_servedLine{nullptr};

extern "C" void StopServedLine(int) {
    if (RecorderLine* line = g_servedLine.load()) line->Stop();
}

int Fail(std::ostream& err, const std::string& problem) {
    err << "zorvek-sim recorder: " << problem << "\n";
    return kSimFailed;
}

std::optional<std::vector<std::uint8_t>> ReadInput(const std::string& file, std::size_t limit,
                                                   std::ostream& err) {
    TransferResult result;
    auto bytes = ReadWholeFile(fs::path(file), limit, result);
    if (!bytes) {
        err << "zorvek-sim recorder: cannot read " << file << " ("
            << std::generic_category().message(result.SystemError()) << ")\n";
    }
    return bytes;
}

// The link is ours to replace only while it is a link.
bool MakeLink(const fs::path& link, const fs::path& device, std::ostream& err) {
    std::error_code error;
    if (fs::is_symlink(link, error)) fs::remove(link, error);
    fs::create_symlink(device, link, error);
    if (error)
        err << "zorvek-sim recorder: cannot link " << link << ": " << error.message() << "\n";
    return !error;
}

}  // namespace

void PrintRecorderUsage(std::ostream& to) {
    to << "usage: zorvek-sim recorder IMAGE [--live FILE] [--baud N] [--fault LIST] [--link PATH]\n"
          "The recorder on a pseudo-terminal: answers the program's read and write frames\n"
          "from IMAGE (bank 3, 65,536 bytes) and its working memory (bank 0), echoing every\n"
          "byte as the half-duplex line does. Runs until interrupted.\n"
          "  --live FILE   the pending counter increments at 0x200 in bank 0 (161 bytes;\n"
          "                default all zero)\n"
          "  --baud N      send at N baud, 11 bits per byte (default: as fast as it goes)\n"
          "  --fault LIST  misbehave on request K (counted from 1, the port search's probe\n"
          "                included), e.g. bad-crc:3,no-answer:7:\n"
          "                  lose-byte:K    the reply lacks a byte\n"
          "                  bad-crc:K      wrong checksum (a write is refused)\n"
          "                  bad-header:K   wrong reply header (a write is refused)\n"
          "                  no-answer:K    echo only, no reply\n"
          "                  silent-from:K  no reply from K on\n"
          "                  hang-up:K      the line goes away\n"
          "  --link PATH   also make PATH a symbolic link to the device\n";
}

int RunRecorderCommand(std::span<const std::string_view> args, std::ostream& out,
                       std::ostream& err) {
    std::string imageFile;
    std::string liveFile;
    std::string faultList;
    std::string linkPath;
    std::uint32_t baud = 0;
    CLI::App parser("Serves the recorder on a pseudo-terminal.", "zorvek-sim recorder");
    parser.add_option("IMAGE", imageFile)->required();
    parser.add_option("--live", liveFile);
    parser.add_option("--baud", baud)->check(CLI::Range(1u, 4000000u));
    parser.add_option("--fault", faultList);
    parser.add_option("--link", linkPath);
    if (const auto code = ParseCommand(parser, args, out, err, PrintRecorderUsage)) return *code;

    std::string problem;
    const auto faults = ParseTwinFaults(faultList, problem);
    if (!faults) {
        err << "zorvek-sim recorder: " << problem << "\n";
        PrintRecorderUsage(err);
        return kSimWrongUsage;
    }
    const auto imageBytes = ReadInput(imageFile, memory_map::kImageSize + 1, err);
    if (!imageBytes) return kSimFailed;
    if (imageBytes->size() != memory_map::kImageSize) {
        return Fail(err, imageFile + " is not a 65,536-byte image");
    }
    std::vector<std::uint8_t> live;
    if (!liveFile.empty()) {
        const auto liveBytes = ReadInput(liveFile, memory_map::kLiveCountersSize + 1, err);
        if (!liveBytes) return kSimFailed;
        if (liveBytes->size() != memory_map::kLiveCountersSize) {
            return Fail(err, liveFile + " is not 161 bytes of live counters");
        }
        live = *liveBytes;
    }
    Image image{};
    std::copy(imageBytes->begin(), imageBytes->end(), image.begin());

    std::optional<RecorderLine> line;
    try {
        line.emplace(RecorderTwin(image, live, *faults), baud);
    } catch (const std::system_error& error) {
        return Fail(err, std::string("no pseudo-terminal: ") + error.what());
    }
    if (!linkPath.empty() && !MakeLink(linkPath, line->DevicePath(), err)) return kSimFailed;
    out << "recorder on " << line->DevicePath().string() << "\n"
        << "point the program at it: ZORVEK_COM1="
        << (linkPath.empty() ? line->DevicePath().string() : linkPath) << "\n";
    out.flush();

    g_servedLine = &*line;
    std::signal(SIGINT, StopServedLine);
    std::signal(SIGTERM, StopServedLine);
    line->Run();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    g_servedLine = nullptr;

    if (line->HungUp()) out << "the line hung up, as asked\n";
    if (!linkPath.empty()) {
        std::error_code ignored;
        fs::remove(linkPath, ignored);
    }
    return 0;
}

}  // namespace zorvek::sim
