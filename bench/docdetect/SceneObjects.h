// Things put into an evaluation photo: sheets seen in perspective with their
// shadow, and objects on the desk or across a page edge (pen, thumb, phone,
// mug, sticky note).
#pragma once

#include "PagePlacement.h"
#include "Random.h"

#include <opencv2/core.hpp>

namespace bitonix {

// Pastes `page` (BGR) so that its outer outline lands on `quad`, blending the
// anti-aliased border into `frame`. With `bend` (a share of the page's
// height, either sign) the sheet bows so that its top and bottom edges are
// arcs of that depth; the corners stay on `quad`.
void PastePage(cv::Mat& frame, const cv::Mat& page, const TQuad& quad, double bend);

// Darkens the desk under and beside a sheet lying on it: `strength` 0..1,
// `softness` and `offset` in pixels.
void DropShadow(cv::Mat& frame, const TQuad& quad, double strength, double softness,
                cv::Point2f offset);

// A pen lying across side `side` of `quad`.
void PenAcross(cv::Mat& frame, TRandom& rnd, const TQuad& quad, int side);

// A thumb holding side `side` of `quad`, coming from outside the sheet.
void ThumbOn(cv::Mat& frame, TRandom& rnd, const TQuad& quad, int side);

// A dark object on the desk (phone, mug or pen) centred at `at`; never
// paper-like.
void DeskObject(cv::Mat& frame, TRandom& rnd, cv::Point2f at);

// A small yellow sticky note centred at `at`.
void StickyNote(cv::Mat& frame, TRandom& rnd, cv::Point2f at);

} // namespace bitonix
