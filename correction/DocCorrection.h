// Page corners outside the editor: the full-page convention, the optional
// corner detector plugin, the decision whether to straighten, and the
// projective warp done with Leptonica functions bound at run time.
//
// Operations: LoadDocDetect, UnloadDocDetect, DocDetectAvailable,
// DetectCornersForPage, InitLeptonicaWarp, LeptonicaWarpAvailable,
// SetFullPageCorners, CorrectionChangesGeometry, WarpPixGray.
#pragma once

#include "correction/PageCorrection.h"

#include <QString>

class QLibrary;
struct Pix;

namespace bitonix {

// File name of the detector plugin looked up in the program folder.
QString DocDetectLibraryName();

// Loads the detector plugin from `folder` (which ends in a path separator)
// unless one is loaded already, and binds its export
// "DetectDocumentCornersFile". Returns DocDetectAvailable(). A missing plugin
// or export is not an error.
bool LoadDocDetect(const QString& folder);
// Forgets the entry point and releases the plugin.
void UnloadDocDetect();
// The detector's entry point is bound.
bool DocDetectAvailable();

// Binds the eight warp functions from the image library that a run has just
// loaded (`library` may be null when loading failed). Returns
// LeptonicaWarpAvailable(). The table stays valid while that library stays
// loaded; passing null makes the warp unavailable.
bool InitLeptonicaWarp(QLibrary* library);
// All eight warp functions are bound.
bool LeptonicaWarpAvailable();

// Writes the full-page corners (0,0), (ImgW-1,0), (ImgW-1,ImgH-1), (0,ImgH-1).
// Nothing else of the record changes.
void SetFullPageCorners(TPageCorrection& corr);

// Asks the detector for the corners of corr.PageJpgFile. On success (result
// exactly 1, every coordinate a finite number) stores them bit for bit, sets
// AutoDetected and returns true; otherwise leaves the record untouched and
// returns false.
bool DetectCornersForPage(TPageCorrection& corr);

// True when any corner coordinate differs from the full page by more than
// 1.5 pixels (each coordinate compared on its own; the rotation is ignored).
bool CorrectionChangesGeometry(const TPageCorrection& corr);

// Maps the outlined quadrilateral of the 8-bit grey image `pix` (w x h
// pixels) onto an upright rectangle and returns that new image, or null when
// the warp is unavailable or fails. Output size: the longer of each pair of
// opposite edges, rounded half to even, at least 1 and at most w x h (a
// larger outline is scaled down into the source size, not cut). Pixels
// outside the source come out white. `pix` is never released here; the
// caller owns both images.
Pix* WarpPixGray(Pix* pix, int w, int h, const TPageCorrection& corr);

} // namespace bitonix
