// The corner roles the program expects: top-left, top-right, bottom-right,
// bottom-left of the page as it lies in the image.
#pragma once

#include "Geometry.h"

namespace bitonix {

// The same four corners running clockwise on screen (x right, y down),
// starting at the corner nearest the image's top-left along the diagonal
// (least x + y; the first such corner on a tie). For a rectangle this makes
// the side that points most nearly to the right the top side, so a page
// turned by less than 45 degrees keeps its own roles and a page lying
// sideways gets the roles of the image; never mirrored.
TCorners ImageOrder(const TCorners& corners);

} // namespace bitonix
