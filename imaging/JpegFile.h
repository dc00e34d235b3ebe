// Encoding page bitmaps as JPEG files (libjpeg-turbo).
#pragma once

#include <QString>

namespace bitonix {

// Byte order of one pixel in the buffer handed to WriteJpegFile.
enum class TPixelOrder { poBGRX, poRGBX, poRGB, poGray };

// Encodes `pixels` (w x h, rows `stride` bytes apart, top row first) as a
// colour JPEG of the given quality (1..100) with the encoder's default 4:2:0
// chroma subsampling, and writes it to `path`, replacing a file of that name.
// Throws TError when encoding or writing fails; a failed write leaves no file.
void WriteJpegFile(const QString& path, const unsigned char* pixels, int w, int h, int stride,
                   TPixelOrder order, int quality);

} // namespace bitonix
