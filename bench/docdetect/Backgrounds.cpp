// Desk surfaces: a base colour modulated by a texture field typical of the
// material (grain, weave, speckle, folds).
#include "Backgrounds.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace bitonix {

namespace {

cv::Mat Normalised(const cv::Mat& field) {
    cv::Scalar mean;
    cv::Scalar deviation;
    cv::meanStdDev(field, mean, deviation);
    cv::Mat out;
    field.convertTo(out, CV_32F, 1.0 / std::max(1e-6, deviation[0]),
                    -mean[0] / std::max(1e-6, deviation[0]));
    return out;
}

// Fine noise at full resolution, blurred to `sigma` pixels.
cv::Mat FineField(TRandom& rnd, cv::Size size, double sigma) {
    cv::Mat noise(size, CV_32F);
    cv::RNG cvrnd(rnd.Seed());
    cvrnd.fill(noise, cv::RNG::NORMAL, 0.0, 1.0);
    if (sigma > 0.0) {
        cv::GaussianBlur(noise, noise, cv::Size(0, 0), sigma);
    }
    return Normalised(noise);
}

// Wood: long fibres along x (or y), ring-like waves bent by a smooth field.
cv::Mat WoodField(TRandom& rnd, cv::Size size) {
    const bool vertical = rnd.Chance(0.5);
    const cv::Size along = vertical ? cv::Size(size.height, size.width) : size;
    cv::Mat coarse(std::max(2, along.height / 6), std::max(2, along.width / 300), CV_32F);
    cv::RNG cvrnd(rnd.Seed());
    cvrnd.fill(coarse, cv::RNG::NORMAL, 0.0, 1.0);
    cv::Mat fibres;
    cv::resize(coarse, fibres, along, 0, 0, cv::INTER_CUBIC);
    const cv::Mat bend = SmoothField(rnd, along, along.width / 4.0);
    const double period = along.height / rnd.Uniform(6.0, 20.0);
    cv::Mat rings(along, CV_32F);
    for (int y = 0; y < along.height; ++y) {
        const float* b = bend.ptr<float>(y);
        float* r = rings.ptr<float>(y);
        for (int x = 0; x < along.width; ++x) {
            r[x] = static_cast<float>(std::sin(6.2831853 * (y / period + 0.8 * b[x])));
        }
    }
    cv::Mat field = 0.6 * Normalised(fibres) + 0.5 * rings + 0.15 * FineField(rnd, along, 0.8);
    if (vertical) {
        cv::transpose(field, field);
    }
    return field;
}

// Woven cloth: a fine checker of threads with slow folds.
cv::Mat WeaveField(TRandom& rnd, cv::Size size) {
    const double period = rnd.Uniform(3.0, 7.0);
    const double angle = rnd.Uniform(0.0, 3.14159);
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    cv::Mat field(size, CV_32F);
    for (int y = 0; y < size.height; ++y) {
        float* f = field.ptr<float>(y);
        for (int x = 0; x < size.width; ++x) {
            const double u = (x * c + y * s) * 6.2831853 / period;
            const double v = (-x * s + y * c) * 6.2831853 / period;
            f[x] = static_cast<float>(std::sin(u) * std::sin(v));
        }
    }
    return field + 0.6 * SmoothField(rnd, size, size.width / 6.0) + 0.3 * FineField(rnd, size, 1.0);
}

} // namespace

cv::Mat SmoothField(TRandom& rnd, cv::Size size, double cell) {
    const int cols = std::max(2, static_cast<int>(size.width / std::max(1.0, cell)) + 2);
    const int rows = std::max(2, static_cast<int>(size.height / std::max(1.0, cell)) + 2);
    cv::Mat coarse(rows, cols, CV_32F);
    cv::RNG cvrnd(rnd.Seed());
    cvrnd.fill(coarse, cv::RNG::NORMAL, 0.0, 1.0);
    cv::Mat field;
    cv::resize(coarse, field, size, 0, 0, cv::INTER_CUBIC);
    return Normalised(field);
}

