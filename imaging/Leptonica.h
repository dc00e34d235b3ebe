// Run-time binding of the Leptonica image library: the library is loaded at
// the start of every run, its functions are looked up by name into one table
// that the binarisation engine and the projective warp share, and it is
// released when the run ends. Nothing of it lives outside the TLeptonica
// object, so worker threads use the table of the run that started them.
#pragma once

#include <leptonica/allheaders.h>

#include <QLibrary>
#include <QString>
#include <QStringList>
#include <memory>

namespace bitonix {

class TLeptonica {
public:
    // Entry points of the binarisation engine, looked up by name.
    struct TTable {
        decltype(&::pixRead) pixRead = nullptr;
        decltype(&::pixWrite) pixWrite = nullptr;
        decltype(&::pixConvertRGBToGray) pixConvertRGBToGray = nullptr;
        decltype(&::pixSauvolaBinarizeTiled) pixSauvolaBinarizeTiled = nullptr;
        decltype(&::pixRotate90) pixRotate90 = nullptr;
        decltype(&::pixRotate180) pixRotate180 = nullptr;
        decltype(&::pixDestroy) pixDestroy = nullptr;
        // Not one of the engine's seven: the image's size without touching
        // the image struct, which newer releases keep private.
        decltype(&::pixGetDimensions) pixGetDimensions = nullptr;
        // Padding for pages smaller than the threshold window.
        decltype(&::pixAddBorderGeneral) pixAddBorderGeneral = nullptr;
        decltype(&::pixRemoveBorderGeneral) pixRemoveBorderGeneral = nullptr;
        // The page's grey image is written row by row as the JPEG decodes.
        decltype(&::pixCreate) pixCreate = nullptr;
        decltype(&::pixGetData) pixGetData = nullptr;
        decltype(&::pixGetWpl) pixGetWpl = nullptr;
        // Sauvola's tiles, thresholded on several threads at once.
        decltype(&::pixTilingCreate) pixTilingCreate = nullptr;
        decltype(&::pixTilingNoStripOnPaint) pixTilingNoStripOnPaint = nullptr;
        decltype(&::pixTilingGetTile) pixTilingGetTile = nullptr;
        decltype(&::pixTilingPaintTile) pixTilingPaintTile = nullptr;
        decltype(&::pixTilingDestroy) pixTilingDestroy = nullptr;
        decltype(&::pixSauvolaBinarize) pixSauvolaBinarize = nullptr;
        // The G4 TIFF made in memory, and the reduced preview.
        decltype(&::pixWriteMemTiff) pixWriteMemTiff = nullptr;
        decltype(&::lept_free) lept_free = nullptr;
        decltype(&::pixScaleToGray) pixScaleToGray = nullptr;
        // The projective warp of a page outline.
        decltype(&::ptaCreate) ptaCreate = nullptr;
        decltype(&::ptaAddPt) ptaAddPt = nullptr;
        decltype(&::ptaDestroy) ptaDestroy = nullptr;
        decltype(&::pixProjectivePtaGray) pixProjectivePtaGray = nullptr;
        decltype(&::boxCreate) boxCreate = nullptr;
        decltype(&::boxDestroy) boxDestroy = nullptr;
        decltype(&::pixClipRectangle) pixClipRectangle = nullptr;
    };

    // Loads the library: the program folder first, then the system's copy.
    // programDir: folder of the executable; searchSystem: false only in tests
    // that need a missing library. Never throws; check Loaded().
    TLeptonica(const QString& programDir, bool searchSystem = true);
    ~TLeptonica();
    TLeptonica(const TLeptonica&) = delete;
    TLeptonica& operator=(const TLeptonica&) = delete;

    // True when the library was loaded and every entry point of the engine
    // was found.
    bool Loaded() const { return FLoaded; }
    // True when, besides, all seven warp functions were found.
    bool WarpAvailable() const { return FWarpAvailable; }
    // The loaded library; null when nothing was loaded.
    QLibrary* Library() const { return FLibrary.get(); }
    const TTable& Fn() const { return FTable; }

    // File names the library goes by on this platform, newest first.
    static QStringList LibraryNames();

private:
    std::unique_ptr<QLibrary> FLibrary;
    TTable FTable;
    bool FLoaded = false;
    bool FWarpAvailable = false;
};

// Owns one Leptonica object (an image, a point array, a box, a tiling) and
// releases it through the bound destroy function of its type.
template <typename T> class TLeptPtr {
public:
    using TDestroy = void (*)(T**);
    TLeptPtr() = default;
    TLeptPtr(T* p, TDestroy destroy) : FP(p), FDestroy(destroy) {}
    ~TLeptPtr() { reset(); }
    TLeptPtr(TLeptPtr&& other) noexcept : FP(other.release()), FDestroy(other.FDestroy) {}
    TLeptPtr& operator=(TLeptPtr&& other) noexcept {
        if (this != &other) {
            reset();
            FDestroy = other.FDestroy;
            FP = other.release();
        }
        return *this;
    }
    TLeptPtr(const TLeptPtr&) = delete;
    TLeptPtr& operator=(const TLeptPtr&) = delete;

    T* get() const { return FP; }
    explicit operator bool() const { return FP != nullptr; }
    T* release() {
        T* p = FP;
        FP = nullptr;
        return p;
    }
    void reset() {
        if (FP != nullptr && FDestroy != nullptr) {
            FDestroy(&FP);
        }
        FP = nullptr;
    }

private:
    T* FP = nullptr;
    TDestroy FDestroy = nullptr;
};

using TPixPtr = TLeptPtr<PIX>;

} // namespace bitonix
