// How many threads the machine runs at once.
#pragma once

#include <algorithm>
#include <thread>

namespace bitonix {

// The processor cores this process may use, at least 1.
inline int ProcessorCores() {
    return static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
}

} // namespace bitonix
