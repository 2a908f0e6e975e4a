#include "axis_steps.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Without this the multiples of 0.1 carry noise such as 0.30000000000000004.
double Rounded(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

} // namespace

namespace axissteps {

CAxisSteps Nice(double min, double max, int wantedTicks) {
    // Past this the span no longer fits a double's steps; no pharmacy's figures come near it.
    constexpr double kLimit = 1e15;
    min = std::isfinite(min) ? std::clamp(min, -kLimit, kLimit) : 0;
    max = std::isfinite(max) ? std::clamp(max, -kLimit, kLimit) : 0;
    if (min > max)
        std::swap(min, max);
    if (min == max) {
        // One value alone says nothing about a scale; measure it from zero.
        min = std::min(min, 0.0);
        max = std::max(max, 0.0);
        if (min == max)
            max = 1;
    }
    const int intervals = std::clamp(wantedTicks, 3, 9) - 1;
    // The smallest round step that covers the span in `intervals`: widening to whole steps then
    // adds at most two more.
    const double raw = (max - min) / intervals;
    int exponent = static_cast<int>(std::floor(std::log10(raw)));
    double magnitude = std::pow(10.0, exponent);
    double mantissa = 10;
    for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (m * magnitude >= raw * (1 - 1e-12)) {
            mantissa = m;
            break;
        }
    }
    if (mantissa == 10) {
        mantissa = 1;
        ++exponent;
        magnitude *= 10;
    }
    CAxisSteps axis;
    axis.decimals = std::max(0, -exponent + (mantissa == 2.5 ? 1 : 0));
    axis.step = Rounded(mantissa * magnitude, axis.decimals);
    // A value a hair past a step (by floating noise) stays on that step.
    double first = std::floor(min / axis.step + 1e-9);
    double last = std::ceil(max / axis.step - 1e-9);
    axis.low = Rounded(first * axis.step, axis.decimals);
    if (axis.low > min)
        axis.low = Rounded(--first * axis.step, axis.decimals);
    axis.high = Rounded(last * axis.step, axis.decimals);
    if (axis.high < max)
        axis.high = Rounded(++last * axis.step, axis.decimals);
    axis.tickCount = static_cast<int>(last - first) + 1;
    return axis;
}

} // namespace axissteps
