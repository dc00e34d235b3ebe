// The grey image of a page JPEG, as the binariser thresholds it.
#pragma once

#include "imaging/Leptonica.h"

#include <QString>

namespace bitonix {

// One colour value turned to grey with the image library's default weights
// (0.3, 0.5, 0.2), computed exactly as pixConvertRGBToGray computes it.
inline int LeptonicaGrey(unsigned r, unsigned g, unsigned b) {
    constexpr float KRed = 0.3F;
    constexpr float KGreen = 0.5F;
    constexpr float KBlue = 0.2F;
    const float sum = KRed * static_cast<float>(r) + KGreen * static_cast<float>(g) +
                      KBlue * static_cast<float>(b);
    return static_cast<int>(static_cast<double>(sum) + 0.5);
}

// Reads the page JPEG `path` as an 8-bit grey image: the image library's
// pixRead followed by pixConvertRGBToGray with its default weights, bit for
// bit, but decoded row by row into the grey image so that no colour copy of
// the page is made. A grey JPEG gives its own values. JPEGs of other colour
// spaces, and other files, go the library's own way. Empty when the file
// cannot be decoded.
TPixPtr ReadPageGrey(const TLeptonica& lept, const QString& path);

} // namespace bitonix
