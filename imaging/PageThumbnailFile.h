// Thumbnails made while a page is being prepared, so the corner editor need
// not decode every page JPEG again when it opens.
//
// A page JPEG "<folder>/<name>.jpg" may have a small PNG beside it,
// "<folder>/<name>.thumb.png", holding the page scaled to ThumbnailSize. It is
// written from the pixels that were just encoded into the JPEG (a smooth
// scale of pixels already in memory costs a few milliseconds; decoding a
// 12-megapixel JPEG again, even at 1/8 scale, costs tens of milliseconds).
//
// Operations: ThumbnailSize, ThumbnailFileFor, WritePageThumbnail,
// ReadPageThumbnail.
#pragma once

#include "imaging/JpegFile.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace bitonix {

// The box a thumbnail fits into.
inline constexpr int KThumbW = 104;
inline constexpr int KThumbH = 128;

// Size of the thumbnail of a w x h page: scaled to fit 104 x 128, never
// enlarged, each side rounded half to even and at least 1. Both sides must be
// positive.
QSize ThumbnailSize(int w, int h);

// The thumbnail file that belongs to page JPEG `pageJpg`: a trailing ".jpg"
// (any case) replaced by ".thumb.png", otherwise ".thumb.png" appended.
QString ThumbnailFileFor(const QString& pageJpg);

// Writes the thumbnail of the page whose pixels are given (as for
// WriteJpegFile) beside `pageJpg`: opaque, ThumbnailSize, smoothly scaled.
// The file appears complete or not at all. Returns false when it could not
// be made; the caller carries on, since the editor then decodes the JPEG.
// Never throws.
bool WritePageThumbnail(const QString& pageJpg, const unsigned char* pixels, int w, int h,
                        int stride, TPixelOrder order) noexcept;

// The thumbnail written for `pageJpg`, provided it exists, decodes and has
// ThumbnailSize(pageSize); otherwise a null image (so a thumbnail that does
// not belong to the page as it is now is never shown).
QImage ReadPageThumbnail(const QString& pageJpg, QSize pageSize);

} // namespace bitonix
