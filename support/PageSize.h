// The size of an output page in PDF points (1/72 inch).
#pragma once

namespace bitonix {

struct TPageSize {
    int W = 0;
    int H = 0;
};

// Every output page is A4 portrait; PDF pages larger than it are rendered
// scaled down to fit it.
inline constexpr TPageSize KA4Page{595, 842};

} // namespace bitonix