TDeskLook RandomDeskLook(TRandom& rnd, TDeskKind kind) {
    TDeskLook look;
    look.Kind = kind;
    const auto grey = [&](double lo, double hi) {
        const double g = rnd.Uniform(lo, hi);
        return cv::Scalar(g + rnd.Uniform(-6, 6), g + rnd.Uniform(-4, 4), g + rnd.Uniform(-6, 6));
    };
    switch (kind) {
    case TDeskKind::dkDarkWood:
        look.Base = cv::Scalar(rnd.Uniform(25, 50), rnd.Uniform(40, 70), rnd.Uniform(65, 110));
        look.Strength = rnd.Uniform(0.15, 0.3);
        break;
    case TDeskKind::dkLightWood:
        look.Base = cv::Scalar(rnd.Uniform(100, 150), rnd.Uniform(145, 185), rnd.Uniform(185, 225));
        look.Strength = rnd.Uniform(0.08, 0.18);
        break;
    case TDeskKind::dkWhiteTable:
        look.Base = grey(195, 228);
        look.Strength = rnd.Uniform(0.01, 0.04);
        break;
    case TDeskKind::dkGreyTable:
        look.Base = grey(100, 190);
        look.Strength = rnd.Uniform(0.02, 0.06);
        break;
    case TDeskKind::dkDarkCloth:
        look.Base = rnd.Chance(0.5)
                        ? grey(15, 45)
                        : cv::Scalar(rnd.Uniform(40, 80), rnd.Uniform(20, 40), rnd.Uniform(10, 30));
        look.Strength = rnd.Uniform(0.1, 0.25);
        break;
    case TDeskKind::dkFabric:
        look.Base = cv::Scalar(rnd.Uniform(40, 200), rnd.Uniform(40, 200), rnd.Uniform(40, 200));
        look.Strength = rnd.Uniform(0.1, 0.25);
        break;
    case TDeskKind::dkGranite:
        look.Base = grey(60, 170);
        look.Strength = rnd.Uniform(0.15, 0.35);
        break;
    case TDeskKind::dkBedSheet:
        look.Base = cv::Scalar(rnd.Uniform(175, 235), rnd.Uniform(175, 235), rnd.Uniform(175, 235));
        look.Strength = rnd.Uniform(0.06, 0.14);
        break;
    case TDeskKind::dkCarpet:
        look.Base = cv::Scalar(rnd.Uniform(50, 160), rnd.Uniform(50, 160), rnd.Uniform(50, 160));
        look.Strength = rnd.Uniform(0.15, 0.3);
        break;
    case TDeskKind::dkColourDesk: {
        const int hue = rnd.Int(0, 2);
        cv::Scalar base(rnd.Uniform(40, 90), rnd.Uniform(40, 90), rnd.Uniform(40, 90));
        base[hue] = rnd.Uniform(120, 200);
        look.Base = base;
        look.Strength = rnd.Uniform(0.02, 0.06);
        break;
    }
    case TDeskKind::dkBlackDesk:
        look.Base = grey(10, 35);
        look.Strength = rnd.Uniform(0.1, 0.3);
        break;
    }
    return look;
}

cv::Mat RenderDesk(TRandom& rnd, cv::Size size, const TDeskLook& look) {
    cv::Mat field;
    switch (look.Kind) {
    case TDeskKind::dkDarkWood:
    case TDeskKind::dkLightWood:
        field = WoodField(rnd, size);
        break;
    case TDeskKind::dkDarkCloth:
    case TDeskKind::dkFabric:
        field = WeaveField(rnd, size);
        break;
    case TDeskKind::dkGranite:
        field = 0.7 * FineField(rnd, size, rnd.Uniform(0.7, 2.5)) +
                0.5 * FineField(rnd, size, rnd.Uniform(4.0, 9.0));
        break;
    case TDeskKind::dkBedSheet:
        field = SmoothField(rnd, size, size.width / rnd.Uniform(3.0, 8.0)) +
                0.2 * FineField(rnd, size, 1.0);
        break;
    case TDeskKind::dkCarpet:
        field = FineField(rnd, size, rnd.Uniform(1.0, 2.0)) + 0.3 * SmoothField(rnd, size, 200);
        break;
    case TDeskKind::dkBlackDesk:
        // Glossy: slow reflections rather than texture.
        field = SmoothField(rnd, size, size.width / 3.0) + 0.1 * FineField(rnd, size, 1.0);
        break;
    case TDeskKind::dkWhiteTable:
    case TDeskKind::dkGreyTable:
    case TDeskKind::dkColourDesk:
        field = SmoothField(rnd, size, size.width / 4.0) + 0.4 * FineField(rnd, size, 1.5);
        break;
    }
    cv::Mat modulation = 1.0 + look.Strength * field;
    cv::Mat channels[3];
    for (int c = 0; c < 3; ++c) {
        channels[c] = modulation * look.Base[c];
    }
    cv::Mat desk;
    cv::merge(channels, 3, desk);
    desk.convertTo(desk, CV_8UC3);
    return desk;
}

} // namespace bitonix
