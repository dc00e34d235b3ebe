// The projective warp of a page outline.
#include "imaging/ProjectiveWarp.h"

#include "support/Rounding.h"

#include <algorithm>

namespace bitonix {

TPixPtr WarpPixGray(const TLeptonica& lept, PIX* pix, int w, int h, const TCorners& corners) {
    if (pix == nullptr || !lept.WarpAvailable()) {
        return {};
    }
    const TLeptonica::TTable& L = lept.Fn();
    const TCorners& c = corners;
    int outW = RoundEven(std::max(Dist(c[0], c[1]), Dist(c[3], c[2])));
    int outH = RoundEven(std::max(Dist(c[0], c[3]), Dist(c[1], c[2])));
    outW = std::clamp(outW, 1, std::max(w, 1));
    outH = std::clamp(outH, 1, std::max(h, 1));

    const TLeptPtr<PTA> src(L.ptaCreate(4), L.ptaDestroy);
    const TLeptPtr<PTA> dst(L.ptaCreate(4), L.ptaDestroy);
    if (!src || !dst) {
        return {};
    }
    for (const TPointF& p : c) {
        L.ptaAddPt(src.get(), p.X, p.Y);
    }
    const float r = static_cast<float>(outW - 1);
    const float b = static_cast<float>(outH - 1);
    L.ptaAddPt(dst.get(), 0, 0);
    L.ptaAddPt(dst.get(), r, 0);
    L.ptaAddPt(dst.get(), r, b);
    L.ptaAddPt(dst.get(), 0, b);

    // The transform maps output points to source points, hence dst first.
    const TPixPtr warped(L.pixProjectivePtaGray(pix, dst.get(), src.get(), /*grayval=*/255),
                         L.pixDestroy);
    if (!warped) {
        return {};
    }
    const TLeptPtr<BOX> box(L.boxCreate(0, 0, outW, outH), L.boxDestroy);
    if (!box) {
        return {};
    }
    return TPixPtr(L.pixClipRectangle(warped.get(), box.get(), /*pboxc=*/nullptr), L.pixDestroy);
}

} // namespace bitonix
