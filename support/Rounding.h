// Rounding to an integer the way every file format and layout here does it:
// a value exactly half-way goes to the even neighbour.
#pragma once

#include <cmath>

namespace bitonix {

// Assumes the default floating-point rounding mode (to nearest, ties to even).
inline int RoundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

} // namespace bitonix
