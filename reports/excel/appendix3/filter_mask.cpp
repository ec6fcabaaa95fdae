#include "reports/excel/appendix3/filter_mask.h"

namespace zorvek {
namespace {

constexpr std::uint8_t kLimitProtections = flags::kMinRadiusProtection |
                                           flags::kMaxRadiusProtection |
                                           flags::kOverloadProtection | flags::kHookAtTopProtection;
constexpr std::uint8_t kTiltProtections = flags::kTiltXProtection | flags::kTiltYProtection;
constexpr std::uint8_t kZoneProtections =
    flags::kCoordProtection | flags::kPowerLineProtection | flags::kWindProtection;

}  // namespace

void FilterMask::Add(Protection protection) {
    switch (protection) {
        case Protection::Radius:
            limitFlags |= flags::kMinRadiusProtection | flags::kMaxRadiusProtection;
            break;
        case Protection::Overload:
            limitFlags |= flags::kOverloadProtection;
            break;
        case Protection::Coord:
            zoneFlags |= flags::kCoordProtection;
            break;
        case Protection::PowerLine:
            zoneFlags |= flags::kPowerLineProtection;
            break;
        case Protection::Hook:
            limitFlags |= flags::kHookAtTopProtection;
            break;
        case Protection::Tilt:
            tiltFlags |= flags::kTiltXProtection | flags::kTiltYProtection;
            break;
        case Protection::Wind:
            zoneFlags |= flags::kWindProtection;
            break;
    }
}

bool FilterMask::Shows(const HourRecord& record) const {
    if (showAll) return true;
    // Warning bits never let a record through, even if set in the mask.
    return (limitFlags & record.LimitFlags() & kLimitProtections) != 0 ||
           (tiltFlags & record.TiltFlags() & kTiltProtections) != 0 ||
           (zoneFlags & record.ZoneFlags() & kZoneProtections) != 0;
}

}  // namespace zorvek
