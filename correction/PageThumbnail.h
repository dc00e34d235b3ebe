// Page thumbnails of the editor's strip and the strip's item geometry.
//
// Operations: ThumbnailSize, CreatePageThumbnail, CreatePageThumbnails,
// ThumbnailItemRect, ThumbnailIndexAt, ThumbnailStripHeight.
#pragma once

#include "correction/PageCorrection.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace bitonix {

// The box a thumbnail fits into, and the strip's item pitch and height.
inline constexpr int KThumbW = 104;
inline constexpr int KThumbH = 128;
inline constexpr int KThumbPitch = 172;
inline constexpr int KThumbItemH = 164;
inline constexpr int KThumbMargin = 8;

// Size of the thumbnail of a w x h page: scaled to fit 104 x 128, never
// enlarged, each side rounded half to even and at least 1.
QSize ThumbnailSize(int w, int h);

// The thumbnail of the page image at `path`: opaque 32-bit pixels of
// ThumbnailSize, the page drawn stretched onto white. The JPEG decoder scales
// while decoding, so a large photo costs a fraction of a full decode. An
// unreadable file gives a placeholder of the size that wHint x hHint implies
// (104 x 128 when either is below 1): white with a silver border and a silver
// cross along both diagonals. Never fails.
QImage CreatePageThumbnail(const QString& path, int wHint, int hHint);

// CreatePageThumbnail of every page (PageJpgFile, ImgW, ImgH), in list order.
// Notes: 1. Decoding is spread over the processor's cores and all of it is
//           finished when this returns; the workers share nothing but the
//           read-only list and write only their own result slots. Even at
//           1/8 scale a 12-megapixel JPEG costs tens of milliseconds, so a
//           batch of 50 photos would otherwise keep the editor from opening
//           for seconds.
//        2. A page whose thumbnail cannot be made even as a placeholder (no
//           memory) gets a null image.
std::vector<QImage> CreatePageThumbnails(const TPageCorrectionList& pages);

// Item i of a strip `width` pixels wide: from (8, 172i + 8) to
// (width - 8, 172i + 172), right and bottom exclusive.
QRect ThumbnailItemRect(int i, int width);

// The item under strip coordinate y among n items, or -1 above the first, in
// the 8-pixel gaps and below the last.
int ThumbnailIndexAt(int y, int n);

// Height of a strip of n items (172n + 8), at least `minHeight`.
int ThumbnailStripHeight(int n, int minHeight);

} // namespace bitonix
