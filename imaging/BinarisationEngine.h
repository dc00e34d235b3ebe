// One prepared page to a one-bit CCITT G4 TIFF in memory: grey, optional
// projective warp, Sauvola threshold, rotation.
//
// Operations: SauvolaTiles, PageRotationAngle, SauvolaBinarizeParallel,
// leptbin.
#pragma once

#include "correction/PageCorrection.h"
#include "imaging/Leptonica.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace bitonix {

// Sauvola tile counts for a w x h page.
struct TSauvolaTiles {
    int nx = 1;
    int ny = 1;
};

// The tiles a page is thresholded in. Every tile, with its overlap of
// whsize + 1 pixels on each side, stays under 16 million pixels (the
// threshold's accumulators overflow beyond that); with threads > 1 the tiles
// are also split into a multiple of `threads`, so that every thread gets a
// share, where the page is large enough. Tiling does not change the result.
TSauvolaTiles SauvolaTiles(int w, int h, int whsize, int threads = 1);

// Clockwise degrees a page is turned: the page's own rotation in the manual
// mode, otherwise the global choice (1: 270, 2: 90, 3: 180, else 0).
int PageRotationAngle(int obrot, const TPageCorrection& corr, TPerspMode mode);

// Sauvola binarisation of the 8-bit grey image `grey` in `tiles`, `threads`
// tiles at a time: the same bits as the library's pixSauvolaBinarizeTiled
// with those tiles (and so as one tile). Empty when a step fails.
TPixPtr SauvolaBinarizeParallel(const TLeptonica& lept, PIX* grey, int whsize, float factor,
                                TSauvolaTiles tiles, int threads);

// What leptbin does with one page.
struct TBinariseJob {
    QString PageJpg;              // the page JPEG
    int WHSize = 8;               // Sauvola half window in pixels (the caller keeps it >= 8)
    float Factor = 0.21F;         // Sauvola factor, 0.01 .. 1.00
    int Rotation = 0;             // clockwise degrees applied last: 0, 90, 180 or 270
    std::optional<TCorners> Warp; // outline straightened before thresholding; none: as it is
    int PreviewSide = 0;          // > 0: also a grey preview, its longer side at most this
    int Threads = 1;              // threads thresholding the tiles
};

// The binarised page.
struct TBinarisedPage {
    std::vector<std::uint8_t> Tiff; // a one-page, one-bit G4 TIFF; empty when a step failed
    QImage Preview;                 // the page reduced to grey, rotation included, when asked
};

// Binarises the page JPEG of `job`: reads it as grey (ReadPageGrey), warps
// it when job.Warp holds an outline and the binding has the warp (a failed
// warp leaves the page unwarped), thresholds it, turns it, and encodes it as
// a G4 TIFF in memory. Safe to call from any thread with a loaded binding;
// every image is released before returning. A step that fails gives an empty
// Tiff, as the file-based engine left no TIFF behind.
//
// Notes:
// 1. The warp works on the grey image in unrotated coordinates; rotation is
//    applied last, to the one-bit image.
// 2. A page smaller than the threshold window (under 2 * whsize + 3 pixels
//    on a side), which the threshold would refuse, is thresholded inside a
//    white margin that is taken off again.
TBinarisedPage leptbin(const TLeptonica& lept, const TBinariseJob& job);

} // namespace bitonix
