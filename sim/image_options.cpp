#include "sim/image_options.h"

#include <array>

namespace zorvek::sim {
namespace {

constexpr std::array kVariants{
    VariantName{ImageVariant::Valid, "valid", "complete image, every block and record intact"},
    VariantName{ImageVariant::ReaderCopy, "reader-copy",
                "complete image with the reader's new-data mark 123"},
    VariantName{ImageVariant::WrongSignature, "wrong-signature", "signature bytes 01 05 AA 55"},
    VariantName{ImageVariant::Truncated, "truncated", "file of 65535 bytes"},
    VariantName{ImageVariant::Extended, "extended", "file of 65537 bytes"},
    VariantName{ImageVariant::BadChecksums, "bad-checksums",
                "statistics and counter CRCs off by one"},
    VariantName{ImageVariant::EmptyLists, "empty-lists", "every cycle and hour record all 0xFF"},
    VariantName{ImageVariant::NoEndMark, "no-end-mark", "reader's end-of-copy mark missing"},
};

}  // namespace

std::span<const VariantName> Variants() { return kVariants; }

std::optional<ImageVariant> VariantFromName(std::string_view name) {
    for (const auto& entry : kVariants) {
        if (entry.name == name) return entry.variant;
    }
    return std::nullopt;
}

std::string_view NameOfVariant(ImageVariant variant) {
    for (const auto& entry : kVariants) {
        if (entry.variant == variant) return entry.name;
    }
    return {};
}

}  // namespace zorvek::sim
