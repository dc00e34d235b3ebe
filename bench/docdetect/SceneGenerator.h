// The evaluation set of the corner detector: photographed pages with known
// corners in named categories of difficulty, and images without a document
// to find (flat scans, rendered PDF pages, an empty desk).
#pragma once

#include "PagePlacement.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace bitonix {

struct TSceneCategory {
    std::string Name;
    bool HasPage = true; // false: the right answer is "no document" or the full frame
    bool Photo = true;   // a 12-megapixel camera photo (timed)
};

struct TScene {
    cv::Mat Image; // 8-bit BGR
    bool HasPage = false;
    TQuad Truth{};        // outline of the page in image pixels, the page's own order
    int JpegQuality = 90; // 0: stored as PNG
};

// The categories in report order: page categories first.
const std::vector<TSceneCategory>& SceneCategories();

// Builds image number `seed` of `category`; the same arguments always give
// the same scene.
TScene MakeScene(const TSceneCategory& category, std::uint32_t seed);

} // namespace bitonix
