// Page corners outside the editor: the full-page convention, the optional
// corner detector plugin and the decision whether to straighten (the warp
// itself is imaging/ProjectiveWarp.h).
//
// Operations: LoadDocDetect, UnloadDocDetect, DocDetectAvailable,
// DetectCornersForPage, SetFullPageCorners, CorrectionChangesGeometry.
#pragma once

#include "correction/PageCorrection.h"

#include <QString>


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

} // namespace bitonix
