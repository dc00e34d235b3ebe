// The binarisation engine.
#include "imaging/BinarisationEngine.h"

#include "correction/DocCorrection.h"

#include <QFile>
#include <algorithm>

namespace bitonix {

namespace {

constexpr long long KMaxTilePixels = 16LL * 1000 * 1000;

// Largest tile of an n-way split: the last tile takes the remainder.
int LargestTile(int size, int n) {
    return size - (n - 1) * (size / n);
}

} // namespace

TSauvolaTiles SauvolaTiles(int w, int h, int whsize) {
    const int overlap = 2 * (whsize + 1);
    const auto fits = [&](int nx, int ny) {
        const long long tw = LargestTile(w, nx) + overlap;
        const long long th = LargestTile(h, ny) + overlap;
        return tw * th < KMaxTilePixels;
    };
    // Tiles must stay at least whsize + 2 pixels wide and high.
    const int maxNx = std::max(1, w / (whsize + 2));
    const int maxNy = std::max(1, h / (whsize + 2));
    TSauvolaTiles best{maxNx, maxNy};
    for (int nx = 1; nx <= maxNx; ++nx) {
        for (int ny = 1; ny <= maxNy && nx * ny < best.nx * best.ny; ++ny) {
            if (fits(nx, ny)) {
                best = {nx, ny};
                break;
            }
        }
    }
    return best;
}

int PageRotationAngle(int obrot, const TPageCorrection& corr, TPerspMode mode) {
    if (mode == TPerspMode::pmSemi) {
        return corr.Rotation;
    }
    switch (obrot) {
    case 1:
        return 270;
    case 2:
        return 90;
    case 3:
        return 180;
    default:
        return 0;
    }
}

void leptbin(const TLeptonica& lept, const QString& infile, const QString& outfile, int whsize,
             float factor, int obrot, const TPageCorrection& corr, TPerspMode mode) {
    const TLeptonica::TTable& L = lept.Fn();
    if (!lept.Loaded()) {
        return;
    }
    const QByteArray name = QFile::encodeName(infile);
    // A page JPEG's luminance is its grey image: decoding only that skips the
    // colour planes and the conversion.
    TPixPtr gray;
    if (L.pixReadJpeg != nullptr) {
        gray = TPixPtr(L.pixReadJpeg(name.constData(), /*cmapflag=*/0, /*reduction=*/1,
                                     /*pnwarn=*/nullptr, L_JPEG_READ_LUMINANCE),
                       L.pixDestroy);
    }
    if (!gray) {
        const TPixPtr source(L.pixRead(name.constData()), L.pixDestroy);
        if (!source) {
            return;
        }
        gray = TPixPtr(L.pixConvertRGBToGray(source.get(), 0.0F, 0.0F, 0.0F), L.pixDestroy);
    }
    if (!gray) {
        return;
    }
    if ((mode == TPerspMode::pmAuto || mode == TPerspMode::pmSemi) &&
        CorrectionChangesGeometry(corr) && LeptonicaWarpAvailable()) {
        int gw = 0;
        int gh = 0;
        L.pixGetDimensions(gray.get(), &gw, &gh, /*pd=*/nullptr);
        TPixPtr warped(WarpPixGray(gray.get(), gw, gh, corr), L.pixDestroy);
        if (warped) {
            gray = std::move(warped);
        }
    }

    int w = 0;
    int h = 0;
    L.pixGetDimensions(gray.get(), &w, &h, /*pd=*/nullptr);
    // The threshold refuses pages smaller than its window: such a page gets a
    // white margin of whsize + 1 for the threshold, taken off again after.
    const int pad = std::min(w, h) < 2 * whsize + 3 ? whsize + 1 : 0;
    if (pad > 0) {
        gray = TPixPtr(L.pixAddBorderGeneral(gray.get(), pad, pad, pad, pad, /*val=*/255),
                       L.pixDestroy);
        if (!gray) {
            return;
        }
        w += 2 * pad;
        h += 2 * pad;
    }
    const TSauvolaTiles tiles = SauvolaTiles(w, h, whsize);
    PIX* binary = nullptr;
    L.pixSauvolaBinarizeTiled(gray.get(), whsize, factor, tiles.nx, tiles.ny, /*ppixth=*/nullptr,
                              &binary);
    TPixPtr bw(binary, L.pixDestroy);
    gray.reset();
    if (bw && pad > 0) {
        bw = TPixPtr(L.pixRemoveBorderGeneral(bw.get(), pad, pad, pad, pad), L.pixDestroy);
    }
    if (!bw) {
        return;
    }

    TPixPtr rotated;
    switch (PageRotationAngle(obrot, corr, mode)) {
    case 90:
        rotated = TPixPtr(L.pixRotate90(bw.get(), /*direction=*/1), L.pixDestroy);
        break;
    case 270:
        rotated = TPixPtr(L.pixRotate90(bw.get(), /*direction=*/-1), L.pixDestroy);
        break;
    case 180:
        rotated = TPixPtr(L.pixRotate180(/*pixd=*/nullptr, bw.get()), L.pixDestroy);
        break;
    default:
        break;
    }
    L.pixWrite(QFile::encodeName(outfile).constData(), rotated ? rotated.get() : bw.get(),
               IFF_TIFF_G4);
}

} // namespace bitonix
