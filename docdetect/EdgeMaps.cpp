// White balance, grey and paper maps, print, text closing, smoothing and
// gradients.
#include "EdgeMaps.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace bitonix {

namespace {

// How much colourfulness (max - min of the channels) counts against paper.
constexpr float KChromaWeight = 0.6f;

constexpr double KWhiteShare = 0.1; // brightest share of pixels taken as white
constexpr float KMaxGain = 1.4f;    // white balance gains stay within [1/KMaxGain, KMaxGain]
constexpr float KInkDepth = 15.0f;  // grey levels below the closed map that count as print
constexpr float KPaperBand = 40.0f; // grey levels below paper white where print can be

// Grey and paper maps of the white-balanced image.
void GreyAndPaper(const cv::Mat& bgr, const cv::Vec3f& gains, cv::Mat& grey, cv::Mat& paper) {
    grey.create(bgr.size(), CV_32F);
    paper.create(bgr.size(), CV_32F);
    for (int y = 0; y < bgr.rows; ++y) {
        const std::uint8_t* p = bgr.ptr<std::uint8_t>(y);
        float* outGrey = grey.ptr<float>(y);
        float* outPaper = paper.ptr<float>(y);
        for (int x = 0; x < bgr.cols; ++x) {
            const float b = p[3 * x] * gains[0];
            const float g = p[3 * x + 1] * gains[1];
            const float r = p[3 * x + 2] * gains[2];
            const float level = 0.114f * b + 0.587f * g + 0.299f * r;
            const float chroma = std::max({b, g, r}) - std::min({b, g, r});
            outGrey[x] = level;
            outPaper[x] = level - KChromaWeight * chroma;
        }
    }
}

void Derivatives(const cv::Mat& map, cv::Mat& gx, cv::Mat& gy) {
    cv::Mat smooth;
    cv::GaussianBlur(map, smooth, cv::Size(0, 0), 1.0, 1.0, cv::BORDER_REPLICATE);
    cv::Sobel(smooth, gx, CV_32F, 1, 0, 3, 1.0 / 8.0, 0, cv::BORDER_REPLICATE);
    cv::Sobel(smooth, gy, CV_32F, 0, 1, 3, 1.0 / 8.0, 0, cv::BORDER_REPLICATE);
}

double MedianMagnitude(const cv::Mat& gx, const cv::Mat& gy) {
    std::vector<float> magnitudes;
    magnitudes.reserve(static_cast<std::size_t>(gx.total() / 4 + 1));
    for (int y = 0; y < gx.rows; y += 2) {
        const float* a = gx.ptr<float>(y);
        const float* b = gy.ptr<float>(y);
        for (int x = 0; x < gx.cols; x += 2) {
            magnitudes.push_back(std::hypot(a[x], b[x]));
        }
    }
    if (magnitudes.empty()) {
        return 1.0;
    }
    const auto middle = magnitudes.begin() + static_cast<std::ptrdiff_t>(magnitudes.size() / 2);
    std::nth_element(magnitudes.begin(), middle, magnitudes.end());
    return std::max(0.25, static_cast<double>(*middle));
}

// Pixels of print: well below the closed grey map where that is paper-bright.
cv::Mat PrintMask(const cv::Mat& closed, const cv::Mat& open) {
    int histogram[256] = {};
    for (int y = 0; y < closed.rows; ++y) {
        const float* c = closed.ptr<float>(y);
        for (int x = 0; x < closed.cols; ++x) {
            ++histogram[std::clamp(cvRound(c[x]), 0, 255)];
        }
    }
    const double wanted = KWhiteShare * static_cast<double>(closed.total());
    double seen = 0;
    int white = 255;
    while (white > 0 && seen + histogram[white] < wanted) {
        seen += histogram[white--];
    }
    const float paperFloor = static_cast<float>(white) - KPaperBand;
    cv::Mat print(closed.size(), CV_8U);
    for (int y = 0; y < closed.rows; ++y) {
        const float* c = closed.ptr<float>(y);
        const float* o = open.ptr<float>(y);
        std::uint8_t* out = print.ptr<std::uint8_t>(y);
        for (int x = 0; x < closed.cols; ++x) {
            out[x] = (c[x] >= paperFloor && c[x] - o[x] >= KInkDepth) ? 1 : 0;
        }
    }
    return print;
}

} // namespace

