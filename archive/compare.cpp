#include "archive/readout_archive.h"

namespace zorvek::archive {

ReadoutComparison Compare(const ReadoutSummary& a, const ReadoutSummary& b) {
    const bool aFirst = a.readAt != b.readAt ? a.readAt < b.readAt : a.id <= b.id;
    ReadoutComparison comparison;
    comparison.earlier = aFirst ? a : b;
    comparison.later = aFirst ? b : a;
    const ReadoutFigures& earlier = comparison.earlier.figures;
    const ReadoutFigures& later = comparison.later.figures;
    comparison.sameCrane = !a.craneKey.empty() && !b.craneKey.empty()
                               ? a.craneKey == b.craneKey
                               : a.crane.registration == b.crane.registration;
    comparison.cycles = static_cast<std::int64_t>(later.totalCycles) -
                        static_cast<std::int64_t>(earlier.totalCycles);
    comparison.hours = later.totalHours - earlier.totalHours;
    comparison.overloads =
        static_cast<std::int64_t>(later.overloads) - static_cast<std::int64_t>(earlier.overloads);
    comparison.liftedMass = later.liftedMass - earlier.liftedMass;
    if (earlier.kp && later.kp) comparison.kpChange = *later.kp - *earlier.kp;
    if (earlier.lifeUsed && later.lifeUsed)
        comparison.lifeUsedChange = *later.lifeUsed - *earlier.lifeUsed;
    return comparison;
}

}  // namespace zorvek::archive
