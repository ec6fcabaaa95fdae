#include "sim/crane_state.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "model/records.h"

namespace zorvek::sim {
namespace {

void SetLoadPercent(CraneState& state, int percent) {
    state.loadPercent = static_cast<std::uint8_t>(std::clamp(percent, 0, 255));
    state.loadWeight = state.capacity * static_cast<float>(percent) / 100.0f;
}

// Moving the hook changes what the crane may lift there; the load stays the
// same share of it, as the limiter reports it.
void SetRadius(CraneState& state, float radius) {
    state.radius = radius;
    state.capacity = CapacityAt(radius, state.boomLength);
    SetLoadPercent(state, state.loadPercent);
}

std::int8_t Signed(DeterministicRandom& random, int magnitude) {
    return static_cast<std::int8_t>(random.Chance(0.5) ? magnitude : -magnitude);
}

void ApproachPowerLine(CraneState& state, int range, bool tripped) {
    state.powerLine = static_cast<std::uint8_t>(range);
    state.zone |= flags::kPowerLineWarning;
    if (tripped) state.zone |= flags::kPowerLineProtection;
}

int BitIndex(std::uint8_t bit) { return std::countr_zero(static_cast<unsigned>(bit)); }

void ShowModeBit(CraneState& state, std::uint8_t bit, DeterministicRandom& random) {
    const auto keep =
        static_cast<std::uint8_t>(state.mode & (flags::kModeAdjustment | flags::kModeBlocking));
    if (bit == flags::kModeAdjustment || bit == flags::kModeBlocking) {
        state.mode |= bit;
    } else if (bit == flags::kModeAuxiliary || bit == 0x08) {
        // Auxiliary modes are numbered from 10 up; 11..13 all have bit 3.
        state.mode =
            static_cast<std::uint8_t>(keep | flags::kModeAuxiliary | random.Between(11, 13));
    } else {
        state.mode = static_cast<std::uint8_t>(keep | bit);
    }
}

void ShowLimitBit(CraneState& state, std::uint8_t bit, DeterministicRandom& random) {
    const float maxRadius = MaxRadius(state.boomLength);
    switch (bit) {
        case flags::kMinRadiusWarning:
            SetRadius(state, kMinRadius + static_cast<float>(random.Real(0.05, 0.25)));
            break;
        case flags::kMinRadiusProtection:
            SetRadius(state, kMinRadius - static_cast<float>(random.Real(0.05, 0.3)));
            state.limits |= flags::kMinRadiusWarning;
            break;
        case flags::kMaxRadiusWarning:
            SetRadius(state, maxRadius - static_cast<float>(random.Real(0.05, 0.4)));
            break;
        case flags::kMaxRadiusProtection:
            SetRadius(state, maxRadius + static_cast<float>(random.Real(0.05, 0.3)));
            state.limits |= flags::kMaxRadiusWarning;
            break;
        case flags::kDangerousLoadWarning:
            SetLoadPercent(state, random.Between(95, 109));
            break;
        case flags::kOverloadProtection:
            SetLoadPercent(state, random.Between(110, 128));
            state.limits |= flags::kDangerousLoadWarning;
            break;
        case flags::kForbiddenZoneWarning:
            ReachCoordinateLimit(state, random.Between(0, 3), false);
            break;
        default:
            break;
    }
    state.limits |= bit;
}

void ShowTiltBit(CraneState& state, std::uint8_t bit, DeterministicRandom& random) {
    switch (bit) {
        case flags::kTiltXWarning:
            state.rollLongitudinal = Signed(random, 2);
            break;
        case flags::kTiltXProtection:
            state.rollLongitudinal = Signed(random, random.Between(3, 4));
            state.tilt |= flags::kTiltXWarning;
            break;
        case flags::kTiltYWarning:
            state.rollTransverse = Signed(random, 2);
            break;
        case flags::kTiltYProtection:
            state.rollTransverse = Signed(random, random.Between(3, 4));
            state.tilt |= flags::kTiltYWarning;
            break;
        default:
            break;
    }
    state.tilt |= bit;
}

void ShowZoneBit(CraneState& state, std::uint8_t bit, DeterministicRandom& random) {
    switch (bit) {
        case flags::kCoordWarning:
        case flags::kCoordProtection:
            ReachCoordinateLimit(state, random.Between(0, 3), bit == flags::kCoordProtection);
            break;
        case flags::kPowerLineWarning:
        case flags::kPowerLineProtection:
            ApproachPowerLine(state, random.Between(1, 5), bit == flags::kPowerLineProtection);
            break;
        case flags::kWindWarning:
            state.windTenths = static_cast<std::uint8_t>(random.Between(100, 139));
            break;
        case flags::kWindProtection:
            state.windTenths = static_cast<std::uint8_t>(random.Between(140, 190));
            state.zone |= flags::kWindWarning;
            break;
        default:
            break;
    }
    state.zone |= bit;
}

void ShowCoordBit(CraneState& state, std::uint8_t bit) {
    const int index = BitIndex(bit);
    if (index < 4) {
        state.coord |= bit;
    } else {
        ReachCoordinateLimit(state, index - 4, true);
    }
}

void ShowPowerLineBit(CraneState& state, std::uint8_t bit, DeterministicRandom& random) {
    if (bit <= 0x04) {
        ApproachPowerLine(state, bit, false);
    } else if (bit == 0x08) {
        // The sensor now and then reports a range it has no name for.
        state.powerLine = static_cast<std::uint8_t>(random.Between(8, 9));
    } else {
        // 0x10 alone: sensor off; 0x20 alone: sensor on, no line near.
        state.powerLine = bit;
    }
}

}  // namespace

std::uint8_t MeaningfulBits(FlagByte which) {
    switch (which) {
        case FlagByte::Mode:
            return 0x7F;
        case FlagByte::Limits:
            return 0xFF;
        case FlagByte::Tilt:
            return 0x1F;
        case FlagByte::Zone:
            return 0x3F;
        case FlagByte::Coord:
            return 0xFF;
        case FlagByte::PowerLine:
            return 0x3F;
    }
    return 0;
}

std::uint8_t FlagsOf(const CraneState& state, FlagByte which) {
    switch (which) {
        case FlagByte::Mode:
            return state.mode;
        case FlagByte::Limits:
            return state.limits;
        case FlagByte::Tilt:
            return state.tilt;
        case FlagByte::Zone:
            return state.zone;
        case FlagByte::Coord:
            return state.coord;
        case FlagByte::PowerLine:
            return state.powerLine;
    }
    return 0;
}

bool HasProtection(const CraneState& state) {
    constexpr std::uint8_t kLimitProtections =
        flags::kMinRadiusProtection | flags::kMaxRadiusProtection | flags::kOverloadProtection |
        flags::kHookAtTopProtection;
    constexpr std::uint8_t kTiltProtections = flags::kTiltXProtection | flags::kTiltYProtection;
    constexpr std::uint8_t kZoneProtections =
        flags::kCoordProtection | flags::kPowerLineProtection | flags::kWindProtection;
    return (state.limits & kLimitProtections) != 0 || (state.tilt & kTiltProtections) != 0 ||
           (state.zone & kZoneProtections) != 0;
}

float MaxRadius(float boomLength) { return std::min(boomLength * 0.92f, 28.0f); }

float CapacityAt(float radius, float boomLength) {
    // A simplified load chart: capacity falls with the radius, and a longer
    // boom costs capacity by its own weight.
    const float byRadius = 58.0f / (std::max(radius, 1.0f) - 0.8f);
    const float boomFactor = 1.0f - (boomLength - kShortestBoom) * 0.018f;
    return std::clamp(byRadius * boomFactor, 0.3f, kRatedLoad);
}

void ReachCoordinateLimit(CraneState& state, int limit, bool tripped) {
    const auto set = static_cast<std::uint8_t>(1u << limit);
    state.coord |= set;
    state.limits |= flags::kForbiddenZoneWarning;
    state.zone |= flags::kCoordWarning;
    if (tripped) {
        state.coord |= static_cast<std::uint8_t>(set << 4);
        state.zone |= flags::kCoordProtection;
    }
}

int LoadRangeOfPercent(int percent) {
    static constexpr int kUpper[] = {25, 50, 75, 100, 110, 120, 130};
    int range = 0;
    while (range < 7 && percent > kUpper[range]) ++range;
    return range;
}

void ShowFlagBit(CraneState& state, FlagByte which, std::uint8_t bit, DeterministicRandom& random) {
    switch (which) {
        case FlagByte::Mode:
            ShowModeBit(state, bit, random);
            break;
        case FlagByte::Limits:
            ShowLimitBit(state, bit, random);
            break;
        case FlagByte::Tilt:
            ShowTiltBit(state, bit, random);
            break;
        case FlagByte::Zone:
            ShowZoneBit(state, bit, random);
            break;
        case FlagByte::Coord:
            ShowCoordBit(state, bit);
            break;
        case FlagByte::PowerLine:
            ShowPowerLineBit(state, bit, random);
            break;
    }
}

void TripProtection(CraneState& state, DeterministicRandom& random) {
    struct Trip {
        FlagByte which;
        std::uint8_t bit;
    };
    static constexpr Trip kTrips[] = {
        {FlagByte::Limits, flags::kOverloadProtection},
        {FlagByte::Limits, flags::kHookAtTopProtection},
        {FlagByte::Zone, flags::kWindProtection},
        {FlagByte::Tilt, flags::kTiltXProtection},
        {FlagByte::Tilt, flags::kTiltYProtection},
        {FlagByte::Zone, flags::kCoordProtection},
        {FlagByte::Zone, flags::kPowerLineProtection},
        {FlagByte::Limits, flags::kMinRadiusProtection},
        {FlagByte::Limits, flags::kMaxRadiusProtection},
    };
    static constexpr double kWeights[] = {0.45, 0.12, 0.08, 0.05, 0.05, 0.1, 0.07, 0.04, 0.04};
    const Trip& trip = kTrips[random.Weighted(kWeights)];
    ShowFlagBit(state, trip.which, trip.bit, random);
}

}  // namespace zorvek::sim
