// The editor's page bitmaps: decoding a page JPEG for display and turning it
// by quarter turns.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace bitonix {

// A decoded page as the editor shows it.
struct TPageBitmap {
    QImage Pixels; // opaque 32-bit pixels; may be smaller than Size for huge pages
    QSize Size;    // the page's size in image pixels, which Pixels is stretched onto
};

// Pages above this many pixels are decoded at a reduced scale for display.
inline constexpr qint64 KMaxShownPixels = 36'000'000;

// Decodes the image at `path` (format from its content, first frame, no EXIF
// turn) onto white. Returns a null Size when the file cannot be decoded.
// Notes: 1. A page above KMaxShownPixels is decoded at 1/2, 1/4 or 1/8 scale
//           (the JPEG decoder scales while decoding), so a 1200 dpi page
//           still shows instead of failing for memory.
TPageBitmap LoadPageBitmap(const QString& path);

// A white page of w x h image pixels (stored reduced above KMaxShownPixels);
// a 0 x 0 page when either is below 1.
TPageBitmap WhitePageBitmap(int w, int h);

// A new bitmap: `src` turned clockwise by `angle` degrees (90, 180, 270; any
// other angle gives an implicitly shared copy, which costs no pixel copying).
// 90 and 270 swap width and height; pixel (x, y) goes to (H-1-y, x) for 90,
// (W-1-x, H-1-y) for 180 and (y, W-1-x) for 270, as ImgToRot maps points.
// Destination rows are looked up once, in a table. A null image when memory
// runs out.
QImage RotateBmp(const QImage& src, int angle);

} // namespace bitonix
