#include "reports/charts/axis_scale.h"

#include <algorithm>
#include <cmath>

namespace zorvek {

namespace {

// The smallest of 1, 2, 5 times a power of ten that is at least `raw`.
double NiceStep(double raw) {
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= raw * (1.0 - 1e-12)) return factor * power;
    }
    return 10.0 * power;
}

}  // namespace

int AxisScale::IntervalCount() const {
    return static_cast<int>(std::lround((maximum - minimum) / step));
}

double AxisScale::Tick(int index) const { return minimum + step * index; }

AxisScale ChooseAxisScale(double low, double high, int maxIntervals, double minimumStep) {
    if (!std::isfinite(low)) low = 0.0;
    if (!std::isfinite(high)) high = 0.0;
    if (maxIntervals < 1) maxIntervals = 1;
    if (!(minimumStep > 0.0) || !std::isfinite(minimumStep)) minimumStep = 1.0;
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);

    double span = high - low;
    if (span <= 0.0) {
        high = minimumStep;
        span = minimumStep;
    }
    AxisScale scale;
    scale.step = std::max(NiceStep(span / maxIntervals), minimumStep);
    scale.minimum = std::floor(low / scale.step) * scale.step;
    scale.maximum = std::ceil(high / scale.step) * scale.step;
    if (scale.minimum == 0.0) scale.minimum = 0.0;  // no "-0" at the foot
    if (scale.maximum <= scale.minimum) scale.maximum = scale.minimum + scale.step;
    return scale;
}

}  // namespace zorvek
