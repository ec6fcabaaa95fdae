#pragma once

#include <array>
#include <cstdint>

#include "sim/deterministic_random.h"

namespace zorvek::sim {

// The crane the twin plays: a 25 t truck crane with a telescopic boom.
inline constexpr float kRatedLoad = 25.0f;
inline constexpr float kMinRadius = 3.0f;
inline constexpr float kShortestBoom = 9.6f;
inline constexpr float kLongestBoom = 30.2f;

// How often lifts fall into each load range (they fall off with the load),
// and a typical load of each range, in percent of the rated load.
inline constexpr std::array<double, 8> kLoadRangeShares{0.40,  0.27, 0.16, 0.10,
                                                        0.035, 0.02, 0.01, 0.005};
inline constexpr std::array<int, 8> kLoadRangeTypicalPercent{14, 38, 63, 88, 105, 115, 125, 140};

// The crane's state as a record takes it: the flag bytes with the bit
// meanings of zorvek::flags, load and geometry.
struct CraneState {
    std::uint8_t mode = 1;
    std::uint8_t limits = 0;
    std::uint8_t tilt = 0;
    std::uint8_t zone = 0;
    std::uint8_t coord = 0;
    std::uint8_t powerLine = 0;
    std::uint8_t loadPercent = 0;
    std::uint8_t windTenths = 0;
    std::int8_t rollLongitudinal = 0;
    std::int8_t rollTransverse = 0;
    float loadWeight = 0.0f;
    float boomLength = kShortestBoom;
    float radius = kMinRadius;
    float azimuth = 0.0f;
    float capacity = 0.0f;
};

// The six flag bytes, in the order they lie in a record.
enum class FlagByte : std::uint8_t { Mode, Limits, Tilt, Zone, Coord, PowerLine };
inline constexpr std::array kFlagBytes{FlagByte::Mode, FlagByte::Limits, FlagByte::Tilt,
                                       FlagByte::Zone, FlagByte::Coord,  FlagByte::PowerLine};

// The bits of each flag byte that carry a meaning.
std::uint8_t MeaningfulBits(FlagByte which);
std::uint8_t FlagsOf(const CraneState& state, FlagByte which);

// Any protection (not a mere warning) in the state.
bool HasProtection(const CraneState& state);

// The maximum working radius for a boom length, metres.
float MaxRadius(float boomLength);
// Rated capacity at a radius with a boom length, tonnes.
float CapacityAt(float radius, float boomLength);
// Load range 0..7 of a percentage of the rated load.
int LoadRangeOfPercent(int percent);

// The hook reaches coordinate limit `limit` (0..3: right, left, upper, lower):
// its bit, the zone's coordinate warning and the forbidden-zone warning;
// `tripped` adds the limit's protection bit and the zone's protection.
void ReachCoordinateLimit(CraneState& state, int limit, bool tripped);

// Puts the crane into a situation that sets `bit` (a single bit of
// MeaningfulBits) of the flag byte, with the values and companion bits that
// go with it: an overload also raises the dangerous-load warning and the load,
// a tripped coordinate limit is also set, and so on.
void ShowFlagBit(CraneState& state, FlagByte which, std::uint8_t bit, DeterministicRandom& random);

// Puts the crane into one of the protection situations, overload most often.
void TripProtection(CraneState& state, DeterministicRandom& random);

}  // namespace zorvek::sim
