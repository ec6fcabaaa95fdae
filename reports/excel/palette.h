#pragma once

#include <cstdint>
#include <optional>

namespace zorvek {

// The RGB value (0xRRGGBB) of a colour index of the standard 56-colour
// palette; nothing for indices outside 1..56.
std::optional<std::uint32_t> PaletteColour(int index);

}  // namespace zorvek
