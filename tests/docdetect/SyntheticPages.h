// Test images for the corner detector: a printed page photographed on a
// desk with known corners, a flat scan, and files that are not what they
// claim to be.
#pragma once

#include <opencv2/core.hpp>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace bitonix {

// The page's own top-left, top-right, bottom-right, bottom-left corner, in
// image pixels.
using TPageCorners = std::array<cv::Point2f, 4>;

struct TPagePhoto {
    cv::Mat Image; // 8-bit BGR, 1200 x 900
    TPageCorners Corners;
};

// A page (lines of dark strokes, a black block near its own top-left corner)
// turned by `turnDeg` clockwise on screen about the image centre, its top
// edge a little shorter than its bottom as in a photo taken at a slant, on a
// darker textured desk. The same turn always gives the same image.
TPagePhoto PagePhoto(double turnDeg);

// Printed lines on paper that fills the whole 1240 x 1754 image.
cv::Mat FlatScan();

// JPEG bytes of `image` carrying an Exif orientation tag (1 to 8).
std::vector<std::uint8_t> JpegWithOrientation(const cv::Mat& image, int orientation);

// A valid PNG of `width` x `height` white pixels at one bit per pixel, small
// on disk however large it declares itself.
std::vector<std::uint8_t> WhiteBitonalPng(int width, int height);

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace bitonix
