// Draws the face of a printed page (text lines, headings, tables, a photo
// block, a signature) on paper of a given colour, as the evaluation scenes
// photograph or scan it.
#pragma once

#include "Random.h"

#include <opencv2/core.hpp>

namespace bitonix {

enum class TPageLayout {
    plLetter,  // logo, address block, paragraphs, signature
    plArticle, // heading, two columns of text, a photo block
    plForm,    // heading, tables and answer lines
    plReport,  // heading, paragraphs, a table, a photo block
};

struct TPageLook {
    TPageLayout Layout = TPageLayout::plReport;
    cv::Scalar Paper{245, 245, 245}; // BGR
    bool PrintedFrame = false;       // a thin rule around the text area
    bool ColourBand = false;         // a coloured band running off the top edge
};

// A random look for a page: layout, paper tint (off-white to slightly
// yellow or blue) and, when `allowBleed`, sometimes a band printed to the edge.
TPageLook RandomPageLook(TRandom& rnd, bool allowBleed);

// Renders a page of `size` pixels (any scale: text size follows the page
// height) as an 8-bit BGR image. The same `rnd` state gives the same page.
cv::Mat RenderPage(TRandom& rnd, cv::Size size, const TPageLook& look);

} // namespace bitonix
