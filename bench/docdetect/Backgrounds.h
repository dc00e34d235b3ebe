// Surfaces that pages lie on in the evaluation scenes (wood, tables, cloth,
// stone, bed sheets, carpet) and the smooth random fields they are made from.
#pragma once

#include "Random.h"

#include <opencv2/core.hpp>

namespace bitonix {

enum class TDeskKind {
    dkDarkWood,
    dkLightWood,
    dkWhiteTable,
    dkGreyTable,
    dkDarkCloth,
    dkFabric,
    dkGranite,
    dkBedSheet,
    dkCarpet,
    dkColourDesk,
    dkBlackDesk,
};

struct TDeskLook {
    TDeskKind Kind = TDeskKind::dkGreyTable;
    cv::Scalar Base{128, 128, 128}; // mean BGR colour
    double Strength = 0.05;         // relative amplitude of the texture
};

// A desk look of the given kind with a random colour typical of it.
TDeskLook RandomDeskLook(TRandom& rnd, TDeskKind kind);

// Renders the surface at `size` pixels as 8-bit BGR.
cv::Mat RenderDesk(TRandom& rnd, cv::Size size, const TDeskLook& look);

// Zero-mean, unit-deviation random field (CV_32F) whose features are about
// `cell` pixels large, by upscaling coarse noise.
cv::Mat SmoothField(TRandom& rnd, cv::Size size, double cell);

} // namespace bitonix
