// Correction state of one prepared page: its four document corners and its
// rotation, plus the straightening mode of a run.
#pragma once

#include <QString>
#include <QVector>
#include <array>
#include <cmath>

namespace bitonix {

// Straightening mode of a run; the ordinals are stored in the settings file.
enum class TPerspMode : int { pmNone = 0, pmAuto = 1, pmSemi = 2 };

// A corner in pixel coordinates of the page's unrotated JPEG: x right, y down.
struct TPointF {
    float X = 0.0F;
    float Y = 0.0F;
    friend bool operator==(const TPointF&, const TPointF&) = default;
};

// Euclidean distance of two points, in double precision.
inline double Dist(const TPointF& a, const TPointF& b) {
    return std::hypot(static_cast<double>(a.X) - static_cast<double>(b.X),
                      static_cast<double>(a.Y) - static_cast<double>(b.Y));
}

// Corners: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
using TCorners = std::array<TPointF, 4>;

struct TPageCorrection {
    QString PageJpgFile;       // full path of the prepared page JPEG
    TCorners Corners{};        // document outline in pixels of that JPEG
    int Rotation = 0;          // clockwise degrees applied after binarisation: 0, 90, 180, 270
    bool AutoDetected = false; // corners come from the detector
    bool UserEdited = false;   // changed in the corner editor
    int ImgW = 0;              // JPEG width in pixels
    int ImgH = 0;              // JPEG height in pixels
    QString DisplayName;       // input file name without folder
    int SourcePageNo = 0;      // 1-based page number within the input file
    int SourcePageCount = 0;   // pages prepared from that input file
    int GlobalPageNo = 0;      // 1-based position in the whole run
    int GlobalPageCount = 0;   // pages in the run; 0 until all files are prepared
    friend bool operator==(const TPageCorrection&, const TPageCorrection&) = default;
};

using TPageCorrectionList = QVector<TPageCorrection>;

} // namespace bitonix
