// Finds the outline of a document page in an image file: the detector
// behind the plugin's C export.
#pragma once

#include "Geometry.h"

#include <optional>

namespace bitonix {

// The page's four corners in pixels of the image as stored (x right, y
// down), in the roles of CornerOrder.h; corners of a page that runs out of
// the photo may lie outside the image. Empty when the file cannot be used
// (see LoadWorkImage) or no credible page outline is found, which includes
// a page that already fills the frame (a flat scan, a rendered PDF page).
//
// Steps: a working copy 800 to 1600 pixels long is decoded; a coarse copy
// of half that size with print closed away gives candidate edge lines
// (LineFinder.h); quadrilaterals of them are ranked (QuadSearch.h) and the
// first credible one (OutlineChecks.h) is taken; its sides are refined on
// the working copy (CornerRefiner.h) and the corners mapped to the stored
// image. Keeps no state between calls.
std::optional<TCorners> DetectDocument(const char* utf8Path);

} // namespace bitonix
