#include "sim/lpt_reader_command.h"

#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "access/lpt_reader.h"
#include "flows/load_flow.h"
#include "model/bits.h"
#include "model/cp1251.h"
#include "sim/command_line.h"
#include "sim/lpt_reader_twin.h"

namespace zorvek::sim {
namespace {

constexpr std::uint32_t kImageSize = 0x10000;
// ppdev needs about a microsecond per register access.
constexpr double kSecondsPerAccess = 1e-6;

std::vector<std::uint8_t> ReadImage(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    return in.bad() ? std::vector<std::uint8_t>() : bytes;
}

// The first `tokens` entries of the bus log.
std::string Head(const std::string& log, unsigned tokens) {
    std::size_t end = 0;
    for (unsigned i = 0; i < tokens && end != std::string::npos; ++i)
        end = log.find(' ', end == 0 ? 0 : end + 1);
    return end == std::string::npos ? log : log.substr(0, end) + " ...";
}

std::uint32_t NewDataMark(const LptReaderTwin& twin) { return LoadLe(twin.Image(), 5, 4); }

}  // namespace

void PrintLptReaderUsage(std::ostream& to) {
    to << "usage: zorvek-sim lpt-reader IMAGE --out FILE [--absent] [--nack-at K]\n"
          "                             [--hold-scl-at K] [--unplug-after N] [--stretch N]\n"
          "                             [--log N]\n"
          "Runs the program's LPT load against a twin of the reader holding IMAGE (a\n"
          "65,536-byte dump file) and saves what it read to FILE.\n"
          "  --out FILE        where the read image is saved, as dannie.krd would be\n"
          "  --absent          no reader on the adapter (its presence line floats high)\n"
          "  --nack-at K       the reader does not acknowledge the K-th byte it receives\n"
          "  --hold-scl-at K   after the K-th byte it receives the reader holds SCL low\n"
          "  --unplug-after N  every port access after the N-th fails (device gone)\n"
          "  --stretch N       after every byte the reader stretches SCL for N status reads\n"
          "  --log N           show the first N events of the bus (S start, P stop,\n"
          "                    >A4+ byte sent and acknowledged, <5A- byte received)\n";
}

int RunLptReaderCommand(std::span<const std::string_view> args, std::ostream& out,
                        std::ostream& err) {
    std::string imageFile;
    std::string outFile;
    LptReaderTwinSetup setup;
    std::uint32_t nackAt = 0;
    std::uint32_t holdAt = 0;
    std::uint64_t unplugAfter = 0;
    unsigned logTokens = 0;
    CLI::App parser("Runs the LPT load against the reader's twin.", "zorvek-sim lpt-reader");
    parser.add_option("IMAGE", imageFile)->required();
    parser.add_option("--out", outFile)->required();
    parser.add_flag("--absent", setup.readerAbsent);
    parser.add_option("--nack-at", nackAt)->check(CLI::PositiveNumber);
    parser.add_option("--hold-scl-at", holdAt)->check(CLI::PositiveNumber);
    parser.add_option("--unplug-after", unplugAfter);
    parser.add_option("--stretch", setup.stretchReads);
    parser.add_option("--log", logTokens);
    if (const auto code = ParseCommand(parser, args, out, err, PrintLptReaderUsage)) return *code;
    if (parser.count("--nack-at") != 0) setup.nackAtByte = nackAt;
    if (parser.count("--hold-scl-at") != 0) setup.holdSclAtByte = holdAt;
    if (parser.count("--unplug-after") != 0) setup.unplugAfterAccesses = unplugAfter;
    setup.keepBusLog = logTokens > 0;

    const std::vector<std::uint8_t> image = ReadImage(imageFile);
    if (image.size() != kImageSize) {
        err << "zorvek-sim lpt-reader: " << imageFile << " is not a 65,536-byte image\n";
        return kSimFailed;
    }
    // Real time, so that the settling and page waits take as long as on a
    // real port.
    LptReaderTwin twin(image, SystemWaits(), setup);
    LptReader reader(twin, SystemWaits());
    Session session;
    session.choice.defaultFile = outFile;
    session.dispatch.AttachLptReader(&reader);
    const std::uint32_t markBefore = NewDataMark(twin);

    const auto started = std::chrono::steady_clock::now();
    const LoadOutcome outcome = LoadFromLptReader(session);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // A load that stopped early leaves the reader open.
    session.dispatch.CloseSource();

    if (logTokens > 0) out << "bus: " << Head(twin.BusLog(), logTokens) << "\n";
    out << "register accesses: " << twin.Accesses() << " ("
        << static_cast<double>(twin.Accesses()) / kImageSize
        << " per byte of the image), through the twin in " << seconds << " s; at 1 us per\n"
        << "access on a real port about "
        << static_cast<double>(twin.Accesses()) * kSecondsPerAccess << " s\n"
        << "new-data mark at 0x30005: " << markBefore << " -> " << NewDataMark(twin) << "\n";
    if (!outcome.Loaded()) {
        std::string message = Utf8FromCp1251(LoadFailureMessage(outcome));
        if (message.empty()) message = FileNotOpenedMessage(outcome);
        for (std::size_t at = message.find("\r\n"); at != std::string::npos;
             at = message.find("\r\n", at)) {
            message.replace(at, 2, "\n");
        }
        out << "load failed: " << message << "\n";
        return kSimFailed;
    }
    out << "loaded; the image is saved in " << outFile << "\n";
    return 0;
}

}  // namespace zorvek::sim
