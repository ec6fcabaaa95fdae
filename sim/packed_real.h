#pragma once

#include <cstdint>

namespace zorvek::sim {

// The recorder's packed 16-bit real for a value, the inverse of
// UnpackFloat16: nine mantissa bits rounded to nearest, exponent 1..63.
// Zero, NaN and magnitudes below 2^-30 give 0; magnitudes too large for the
// exponent give the largest packed magnitude with their sign.
std::uint16_t PackFloat16(float value);

}  // namespace zorvek::sim
