#include "sim/image_command.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>

#include "model/atomic_file.h"
#include "sim/calendar.h"
#include "sim/image_generator.h"

namespace zorvek::sim {
namespace {

constexpr int kWriteFailed = 1;
constexpr int kBadArguments = 2;

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
    return kBadArguments;
}

}  // namespace

void PrintImageUsage(std::ostream& to) {
    to << "usage: zorvek-sim image --seed N --out FILE [--variant NAME] [--now "
          "YYYY-MM-DDTHH:MM:SS]\n"
          "  --seed N        generator seed, 0..4294967295; the same seed gives the same bytes\n"
          "  --out FILE      dump file to write (through FILE.tmp and a rename)\n"
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
    std::optional<std::uint32_t> seed;
    std::optional<std::string_view> file;
    std::optional<ImageVariant> variant;
    std::optional<LocalDateTime> now;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view name = args[i];
        if (name == "--help" || name == "-h") {
            PrintImageUsage(out);
            return 0;
        }
        if (i + 1 == args.size()) return Usage(err, "missing value after " + std::string(name));
        const std::string_view value = args[++i];
        if (name == "--seed") {
            if (seed) return Usage(err, "--seed given twice");
            seed = ParseSeed(value);
            if (!seed) return Usage(err, "bad seed '" + std::string(value) + "'");
        } else if (name == "--out") {
            if (file) return Usage(err, "--out given twice");
            if (value.empty()) return Usage(err, "empty file name");
            file = value;
        } else if (name == "--variant") {
            if (variant) return Usage(err, "--variant given twice");
            variant = VariantFromName(value);
            if (!variant) return Usage(err, "unknown variant '" + std::string(value) + "'");
        } else if (name == "--now") {
            if (now) return Usage(err, "--now given twice");
            now = ParseLocalDateTime(value);
            if (!now || now->year < kEarliestNowYear)
                return Usage(err, "bad time '" + std::string(value) + "'");
        } else {
            return Usage(err, "unknown option '" + std::string(name) + "'");
        }
    }
    if (!seed) return Usage(err, "--seed is required");
    if (!file) return Usage(err, "--out is required");

    ImageOptions options;
    options.seed = *seed;
    options.variant = variant.value_or(ImageVariant::Valid);
    options.now = now.value_or(kDefaultNow);
    ImageSummary summary;
    const Image image = GenerateImage(options, &summary);
    const auto bytes = ImageFileBytes(image, options.variant);
    if (!WriteFileAtomically(std::string(*file), bytes)) {
        err << "zorvek-sim image: cannot write " << *file << "\n";
        return kWriteFailed;
    }
    out << "wrote " << *file << ": " << bytes.size() << " bytes, variant "
        << NameOfVariant(options.variant) << ", seed " << options.seed << ", now "
        << TimeText(options.now) << "\n";
    PrintMix(out, "hour records", summary.hours);
    PrintMix(out, "last cycles", summary.lastCycles);
    PrintMix(out, "protection cycles", summary.protectionCycles);
    return 0;
}

}  // namespace zorvek::sim
