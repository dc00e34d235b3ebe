// The rendering interface over Poppler's C++ library.
#include "imaging/Pdfium.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace bitonix {

struct TFpdfDocument {
    std::unique_ptr<poppler::document> Doc;
};

struct TFpdfPage {
    std::unique_ptr<poppler::page> Page;
};

struct TFpdfBitmap {
    int Width = 0;
    int Height = 0;
    unsigned long Fill = 0xFFFFFFFF;
    poppler::image Image; // invalid until rendered or first read
};

namespace {

void Silent(const std::string&, void*) {}

// Page size in points as the page is shown: crop box, turned with the page.
bool PageSize(const poppler::page& page, double& w, double& h) {
    const poppler::rectf box = page.page_rect(poppler::crop_box);
    w = box.width();
    h = box.height();
    const auto o = page.orientation();
    if (o == poppler::page::landscape || o == poppler::page::seascape) {
        std::swap(w, h);
    }
    return true;
}

void EnsurePixels(TFpdfBitmap& bmp) {
    if (bmp.Image.is_valid()) {
        return;
    }
    bmp.Image = poppler::image(bmp.Width, bmp.Height, poppler::image::format_argb32);
    const auto fill = static_cast<std::uint32_t>(bmp.Fill);
    char* data = bmp.Image.data();
    for (int y = 0; y < bmp.Height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * bmp.Image.bytes_per_row());
        std::fill(row, row + bmp.Width, fill);
    }
}

} // namespace

void FPDF_InitLibrary() {
    poppler::set_debug_error_function(&Silent, nullptr);
}

FPDF_DOCUMENT FPDF_LoadMemDocument(const void* data, int size, const char* password) {
    const std::string pw = password != nullptr ? password : "";
    std::unique_ptr<poppler::document> doc(
        poppler::document::load_from_raw_data(static_cast<const char*>(data), size, pw, pw));
    if (!doc || doc->is_locked()) {
        return nullptr;
    }
    // Owned by the caller until FPDF_CloseDocument.
    return std::make_unique<TFpdfDocument>(TFpdfDocument{std::move(doc)}).release();
}

void FPDF_CloseDocument(FPDF_DOCUMENT document) {
    std::unique_ptr<TFpdfDocument> owned(document);
}

int FPDF_GetPageCount(FPDF_DOCUMENT document) {
    return document != nullptr ? document->Doc->pages() : 0;
}

FPDF_PAGE FPDF_LoadPage(FPDF_DOCUMENT document, int pageIndex) {
    if (document == nullptr || pageIndex < 0 || pageIndex >= document->Doc->pages()) {
        return nullptr;
    }
    std::unique_ptr<poppler::page> page(document->Doc->create_page(pageIndex));
    if (!page) {
        return nullptr;
    }
    // Owned by the caller until FPDF_ClosePage.
    return std::make_unique<TFpdfPage>(TFpdfPage{std::move(page)}).release();
}

void FPDF_ClosePage(FPDF_PAGE page) {
    std::unique_ptr<TFpdfPage> owned(page);
}

int FPDF_GetPageSizeByIndex(FPDF_DOCUMENT document, int pageIndex, double* width, double* height) {
    if (document == nullptr || pageIndex < 0 || pageIndex >= document->Doc->pages()) {
        return 0;
    }
    const std::unique_ptr<poppler::page> page(document->Doc->create_page(pageIndex));
    if (!page) {
        return 0;
    }
    return PageSize(*page, *width, *height) ? 1 : 0;
}

FPDF_BITMAP FPDFBitmap_Create(int width, int height, int /*alpha*/) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    auto bmp = std::make_unique<TFpdfBitmap>();
    bmp->Width = width;
    bmp->Height = height;
    return bmp.release(); // owned by the caller until FPDFBitmap_Destroy
}

void FPDFBitmap_FillRect(FPDF_BITMAP bitmap, int left, int top, int width, int height,
                         unsigned long color) {
    if (bitmap == nullptr) {
        return;
    }
    if (left <= 0 && top <= 0 && width >= bitmap->Width && height >= bitmap->Height &&
        !bitmap->Image.is_valid()) {
        bitmap->Fill = color; // whole bitmap: becomes the paper colour of the next render
        return;
    }
    EnsurePixels(*bitmap);
    const int x0 = std::max(left, 0);
    const int y0 = std::max(top, 0);
    const int x1 = std::min(left + width, bitmap->Width);
    const int y1 = std::min(top + height, bitmap->Height);
    const auto fill = static_cast<std::uint32_t>(color);
    for (int y = y0; y < y1; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(bitmap->Image.data() +
                                                     y * bitmap->Image.bytes_per_row());
        std::fill(row + x0, row + std::max(x0, x1), fill);
    }
}

void FPDF_RenderPageBitmap(FPDF_BITMAP bitmap, FPDF_PAGE page, int startX, int startY, int width,
                           int height, int /*rotate*/, int /*flags*/) {
    if (bitmap == nullptr || page == nullptr || width <= 0 || height <= 0) {
        return;
    }
    double w = 0;
    double h = 0;
    PageSize(*page->Page, w, h);
    if (w <= 0 || h <= 0) {
        return;
    }
    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    renderer.set_image_format(poppler::image::format_argb32);
    renderer.set_paper_color(static_cast<poppler::argb>(bitmap->Fill));
    // Pixels per inch that scale the page to exactly width x height.
    const double xres = width * 72.0 / w;
    const double yres = height * 72.0 / h;
    poppler::image out = renderer.render_page(page->Page.get(), xres, yres, 0, 0, width, height);
    if (!out.is_valid()) {
        return;
    }
    if (startX == 0 && startY == 0 && width == bitmap->Width && height == bitmap->Height &&
        out.width() == width && out.height() == height) {
        bitmap->Image = out;
        return;
    }
    EnsurePixels(*bitmap);
    const int rows = std::min(out.height(), bitmap->Height - startY);
    const int cols = std::min(out.width(), bitmap->Width - startX);
    for (int y = 0; y < rows; ++y) {
        std::memcpy(bitmap->Image.data() + (startY + y) * bitmap->Image.bytes_per_row() +
                        startX * 4,
                    out.const_data() + y * out.bytes_per_row(), static_cast<std::size_t>(cols) * 4);
    }
}

void* FPDFBitmap_GetBuffer(FPDF_BITMAP bitmap) {
    if (bitmap == nullptr) {
        return nullptr;
    }
    EnsurePixels(*bitmap);
    return bitmap->Image.data();
}

int FPDFBitmap_GetStride(FPDF_BITMAP bitmap) {
    if (bitmap == nullptr) {
        return 0;
    }
    EnsurePixels(*bitmap);
    return bitmap->Image.bytes_per_row();
}

void FPDFBitmap_Destroy(FPDF_BITMAP bitmap) {
    std::unique_ptr<TFpdfBitmap> owned(bitmap);
}

} // namespace bitonix
