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
    Bind(lib, "pixReadJpeg", FTable.pixReadJpeg);
    Bind(lib, "pixAddBorderGeneral", FTable.pixAddBorderGeneral);
    Bind(lib, "pixRemoveBorderGeneral", FTable.pixRemoveBorderGeneral);
    // The library reports errors and warnings on standard error; its
    // informational notes are not for our users.
    if (const auto setSeverity =
            reinterpret_cast<decltype(&::setMsgSeverity)>(lib.resolve("setMsgSeverity"))) {
        setSeverity(L_SEVERITY_WARNING);
    }
    FLoaded = FTable.pixRead && FTable.pixWrite && FTable.pixConvertRGBToGray &&
              FTable.pixSauvolaBinarizeTiled && FTable.pixRotate90 && FTable.pixRotate180 &&
              FTable.pixDestroy && FTable.pixGetDimensions && FTable.pixAddBorderGeneral &&
              FTable.pixRemoveBorderGeneral;
}

TLeptonica::~TLeptonica() {
    if (FLibrary) {
        FLibrary->unload();
    }
}

} // namespace bitonix
