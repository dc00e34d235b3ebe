// Loading Leptonica by file name and binding its functions by name.
#include "imaging/Leptonica.h"

#include <QDir>
#include <QFileInfo>

namespace bitonix {

namespace {

template <typename TFn> void Bind(QLibrary& lib, const char* name, TFn& slot) {
    slot = reinterpret_cast<TFn>(lib.resolve(name));
}

} // namespace

QStringList TLeptonica::LibraryNames() {
    return {QStringLiteral("libleptonica.so.6"), QStringLiteral("liblept.so.5")};
}

TLeptonica::TLeptonica(const QString& programDir, bool searchSystem) {
    QStringList candidates;
    for (const QString& name : LibraryNames()) {
        candidates << QDir(programDir).filePath(name);
    }
    if (searchSystem) {
        candidates << LibraryNames();
    }
    for (const QString& candidate : candidates) {
        // A bare name goes through the system's search path; a path is taken
        // as it is, so a copy beside the program wins.
        if (candidate.contains(QLatin1Char('/')) && !QFileInfo::exists(candidate)) {
            continue;
        }
        auto lib = std::make_unique<QLibrary>(candidate);
        lib->setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (lib->load()) {
            FLibrary = std::move(lib);
            break;
        }
    }
    if (!FLibrary) {
        return;
    }
    QLibrary& lib = *FLibrary;
    Bind(lib, "pixRead", FTable.pixRead);
    Bind(lib, "pixWrite", FTable.pixWrite);
    Bind(lib, "pixConvertRGBToGray", FTable.pixConvertRGBToGray);
    Bind(lib, "pixSauvolaBinarizeTiled", FTable.pixSauvolaBinarizeTiled);
    Bind(lib, "pixRotate90", FTable.pixRotate90);
    Bind(lib, "pixRotate180", FTable.pixRotate180);
    Bind(lib, "pixDestroy", FTable.pixDestroy);
    Bind(lib, "pixGetDimensions", FTable.pixGetDimensions);
    Bind(lib, "pixAddBorderGeneral", FTable.pixAddBorderGeneral);
    Bind(lib, "pixRemoveBorderGeneral", FTable.pixRemoveBorderGeneral);
    Bind(lib, "pixCreate", FTable.pixCreate);
    Bind(lib, "pixGetData", FTable.pixGetData);
    Bind(lib, "pixGetWpl", FTable.pixGetWpl);
    Bind(lib, "pixTilingCreate", FTable.pixTilingCreate);
    Bind(lib, "pixTilingNoStripOnPaint", FTable.pixTilingNoStripOnPaint);
    Bind(lib, "pixTilingGetTile", FTable.pixTilingGetTile);
    Bind(lib, "pixTilingPaintTile", FTable.pixTilingPaintTile);
    Bind(lib, "pixTilingDestroy", FTable.pixTilingDestroy);
    Bind(lib, "pixSauvolaBinarize", FTable.pixSauvolaBinarize);
    Bind(lib, "pixWriteMemTiff", FTable.pixWriteMemTiff);
    Bind(lib, "lept_free", FTable.lept_free);
    Bind(lib, "pixScaleToGray", FTable.pixScaleToGray);
    Bind(lib, "ptaCreate", FTable.ptaCreate);
    Bind(lib, "ptaAddPt", FTable.ptaAddPt);
    Bind(lib, "ptaDestroy", FTable.ptaDestroy);
    Bind(lib, "pixProjectivePtaGray", FTable.pixProjectivePtaGray);
    Bind(lib, "boxCreate", FTable.boxCreate);
    Bind(lib, "boxDestroy", FTable.boxDestroy);
    Bind(lib, "pixClipRectangle", FTable.pixClipRectangle);
    // The library reports errors and warnings on standard error; its
    // informational notes are not for our users.
    if (const auto setSeverity =
            reinterpret_cast<decltype(&::setMsgSeverity)>(lib.resolve("setMsgSeverity"))) {
        setSeverity(L_SEVERITY_WARNING);
    }
    const TTable& t = FTable;
    FLoaded = t.pixRead && t.pixWrite && t.pixConvertRGBToGray && t.pixSauvolaBinarizeTiled &&
              t.pixRotate90 && t.pixRotate180 && t.pixDestroy && t.pixGetDimensions &&
              t.pixAddBorderGeneral && t.pixRemoveBorderGeneral && t.pixCreate && t.pixGetData &&
              t.pixGetWpl && t.pixTilingCreate && t.pixTilingNoStripOnPaint && t.pixTilingGetTile &&
              t.pixTilingPaintTile && t.pixTilingDestroy && t.pixSauvolaBinarize &&
              t.pixWriteMemTiff && t.lept_free && t.pixScaleToGray;
    FWarpAvailable = FLoaded && t.ptaCreate && t.ptaAddPt && t.ptaDestroy &&
                     t.pixProjectivePtaGray && t.boxCreate && t.boxDestroy && t.pixClipRectangle;
}

TLeptonica::~TLeptonica() {
    if (FLibrary) {
        FLibrary->unload();
    }
}

} // namespace bitonix
