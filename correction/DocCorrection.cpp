// Corner convention, detector plugin binding and the decision to straighten.
#include "correction/DocCorrection.h"

#include <QLibrary>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>

namespace bitonix {

namespace {

using TDetectFn = int (*)(const char* utf8Path, float corners[8]);

// The detector plugin: loaded for the duration of a run.
std::unique_ptr<QLibrary> GDocDetectLib;
TDetectFn GDetect = nullptr;

template <typename TFn> void Bind(QLibrary& lib, const char* name, TFn& slot) {
    slot = reinterpret_cast<TFn>(lib.resolve(name));
}

TCorners FullPage(int w, int h) {
    const float r = static_cast<float>(w - 1);
    const float b = static_cast<float>(h - 1);
    return {TPointF{0, 0}, TPointF{r, 0}, TPointF{r, b}, TPointF{0, b}};
}

} // namespace

QString DocDetectLibraryName() {
    return QStringLiteral("libdocdetect.so");
}

bool LoadDocDetect(const QString& folder) {
    if (!GDocDetectLib) {
        auto lib = std::make_unique<QLibrary>(folder + DocDetectLibraryName());
        if (lib->load()) {
            GDocDetectLib = std::move(lib);
        }
    }
    if (GDocDetectLib) {
        Bind(*GDocDetectLib, "DetectDocumentCornersFile", GDetect);
    }
    return DocDetectAvailable();
}

void UnloadDocDetect() {
    GDetect = nullptr;
    if (GDocDetectLib) {
        GDocDetectLib->unload();
        GDocDetectLib.reset();
    }
}

bool DocDetectAvailable() {
    return GDetect != nullptr;
}

void SetFullPageCorners(TPageCorrection& corr) {
    corr.Corners = FullPage(corr.ImgW, corr.ImgH);
}

bool DetectCornersForPage(TPageCorrection& corr) {
    if (!DocDetectAvailable()) {
        return false;
    }
    const QByteArray path = corr.PageJpgFile.toUtf8();
    float found[8] = {};
    if (GDetect(path.constData(), found) != 1) {
        return false;
    }
    // A broken plugin's NaN or infinity would reach the warp's size arithmetic.
    if (!std::all_of(std::begin(found), std::end(found),
                     [](float v) { return std::isfinite(v); })) {
        return false;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        corr.Corners[i] = TPointF{found[2 * i], found[2 * i + 1]};
    }
    corr.AutoDetected = true;
    return true;
}

bool CorrectionChangesGeometry(const TPageCorrection& corr) {
    const TCorners full = FullPage(corr.ImgW, corr.ImgH);
    for (std::size_t i = 0; i < 4; ++i) {
        const double dx = static_cast<double>(corr.Corners[i].X) - static_cast<double>(full[i].X);
        const double dy = static_cast<double>(corr.Corners[i].Y) - static_cast<double>(full[i].Y);
        if (std::fabs(dx) > 1.5 || std::fabs(dy) > 1.5) {
            return true;
        }
    }
    return false;
}

} // namespace bitonix
