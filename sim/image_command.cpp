#include "sim/image_command.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>

#include "model/atomic_file.h"
#include "sim/calendar.h"
#include "sim/command_line.h"
#include "sim/image_generator.h"

namespace zorvek::sim {
namespace {

std::optional<std::uint32_t> ParseSeed(std::string_view text) {
    std::uint32_t seed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return seed;
}

std::string TimeText(const LocalDateTime& t) {
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

void PrintMix(std::ostream& out, std::string_view what, const RecordMix& mix) {
    out << what << ": " << mix.Total() << " (valid " << mix.valid << ", empty " << mix.empty
        << ", bad checksum " << mix.badChecksum << ", before floor " << mix.beforeFloor
        << ", bad date " << mix.badDate << ")\n";
}

int Usage(std::ostream& err, std::string_view problem) {
    err << "zorvek-sim image: " << problem << "\n";
    PrintImageUsage(err);
    return kSimWrongUsage;
}

}  // namespace

void PrintImageUsage(std::ostream& to) {
    to << "usage: zorvek-sim image --seed N --out FILE [--variant NAME] [--now "
          "YYYY-MM-DDTHH:MM:SS]\n"
          "  --seed N        generator seed, 0..4294967295; the same seed gives the same bytes\n"
          "  --out FILE      dump file to write (through a temporary file and a rename)\n"
          "  --variant NAME  what to get wrong, default valid:\n";
    for (const auto& v : Variants()) {
        to << "                    " << v.name << std::string(18 - v.name.size(), ' ')
           << v.description << "\n";
    }
    to << "  --now TIME      the reading time; no record lies after it (default "
       << TimeText(kDefaultNow)
       << "),\n"
          "                  years "
       << kEarliestNowYear << ".." << kLastYear << "\n";
}

int RunImageCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    std::string seedText;
    std::string file;
    std::string variantName;
    std::string nowText;
    CLI::App parser("Writes a generated recorder image.", "zorvek-sim image");
    parser.add_option("--seed", seedText)->required();
    parser.add_option("--out", file)->required();
    parser.add_option("--variant", variantName);
    parser.add_option("--now", nowText);
    if (const auto code = ParseCommand(parser, args, out, err, PrintImageUsage)) return *code;

    const std::optional<std::uint32_t> seed = ParseSeed(seedText);
    if (!seed) return Usage(err, "bad seed '" + seedText + "'");
    if (file.empty()) return Usage(err, "empty file name");
    std::optional<ImageVariant> variant = ImageVariant::Valid;
    if (parser.count("--variant") != 0) variant = VariantFromName(variantName);
    if (!variant) return Usage(err, "unknown variant '" + variantName + "'");
    std::optional<LocalDateTime> now = kDefaultNow;
    if (parser.count("--now") != 0) now = ParseLocalDateTime(nowText);
    if (!now || now->year < kEarliestNowYear) return Usage(err, "bad time '" + nowText + "'");

    ImageOptions options;
    options.seed = *seed;
    options.variant = *variant;
    options.now = *now;
    ImageSummary summary;
    const Image image = GenerateImage(options, &summary);
    const auto bytes = ImageFileBytes(image, options.variant);
    if (const TransferResult written = WriteFileAtomically(file, bytes); !written) {
        err << "zorvek-sim image: cannot write " << file << " (error " << written.SystemError()
            << ")\n";
        return kSimFailed;
    }
    out << "wrote " << file << ": " << bytes.size() << " bytes, variant "
        << NameOfVariant(options.variant) << ", seed " << options.seed << ", now "
        << TimeText(options.now) << "\n";
    PrintMix(out, "hour records", summary.hours);
    PrintMix(out, "last cycles", summary.lastCycles);
    PrintMix(out, "protection cycles", summary.protectionCycles);
    return 0;
}

}  // namespace zorvek::sim
