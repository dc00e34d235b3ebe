// The plugin's only export: the C contract between the program and the
// corner detector. Nothing may escape it: every failure becomes "no document".
#include "DocumentDetector.h"

#include <algorithm>
#include <cmath>
#include <optional>

// Finds the document page in the image file at `utf8Path` (NUL-terminated
// UTF-8). Returns 1 and fills `corners` with x0, y0, ... x3, y3 (top-left,
// top-right, bottom-right, bottom-left; pixels of the image as stored, x
// right, y down) when a page is found; returns 0 and leaves `corners`
// untouched otherwise, also for a null argument, an unreadable or unsupported
// file, or any internal failure. Keeps no state between calls.
extern "C" __attribute__((visibility("default"))) int
DetectDocumentCornersFile(const char* utf8Path, float corners[8]) noexcept {
    if (utf8Path == nullptr || corners == nullptr) {
        return 0;
    }
    try {
        const std::optional<bitonix::TCorners> found = bitonix::DetectDocument(utf8Path);
        if (!found) {
            return 0;
        }
        float out[8];
        for (std::size_t i = 0; i < 4; ++i) {
            out[2 * i] = static_cast<float>((*found)[i].x);
            out[2 * i + 1] = static_cast<float>((*found)[i].y);
            if (!std::isfinite(out[2 * i]) || !std::isfinite(out[2 * i + 1])) {
                return 0;
            }
        }
        std::copy(out, out + 8, corners);
        return 1;
    } catch (...) {
        return 0;
    }
}
