#pragma once
// The scale of a chart's value axis: a round step (1, 2, 2.5 or 5 times a power of ten) and a
// range of whole steps around the values, so the labels read 0, 50, 100 … rather than 110.3.

struct CAxisSteps {
    double low = 0;
    double high = 1;
    double step = 1;
    int tickCount = 2; // high - low is tickCount - 1 steps
    int decimals = 0;  // what the step needs, no more
};

namespace axissteps {

// The scale for values from `min` to `max` with about `wantedTicks` ticks (held to 3..9, so never
// more than 10 steps). A flat series still gets a scale: one value from 0 up (or down) to it,
// all zeros 0 to 1.
CAxisSteps Nice(double min, double max, int wantedTicks = 7);

} // namespace axissteps
