// Corner convention, detector plugin binding and the projective warp.
#include "correction/DocCorrection.h"
#include "support/Rounding.h"

#include <leptonica/allheaders.h>

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

// The warp's own entry points into the run's image library.
struct TWarpTable {
    decltype(&::ptaCreate) ptaCreate = nullptr;
    decltype(&::ptaAddPt) ptaAddPt = nullptr;
    decltype(&::ptaDestroy) ptaDestroy = nullptr;
    decltype(&::pixProjectivePtaGray) pixProjectivePtaGray = nullptr;
    decltype(&::boxCreate) boxCreate = nullptr;
    decltype(&::boxDestroy) boxDestroy = nullptr;
    decltype(&::pixClipRectangle) pixClipRectangle = nullptr;
    decltype(&::pixDestroy) pixDestroy = nullptr;
};
TWarpTable GWarp;

template <typename TFn> void Bind(QLibrary& lib, const char* name, TFn& slot) {
    slot = reinterpret_cast<TFn>(lib.resolve(name));
}

// Releases a Leptonica object through the warp table on every path.
template <typename T, auto TWarpTable::*Destroy> class TOwned {
public:
    explicit TOwned(T* p) : FP(p) {}
    ~TOwned() {
        if (FP != nullptr) {
            (GWarp.*Destroy)(&FP);
        }
    }
    TOwned(const TOwned&) = delete;
    TOwned& operator=(const TOwned&) = delete;
    T* get() const { return FP; }

private:
    T* FP;
};

using TPtaOwned = TOwned<PTA, &TWarpTable::ptaDestroy>;
using TBoxOwned = TOwned<BOX, &TWarpTable::boxDestroy>;
using TPixOwned = TOwned<PIX, &TWarpTable::pixDestroy>;

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

bool InitLeptonicaWarp(QLibrary* library) {
    GWarp = TWarpTable{};
    if (library == nullptr) {
        return false;
    }
    Bind(*library, "ptaCreate", GWarp.ptaCreate);
    Bind(*library, "ptaAddPt", GWarp.ptaAddPt);
    Bind(*library, "ptaDestroy", GWarp.ptaDestroy);
    Bind(*library, "pixProjectivePtaGray", GWarp.pixProjectivePtaGray);
    Bind(*library, "boxCreate", GWarp.boxCreate);
    Bind(*library, "boxDestroy", GWarp.boxDestroy);
    Bind(*library, "pixClipRectangle", GWarp.pixClipRectangle);
    Bind(*library, "pixDestroy", GWarp.pixDestroy);
    return LeptonicaWarpAvailable();
}

bool LeptonicaWarpAvailable() {
    return GWarp.ptaCreate && GWarp.ptaAddPt && GWarp.ptaDestroy && GWarp.pixProjectivePtaGray &&
           GWarp.boxCreate && GWarp.boxDestroy && GWarp.pixClipRectangle && GWarp.pixDestroy;
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

Pix* WarpPixGray(Pix* pix, int w, int h, const TPageCorrection& corr) {
    if (pix == nullptr || !LeptonicaWarpAvailable()) {
        return nullptr;
    }
    const TCorners& c = corr.Corners;
    int outW = RoundEven(std::max(Dist(c[0], c[1]), Dist(c[3], c[2])));
    int outH = RoundEven(std::max(Dist(c[0], c[3]), Dist(c[1], c[2])));
    outW = std::clamp(outW, 1, std::max(w, 1));
    outH = std::clamp(outH, 1, std::max(h, 1));

    const TPtaOwned src(GWarp.ptaCreate(4));
    const TPtaOwned dst(GWarp.ptaCreate(4));
    if (src.get() == nullptr || dst.get() == nullptr) {
        return nullptr;
    }
    for (const TPointF& p : c) {
        GWarp.ptaAddPt(src.get(), p.X, p.Y);
    }
    const float r = static_cast<float>(outW - 1);
    const float b = static_cast<float>(outH - 1);
    GWarp.ptaAddPt(dst.get(), 0, 0);
    GWarp.ptaAddPt(dst.get(), r, 0);
    GWarp.ptaAddPt(dst.get(), r, b);
    GWarp.ptaAddPt(dst.get(), 0, b);

    const TPixOwned warped(GWarp.pixProjectivePtaGray(pix, dst.get(), src.get(), /*grayval=*/255));
    if (warped.get() == nullptr) {
        return nullptr;
    }
    const TBoxOwned box(GWarp.boxCreate(0, 0, outW, outH));
    if (box.get() == nullptr) {
        return nullptr;
    }
    return GWarp.pixClipRectangle(warped.get(), box.get(), /*pboxc=*/nullptr);
}

} // namespace bitonix
