#pragma once

// The value axis of a bar chart: a range that holds zero and every bar, cut
// into "nice" steps (1, 2 or 5 times a power of ten).
namespace zorvek {

struct AxisScale {
    double minimum = 0.0;
    double maximum = 1.0;
    double step = 1.0;

    // Ticks run from minimum to maximum inclusive.
    int IntervalCount() const;
    double Tick(int index) const;
};

// Scale for bars between `low` and `high` (bars stand on zero, so zero is
// always inside). At most about `maxIntervals` steps, never a step finer than
// `minimumStep` (1 for whole numbers, so that an axis of counts never reads
// 0.5). Non-finite bounds count as 0; the result has at least one interval
// and finite ends, even for bounds near the limits of a float.
AxisScale ChooseAxisScale(double low, double high, int maxIntervals, double minimumStep);

}  // namespace zorvek
