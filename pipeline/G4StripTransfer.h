// Taking the compressed CCITT G4 data out of a one-page TIFF unchanged.
#pragma once

#include "imaging/MemoryStream.h"

#include <cstdint>

namespace bitonix {

struct TG4Image {
    std::uint32_t W = 0; // pixels
    std::uint32_t H = 0; // pixels
};

// Reads the TIFF held in `tiffStream` (positioned at 0) and appends its raw
// strips, in strip order and with the most significant bit of each byte
// first (fill order 2 is reversed), to the emptied `imageStream`. Empties
// `tiffStream` afterwards and returns the image size. Throws TError:
// "Cannot open tiff stream", "Cannot read tiff strip size", "Invalid tiff
// strip size", "Cannot allocate tiff strip buffer", "Cannot read tiff strip".
//
// Notes:
// 1. Compression and photometric interpretation are not examined: the
//    binariser always writes a one-strip G4 TIFF.
TG4Image TransferG4Strips(TMemoryStream& tiffStream, TMemoryStream& imageStream);

} // namespace bitonix
