#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "archive/readout_archive.h"

namespace zorvek::archive {

// What the archive keeps of an image besides its bytes: the crane it comes
// from, the recorder's twenty passport texts and the figures of its load
// statistics, as the documents print them.
struct ImageFacts {
    CraneIdentity crane;
    std::vector<std::string> passport;  // 20 texts, cp1251, as the passport sheet shows them
    ReadoutFigures figures;
};

// Nothing unless `image` is 65,536 bytes of the recorder's data format.
std::optional<ImageFacts> FactsOfImage(std::span<const std::uint8_t> image);

}  // namespace zorvek::archive
