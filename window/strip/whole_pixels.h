#pragma once

#include <QtGlobal>
#include <algorithm>
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

// Device pixels per design pixel at `devicePixelRatio`: whole, at least 1; a fractional ratio
// rounds to the nearest whole one. Pictures drawn at whole multiples stay sharp.
inline int WholePixelScale(qreal devicePixelRatio) {
    return std::max(1, qRound(devicePixelRatio));
}

}  // namespace zirared
