// The grey image of a page JPEG, as the binariser thresholds it.
#pragma once

#include "imaging/Leptonica.h"

#include <QString>
#include <cstdint>

namespace bitonix {

// The image library's default weights for turning colour to grey.
inline constexpr float KGreyRed = 0.3F;
inline constexpr float KGreyGreen = 0.5F;
inline constexpr float KGreyBlue = 0.2F;

// One colour value turned to grey with those weights, exactly as
// pixConvertRGBToGray does it (the weighted sum in single precision, rounded
// up from a half in double precision), in integers: these weights and this
// offset in units of 1/65536 give the library's value for every one of the
// 16.7 million colours (the tests check them all), and cost less.
inline std::uint8_t LeptonicaGrey(unsigned r, unsigned g, unsigned b) {
    return static_cast<std::uint8_t>((19661U * r + 32768U * g + 13107U * b + 32819U) >> 16);
}

// Reads the page JPEG `path` as an 8-bit grey image: the image library's
// pixRead followed by pixConvertRGBToGray with its default weights, bit for
// bit, but decoded row by row into the grey image so that no colour copy of
// the page is made. A grey JPEG gives its own values. JPEGs of other colour
// spaces, and other files, go the library's own way. Empty when the file
// cannot be decoded.
TPixPtr ReadPageGrey(const TLeptonica& lept, const QString& path);

} // namespace bitonix
