// The small PDF-rendering interface the rasteriser uses, with the calling
// conventions of the well-known C rendering API, implemented over Poppler.
//
// Notes:
// 1. A password-locked document is refused by FPDF_LoadMemDocument before
//    anything else is asked of it.
// 2. Page sizes are those of the crop box, with width and height swapped for
//    pages turned by 90 or 270 degrees; rendering applies the page's own
//    rotation and draws annotations, antialiased.
// 3. A bitmap only remembers its fill colour; rendering produces its pixels
//    in one pass, so no blank page is painted just to be painted over.
#pragma once

namespace bitonix {

struct TFpdfDocument;
struct TFpdfPage;
struct TFpdfBitmap;
using FPDF_DOCUMENT = TFpdfDocument*;
using FPDF_PAGE = TFpdfPage*;
using FPDF_BITMAP = TFpdfBitmap*;

// Render flag: draw annotations.
constexpr int FPDF_ANNOT = 0x01;

void FPDF_InitLibrary();
// `data` must stay alive until the document is closed. Null when the bytes
// are no PDF, are damaged, or need a password that was not given.
FPDF_DOCUMENT FPDF_LoadMemDocument(const void* data, int size, const char* password);
void FPDF_CloseDocument(FPDF_DOCUMENT document);
int FPDF_GetPageCount(FPDF_DOCUMENT document);
FPDF_PAGE FPDF_LoadPage(FPDF_DOCUMENT document, int pageIndex);
void FPDF_ClosePage(FPDF_PAGE page);
// Width and height in points; returns 0 when the page does not exist.
int FPDF_GetPageSizeByIndex(FPDF_DOCUMENT document, int pageIndex, double* width, double* height);

// A 4-byte-per-pixel bitmap: blue, green, red, unused (alpha 0) or alpha.
FPDF_BITMAP FPDFBitmap_Create(int width, int height, int alpha);
void FPDFBitmap_FillRect(FPDF_BITMAP bitmap, int left, int top, int width, int height,
                         unsigned long color);
// Renders the page scaled to width x height pixels at (startX, startY).
// Only the whole-bitmap case with rotate 0 is supported.
void FPDF_RenderPageBitmap(FPDF_BITMAP bitmap, FPDF_PAGE page, int startX, int startY, int width,
                           int height, int rotate, int flags);
// First byte of the top row.
void* FPDFBitmap_GetBuffer(FPDF_BITMAP bitmap);
int FPDFBitmap_GetStride(FPDF_BITMAP bitmap);
void FPDFBitmap_Destroy(FPDF_BITMAP bitmap);

} // namespace bitonix
