#include "sim/packed_real.h"

#include <cmath>

namespace zorvek::sim {

std::uint16_t PackFloat16(float value) {
    if (std::isnan(value) || value == 0.0f) return 0;
    const bool negative = std::signbit(value);
    const unsigned sign = negative ? 0x80u : 0u;
    if (std::isinf(value)) return static_cast<std::uint16_t>((sign | 0x7Fu) | (0xFFu << 8));
    int exponent = 0;
    // frexp gives [0.5, 1); the packed form is 1.m x 2^(e - 31).
    const double fraction = std::frexp(std::fabs(static_cast<double>(value)), &exponent);
    int biased = exponent - 1 + 31;
    long mantissa = std::lround((fraction * 2.0 - 1.0) * 512.0);
    if (mantissa == 512) {
        mantissa = 0;
        ++biased;
    }
    // Exponent 0 could leave the high byte 0, which reads back as 0.0.
    if (biased < 1) return 0;
    if (biased > 63) {
        biased = 63;
        mantissa = 511;
    }
    const auto m = static_cast<unsigned>(mantissa);
    const unsigned lo = sign | (m >> 2);
    const unsigned hi = ((m & 3u) << 6) | static_cast<unsigned>(biased);
    return static_cast<std::uint16_t>(lo | (hi << 8));
}

}  // namespace zorvek::sim
