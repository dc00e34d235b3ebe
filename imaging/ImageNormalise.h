// Single images to page JPEGs, and measuring image files.
#pragma once

#include <QString>

namespace bitonix {

// Decodes `source` (format from its content; first frame only; orientation
// metadata not applied), blends transparency over white and writes it to
// `target` as a colour JPEG of quality 100, creating target's folder; with
// `thumbnail`, also the page's thumbnail file (WritePageThumbnail). Throws
// TError when the image cannot be decoded or the JPEG cannot be written.
void NormalizeImageToJpeg(const QString& source, const QString& target, bool thumbnail);

// Pixel size of an image file, read from its header where that gives the
// size, else by decoding. True when both sides are positive. Never throws.
bool GetImgSize(const QString& fileName, int& w, int& h);

} // namespace bitonix
