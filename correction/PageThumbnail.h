// Page thumbnails of the editor's strip and the strip's item geometry.
//
// Operations: ThumbnailSize, CreatePageThumbnail, CreatePageThumbnails,
// ThumbnailItemRect, ThumbnailIndexAt, ThumbnailStripHeight.
#pragma once

#include "correction/PageCorrection.h"
#include "imaging/PageThumbnailFile.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace bitonix {

// The strip's item pitch and height (the thumbnail box is KThumbW x KThumbH).
inline constexpr int KThumbPitch = 172;
inline constexpr int KThumbItemH = 164;
inline constexpr int KThumbMargin = 8;

// The thumbnail of the page image at `path`: opaque 32-bit pixels of
// ThumbnailSize, the page drawn stretched onto white. The thumbnail file made
// when the page was prepared is used when it matches the image; otherwise the
// image is decoded, the JPEG decoder scaling while it decodes. An unreadable
// file gives a placeholder of the size that wHint x hHint implies (104 x 128
// when either is below 1): white with a silver border and a silver cross
// along both diagonals. Never fails.
//  1. `scale` is the device pixel ratio of the screen it is shown on: with a
//     ratio above 1 the image holds that many times the pixels (rounded) and
//     carries the ratio, so that it shows sharp at ThumbnailSize logical
//     pixels. The prepared thumbnail file, made at ratio 1, is then not used.
QImage CreatePageThumbnail(const QString& path, int wHint, int hHint, qreal scale = 1);

// CreatePageThumbnail of every page (PageJpgFile, ImgW, ImgH), in list order.
// A page whose thumbnail cannot be made even as a placeholder (no memory)
// gets a null image.
std::vector<QImage> CreatePageThumbnails(const TPageCorrectionList& pages, qreal scale = 1);

// The size a thumbnail is shown at, in logical pixels (its pixel size over its
// device pixel ratio, rounded).
QSize ThumbnailShownSize(const QImage& thumb);

// Item i of a strip `width` pixels wide: from (8, 172i + 8) to
// (width - 8, 172i + 172), right and bottom exclusive.
QRect ThumbnailItemRect(int i, int width);

// The item under strip coordinate y among n items, or -1 above the first, in
// the 8-pixel gaps and below the last.
int ThumbnailIndexAt(int y, int n);

// Height of a strip of n items (172n + 8), at least `minHeight`.
int ThumbnailStripHeight(int n, int minHeight);

} // namespace bitonix
