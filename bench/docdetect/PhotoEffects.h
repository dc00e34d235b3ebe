// What light and the camera do to an evaluation photo: uneven light, cast
// shadows, colour casts, defocus and motion blur, sharpening, sensor noise.
#pragma once

#include "Random.h"

#include <opencv2/core.hpp>

namespace bitonix {

// Multiplies every pixel of the 8-bit BGR `frame` by `gain` (CV_32F of any
// size, stretched smoothly over the frame).
void ApplyGain(cv::Mat& frame, const cv::Mat& gain);

// A smooth light field around 1 (CV_32F, `size`): a linear fall-off of
// relative `gradient` across the frame, a vignette of relative `vignette` in
// the corners and slow blotches.
cv::Mat LightField(TRandom& rnd, cv::Size size, double gradient, double vignette);

// A gain field (CV_32F, `size`) that darkens a random region entering from
// the border by `depth` (0..1) with a penumbra of `softness` pixels.
cv::Mat CastShadow(TRandom& rnd, cv::Size size, double depth, double softness);

// Gaussian defocus of `sigma` pixels.
void Defocus(cv::Mat& frame, double sigma);

// Straight motion blur over `length` pixels at `angleDeg`.
void MotionBlur(cv::Mat& frame, double length, double angleDeg);

// Unsharp masking as phone cameras do: `amount` of the detail above a
// Gaussian of `sigma` pixels is added back.
void Sharpen(cv::Mat& frame, double amount, double sigma);

// Gaussian sensor noise: `luma` shared by the channels, `chroma` per channel
// (standard deviations in grey levels).
void AddNoise(cv::Mat& frame, TRandom& rnd, double luma, double chroma);

} // namespace bitonix
