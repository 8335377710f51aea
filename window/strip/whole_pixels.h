#pragma once

#include <cmath>

namespace zirared {

// Nearest integer, a half going to the even neighbour (banker's rounding).
inline int RoundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    const int lower = static_cast<int>(below);
    if (fraction < 0.5) {
        return lower;
    }
    if (fraction > 0.5) {
        return lower + 1;
    }
    return lower % 2 == 0 ? lower : lower + 1;
}

}  // namespace zirared
