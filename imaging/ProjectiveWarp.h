// The projective warp: a page outline in a grey image mapped onto an upright
// rectangle, with the Leptonica functions of the run's binding.
#pragma once

#include "correction/PageCorrection.h"
#include "imaging/Leptonica.h"

namespace bitonix {

// Maps the outline `corners` of the 8-bit grey image `pix` (w x h pixels)
// onto an upright rectangle and returns that new image, or an empty pointer
// when the binding lacks the warp functions or a step fails. Output size:
// the longer of each pair of opposite edges, rounded half to even, at least
// 1 and at most w x h (a larger outline is scaled down into the source size,
// not cut). Pixels outside the source come out white. `pix` stays the
// caller's; every intermediate object is released on every path.
TPixPtr WarpPixGray(const TLeptonica& lept, PIX* pix, int w, int h, const TCorners& corners);

} // namespace bitonix
