// The binarisation engine.
#include "imaging/BinarisationEngine.h"

#include "imaging/PageGrey.h"
#include "imaging/ProjectiveWarp.h"

#include <algorithm>
#include <atomic>
#include <numeric>
#include <thread>

namespace bitonix {

namespace {

constexpr long long KMaxTilePixels = 16LL * 1000 * 1000;

// Largest tile of an n-way split: the last tile takes the remainder.
int LargestTile(int size, int n) {
    return size - (n - 1) * (size / n);
}

// An 8-bit grey image as a QImage.
QImage GreyImage(const TLeptonica::TTable& L, PIX* grey) {
    int w = 0;
    int h = 0;
    int d = 0;
    L.pixGetDimensions(grey, &w, &h, &d);
    QImage image(w, h, QImage::Format_Grayscale8);
    if (image.isNull()) {
        return {};
    }
    const l_uint32* data = L.pixGetData(grey);
    const int wpl = L.pixGetWpl(grey);
    for (int y = 0; y < h; ++y) {
        const l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
        uchar* out = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            // One bit: 1 is black. Eight bits: the grey value itself.
            out[x] = d == 1 ? (GET_DATA_BIT(line, x) != 0 ? 0 : 255)
                            : static_cast<uchar>(GET_DATA_BYTE(line, x));
        }
    }
    return image;
}

// The one-bit page as grey for the preview, its longer side at most `side`:
// reduced by the library (each grey pixel the share of white in its area),
// or as it is when it is that small already.
QImage PreviewOf(const TLeptonica::TTable& L, PIX* bw, int side) {
    int w = 0;
    int h = 0;
    L.pixGetDimensions(bw, &w, &h, nullptr);
    const int longer = std::max(w, h);
    if (longer <= side) {
        return GreyImage(L, bw);
    }
    // The library reduces by factors down to 1/16 at the most.
    const float factor = std::max(static_cast<float>(side) / static_cast<float>(longer), 1.0F / 16);
    const TPixPtr grey(L.pixScaleToGray(bw, factor), L.pixDestroy);
    return grey ? GreyImage(L, grey.get()) : QImage();
}

std::vector<std::uint8_t> G4Tiff(const TLeptonica::TTable& L, PIX* bw) {
    l_uint8* data = nullptr;
    size_t size = 0;
    if (L.pixWriteMemTiff(&data, &size, bw, IFF_TIFF_G4) != 0 || data == nullptr) {
        L.lept_free(data);
        return {};
    }
    std::vector<std::uint8_t> bytes(data, data + size);
    L.lept_free(data);
    return bytes;
}

} // namespace

TSauvolaTiles SauvolaTiles(int w, int h, int whsize, int threads) {
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
    if (threads > 1) {
        // More rows of tiles, until every thread gets the same number.
        const int step = threads / std::gcd(best.nx, threads);
        const int ny = (best.ny + step - 1) / step * step;
        if (ny <= maxNy) {
            best.ny = ny;
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

TPixPtr SauvolaBinarizeParallel(const TLeptonica& lept, PIX* grey, int whsize, float factor,
                                TSauvolaTiles tiles, int threads) {
    const TLeptonica::TTable& L = lept.Fn();
    if (tiles.nx * tiles.ny <= 1) {
        PIX* bw = nullptr;
        L.pixSauvolaBinarize(grey, whsize, factor, /*addborder=*/1, /*ppixm=*/nullptr,
                             /*ppixsd=*/nullptr, /*ppixth=*/nullptr, &bw);
        return TPixPtr(bw, L.pixDestroy);
    }
    // The library's tiled call, with its tiles thresholded side by side:
    // each tile carries whsize + 1 pixels of its neighbours (mirrored at the
    // page's edges), and the threshold strips them again.
    int w = 0;
    int h = 0;
    L.pixGetDimensions(grey, &w, &h, nullptr);
    const TLeptPtr<PIXTILING> tiling(
        L.pixTilingCreate(grey, tiles.nx, tiles.ny, /*w=*/0, /*h=*/0, whsize + 1, whsize + 1),
        L.pixTilingDestroy);
    TPixPtr bw(L.pixCreate(w, h, 1), L.pixDestroy);
    if (!tiling || !bw) {
        return {};
    }
    L.pixTilingNoStripOnPaint(tiling.get());
    const int count = tiles.nx * tiles.ny;
    std::vector<TPixPtr> done(static_cast<std::size_t>(count));
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int k = next++; k < count; k = next++) {
            const TPixPtr tile(L.pixTilingGetTile(tiling.get(), k / tiles.nx, k % tiles.nx),
                               L.pixDestroy);
            PIX* out = nullptr;
            if (tile) {
                L.pixSauvolaBinarize(tile.get(), whsize, factor, /*addborder=*/0, nullptr, nullptr,
                                     nullptr, &out);
            }
            done[static_cast<std::size_t>(k)] = TPixPtr(out, L.pixDestroy);
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < std::min(threads, count); ++t) {
            helpers.emplace_back(work);
        }
        work();
    }
    // Painting touches words shared by neighbouring tiles: one thread.
    for (int k = 0; k < count; ++k) {
        const TPixPtr& tile = done[static_cast<std::size_t>(k)];
        if (!tile) {
            return {};
        }
        L.pixTilingPaintTile(bw.get(), k / tiles.nx, k % tiles.nx, tile.get(), tiling.get());
    }
    return bw;
}

TBinarisedPage leptbin(const TLeptonica& lept, const TBinariseJob& job) {
    TBinarisedPage result;
    if (!lept.Loaded()) {
        return result;
    }
    const TLeptonica::TTable& L = lept.Fn();
    TPixPtr gray = ReadPageGrey(lept, job.PageJpg);
    if (!gray) {
        return result;
    }
    if (job.Warp) {
        int gw = 0;
        int gh = 0;
        L.pixGetDimensions(gray.get(), &gw, &gh, /*pd=*/nullptr);
        TPixPtr warped = WarpPixGray(lept, gray.get(), gw, gh, *job.Warp);
        if (warped) {
            gray = std::move(warped);
        }
    }

    const int whsize = job.WHSize;
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
            return result;
        }
        w += 2 * pad;
        h += 2 * pad;
    }
    const int threads = std::max(1, job.Threads);
    TPixPtr bw = SauvolaBinarizeParallel(lept, gray.get(), whsize, job.Factor,
                                         SauvolaTiles(w, h, whsize, threads), threads);
    gray.reset();
    if (bw && pad > 0) {
        bw = TPixPtr(L.pixRemoveBorderGeneral(bw.get(), pad, pad, pad, pad), L.pixDestroy);
    }
    if (!bw) {
        return result;
    }

    TPixPtr rotated;
    switch (job.Rotation) {
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
    PIX* const page = rotated ? rotated.get() : bw.get();
    result.Tiff = G4Tiff(L, page);
    if (job.PreviewSide > 0 && !result.Tiff.empty()) {
        result.Preview = PreviewOf(L, page, job.PreviewSide);
    }
    return result;
}

} // namespace bitonix
