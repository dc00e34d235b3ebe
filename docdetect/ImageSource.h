// Reads an image file into a small working copy without ever decoding more
// than it needs: the size is taken from the file header first, JPEGs are
// decoded at reduced size by the decoder's DCT scaling.
#pragma once

#include "Geometry.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <optional>
#include <vector>

namespace bitonix {

enum class TImageFormat { ifJpeg, ifPng, ifBmp };

struct TImageHeader {
    TImageFormat Format = TImageFormat::ifJpeg;
    long long Width = 0; // pixels as stored, before any orientation tag
    long long Height = 0;
};

// The declared size of a JPEG (first frame header), PNG (IHDR) or BMP file
// from its first bytes. Empty for other formats and for headers that are cut
// short or declare a size of zero.
std::optional<TImageHeader> ReadImageHeader(const std::vector<std::uint8_t>& bytes);

struct TWorkImage {
    cv::Mat Colour; // 8-bit BGR, long side about 800 to 1600 pixels (less if the image is smaller)
    cv::Size Full;  // the image as stored
    TScaleMap ToFull; // from Colour pixels to stored pixels
};

// Loads the file at `utf8Path` as a working copy.
// Empty when the file cannot be read, is not a regular file, is larger than
// 256 MB, is not JPEG, PNG or BMP, is smaller than 32 pixels on a side, or
// would need more than 40 million decoded pixels (a PNG or BMP that large, a
// JPEG even at 1/8 scale). Orientation tags are ignored: coordinates refer to
// the pixels as stored. Throws only on allocation failure.
std::optional<TWorkImage> LoadWorkImage(const char* utf8Path);

} // namespace bitonix