cv::Vec3f WhiteBalanceGains(const cv::Mat& bgr) {
    int histogram[256] = {};
    for (int y = 0; y < bgr.rows; ++y) {
        const std::uint8_t* p = bgr.ptr<std::uint8_t>(y);
        for (int x = 0; x < bgr.cols; ++x) {
            ++histogram[(p[3 * x] + 2 * p[3 * x + 1] + p[3 * x + 2]) / 4];
        }
    }
    const double wanted = KWhiteShare * static_cast<double>(bgr.total());
    double seen = 0;
    int threshold = 255;
    while (threshold > 0 && seen + histogram[threshold] < wanted) {
        seen += histogram[threshold--];
    }
    double sum[3] = {};
    double count = 0;
    for (int y = 0; y < bgr.rows; ++y) {
        const std::uint8_t* p = bgr.ptr<std::uint8_t>(y);
        for (int x = 0; x < bgr.cols; ++x) {
            if ((p[3 * x] + 2 * p[3 * x + 1] + p[3 * x + 2]) / 4 >= threshold) {
                for (int c = 0; c < 3; ++c) {
                    sum[c] += p[3 * x + c];
                }
                ++count;
            }
        }
    }
    const double white = std::max({sum[0], sum[1], sum[2]});
    cv::Vec3f gains(1, 1, 1);
    if (count == 0 || white <= 0) {
        return gains;
    }
    for (int c = 0; c < 3; ++c) {
        gains[c] = std::clamp(static_cast<float>(white / std::max(1.0, sum[c])), 1.0f / KMaxGain,
                              KMaxGain);
    }
    return gains;
}

TEdgeMaps MakeEdgeMaps(const cv::Mat& bgr, const cv::Vec3f& gains, bool closeText) {
    TEdgeMaps maps;
    GreyAndPaper(bgr, gains, maps.Grey, maps.Paper);
    if (closeText) {
        const cv::Mat square = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(5, 5));
        const cv::Mat open = maps.Grey.clone();
        for (cv::Mat* map : {&maps.Grey, &maps.Paper}) {
            cv::morphologyEx(*map, *map, cv::MORPH_CLOSE, square, cv::Point(-1, -1),
                             /*iterations=*/1, cv::BORDER_REPLICATE);
        }
        maps.Print = PrintMask(maps.Grey, open);
    }
    cv::Mat paperGx;
    cv::Mat paperGy;
    Derivatives(maps.Grey, maps.Gx, maps.Gy);
    Derivatives(maps.Paper, paperGx, paperGy);
    for (int y = 0; y < bgr.rows; ++y) {
        float* gx = maps.Gx.ptr<float>(y);
        float* gy = maps.Gy.ptr<float>(y);
        const float* px = paperGx.ptr<float>(y);
        const float* py = paperGy.ptr<float>(y);
        for (int x = 0; x < bgr.cols; ++x) {
            if (px[x] * px[x] + py[x] * py[x] > gx[x] * gx[x] + gy[x] * gy[x]) {
                gx[x] = px[x];
                gy[x] = py[x];
            }
        }
    }
    maps.Noise = MedianMagnitude(maps.Gx, maps.Gy);
    return maps;
}

double StepAcross(const TEdgeMaps& maps, cv::Point2d p, cv::Point2d n, double reach) {
    const cv::Point2d ahead = p + n * reach;
    const cv::Point2d behind = p - n * reach;
    const double grey = static_cast<double>(Sample(maps.Grey, ahead)) -
                        static_cast<double>(Sample(maps.Grey, behind));
    const double paper = static_cast<double>(Sample(maps.Paper, ahead)) -
                         static_cast<double>(Sample(maps.Paper, behind));
    return std::max(grey, paper);
}

float Sample(const cv::Mat& map, cv::Point2d p) {
    const double x = std::clamp(p.x, 0.0, map.cols - 1.0);
    const double y = std::clamp(p.y, 0.0, map.rows - 1.0);
    const int x0 = std::min(static_cast<int>(x), map.cols - 2 < 0 ? 0 : map.cols - 2);
    const int y0 = std::min(static_cast<int>(y), map.rows - 2 < 0 ? 0 : map.rows - 2);
    const int x1 = std::min(x0 + 1, map.cols - 1);
    const int y1 = std::min(y0 + 1, map.rows - 1);
    const float fx = static_cast<float>(x - x0);
    const float fy = static_cast<float>(y - y0);
    const float top = map.at<float>(y0, x0) * (1 - fx) + map.at<float>(y0, x1) * fx;
    const float bottom = map.at<float>(y1, x0) * (1 - fx) + map.at<float>(y1, x1) * fx;
    return top * (1 - fy) + bottom * fy;
}

} // namespace bitonix
