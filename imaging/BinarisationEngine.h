// One prepared page to a one-bit CCITT G4 TIFF: grey, optional projective
// warp, Sauvola threshold, rotation.
#pragma once

#include "correction/PageCorrection.h"
#include "imaging/Leptonica.h"

#include <QString>

namespace bitonix {

// Sauvola tile counts for a w x h page.
struct TSauvolaTiles {
    int nx = 1;
    int ny = 1;
};

// The fewest tiles that keep every tile, with its overlap of whsize + 1
// pixels on each side, under 16 million pixels (the threshold's accumulators
// overflow beyond that). Tiling does not change the result.
TSauvolaTiles SauvolaTiles(int w, int h, int whsize);

// Clockwise degrees a page is turned: the page's own rotation in the manual
// mode, otherwise the global choice (1: 270, 2: 90, 3: 180, else 0).
int PageRotationAngle(int obrot, const TPageCorrection& corr, TPerspMode mode);

// Binarises the page JPEG `infile` into the G4 TIFF `outfile`.
//   whsize  Sauvola half window in pixels (the caller keeps it >= 8)
//   factor  Sauvola factor, 0.01 .. 1.00
//   obrot   global rotation index: 0 none, 1 left, 2 right, 3 half turn
//   corr    the page's corners (warped in pmAuto/pmSemi when they differ
//           from the full page and the warp is bound) and own rotation
// Nothing is returned: a step that fails leaves no TIFF, and the caller's
// reading of the TIFF reports it. Every image is released before returning.
//
// Notes:
// 1. The warp works on the grey image in unrotated coordinates; rotation is
//    applied last, to the one-bit image.
// 2. A JPEG page is decoded as its luminance (the JPEG's own grey); other
//    images are read in colour and converted with the library's weights.
// 3. A page smaller than the threshold window (under 2 * whsize + 3 pixels
//    on a side), which the threshold would refuse, is thresholded inside a
//    white margin that is taken off again.
void leptbin(const TLeptonica& lept, const QString& infile, const QString& outfile, int whsize,
             float factor, int obrot, const TPageCorrection& corr, TPerspMode mode);

} // namespace bitonix
