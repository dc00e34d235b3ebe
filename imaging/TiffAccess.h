// TIFF access through libtiff: opening files and in-memory streams, decoding
// a page into a bitmap, and splitting a multi-page TIFF into page JPEGs.
//
// Operations: TIFFOpenFile, TIFFOpenStream (with the seven stream adapters),
// ReadTiffIntoBitmap, ExtractTiffPagesToJpeg.
#pragma once

#include "imaging/ExtractFeedback.h"
#include "imaging/MemoryStream.h"

#include <tiffio.h>

#include <QImage>
#include <QString>
#include <QStringList>
#include <memory>

namespace bitonix {

struct TTiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
// Owns an open TIFF handle.
using TTiffHandle = std::unique_ptr<TIFF, TTiffCloser>;

// Opens a TIFF file by its Unicode name (passed to the library as UTF-8).
// Null when it cannot be opened.
TTiffHandle TIFFOpenFile(const QString& fileName, const char* mode);

// Opens a TIFF held in `stream`, which must be positioned at its first byte.
// The handle reads and seeks through the stream, never maps it, and never
// owns it: the stream must outlive the handle. Null on failure.
TTiffHandle TIFFOpenStream(TMemoryStream& stream, const char* mode);

// The stream adapters handed to the library (the client handle is the
// TMemoryStream). Errors become the library's own terms: 0 bytes, -1, size 0.
tmsize_t TIFFStreamReadProc(thandle_t handle, void* buffer, tmsize_t count);
tmsize_t TIFFStreamWriteProc(thandle_t handle, void* buffer, tmsize_t count);
// whence 0, 1, 2: from the start, the position, the end; anything else: the start.
toff_t TIFFStreamSeekProc(thandle_t handle, toff_t offset, int whence);
int TIFFStreamCloseProc(thandle_t handle);
toff_t TIFFStreamSizeProc(thandle_t handle);
int TIFFNoMapProc(thandle_t handle, void** base, toff_t* size);
void TIFFNoUnmapProc(thandle_t handle, void* base, toff_t size);

// Decodes page `directoryIndex` (0 = first) of a TIFF file into a colour
// bitmap (RGBA, top row first); colours are kept as stored. Throws TError:
// "Unable to open file '<name>'", "Unable to select TIFF page",
// "Unable to create TBitmap buffer". Decoding errors part-way are not
// errors: what could not be decoded stays transparent black.
QImage ReadTiffIntoBitmap(const QString& fileName, unsigned directoryIndex);

// Writes every page of a TIFF file as a colour JPEG (quality 100) named
// 00001.jpg, 00002.jpg ... in `outputDir` (created when missing), with
// `thumbnails` each with its thumbnail file (WritePageThumbnail), and puts
// their full names into `pages`, in page order. Stops quietly before a page
// when feedback.Cancelled(). Returns the number of pages written. Throws
// TError "Unable to open file '<name>'" and "TIFF file has no pages: <name>"
// (no folder is created then), and the errors of ReadTiffIntoBitmap.
int ExtractTiffPagesToJpeg(const QString& fileName, const QString& outputDir, QStringList& pages,
                           TExtractFeedback& feedback, bool thumbnails);

} // namespace bitonix
