// Run-time binding of the Leptonica image library: the library is loaded at
// the start of every run, its functions are looked up by name, and it is
// released when the run ends.
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
        // Optional: decoding only the luminance of a JPEG page. When missing,
        // pages are read in colour and converted to grey.
        decltype(&::pixReadJpeg) pixReadJpeg = nullptr;
        // Padding for pages smaller than the threshold window.
        decltype(&::pixAddBorderGeneral) pixAddBorderGeneral = nullptr;
        decltype(&::pixRemoveBorderGeneral) pixRemoveBorderGeneral = nullptr;
    };

    // Loads the library: the program folder first, then the system's copy.
    // programDir: folder of the executable; searchSystem: false only in tests
    // that need a missing library. Never throws; check Loaded().
    TLeptonica(const QString& programDir, bool searchSystem = true);
    ~TLeptonica();
    TLeptonica(const TLeptonica&) = delete;
    TLeptonica& operator=(const TLeptonica&) = delete;

    // True when the library was loaded and all entry points were found.
    bool Loaded() const { return FLoaded; }
    // The loaded library, for binding further functions (the warp); null
    // when nothing was loaded.
    QLibrary* Library() const { return FLibrary.get(); }
    const TTable& Fn() const { return FTable; }

    // File names the library goes by on this platform, newest first.
    static QStringList LibraryNames();

private:
    std::unique_ptr<QLibrary> FLibrary;
    TTable FTable;
    bool FLoaded = false;
};

// Owns one Leptonica image and releases it through the bound pixDestroy.
class TPixPtr {
public:
    TPixPtr() = default;
    TPixPtr(PIX* pix, decltype(&::pixDestroy) destroy) : FPix(pix), FDestroy(destroy) {}
    ~TPixPtr() { reset(); }
    TPixPtr(TPixPtr&& other) noexcept : FPix(other.release()), FDestroy(other.FDestroy) {}
    TPixPtr& operator=(TPixPtr&& other) noexcept {
        if (this != &other) {
            reset();
            FDestroy = other.FDestroy;
            FPix = other.release();
        }
        return *this;
    }
    TPixPtr(const TPixPtr&) = delete;
    TPixPtr& operator=(const TPixPtr&) = delete;

    PIX* get() const { return FPix; }
    explicit operator bool() const { return FPix != nullptr; }
    PIX* release() {
        PIX* p = FPix;
        FPix = nullptr;
        return p;
    }
    void reset() {
        if (FPix != nullptr && FDestroy != nullptr) {
            FDestroy(&FPix);
        }
        FPix = nullptr;
    }

private:
    PIX* FPix = nullptr;
    decltype(&::pixDestroy) FDestroy = nullptr;
};

} // namespace bitonix
