// floor_bench: the least work a conversion can do, for the whole-run
// benchmark to be measured against: every page straight to grey (a PDF page
// rendered to grey by Poppler at the resolution, a photo decoded to grey by
// libjpeg), Sauvola in one tile, G4 encoding in memory; one thread, memory
// reused across pages (the programs' own allocator policy). No files, no
// PDF. Prints the pages done and the G4 bytes, so the work cannot be skipped.
//
// Usage: floor_bench DPI INPUT...   (INPUT: .pdf or .jpg)
#include "imaging/Leptonica.h"
#include "support/MemoryPolicy.h"

#include <poppler-document.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <memory>

using namespace bitonix;

namespace {

struct TLept {
    const TLeptonica& Lept;
    decltype(&::pixWriteMem) pixWriteMem;
};

// Sauvola in the fewest tiles the threshold allows, G4 in memory.
std::size_t Binarise(const TLeptonica& lept, PIX* grey) {
    const TLeptonica::TTable& L = lept.Fn();
    int w = 0;
    int h = 0;
    L.pixGetDimensions(grey, &w, &h, nullptr);
    // One tile up to the accumulators' limit, as few as possible beyond.
    int ny = 1;
    while (static_cast<long long>(w + 18) * (h / ny + 18 + h % ny) >= 16'000'000LL) {
        ++ny;
    }
    PIX* bw = nullptr;
    L.pixSauvolaBinarizeTiled(grey, 8, 0.21F, 1, ny, nullptr, &bw);
    const TPixPtr owned(bw, L.pixDestroy);
    l_uint8* data = nullptr;
    size_t size = 0;
    L.pixWriteMemTiff(&data, &size, owned.get(), IFF_TIFF_G4);
    L.lept_free(data);
    return size;
}

TPixPtr GreyPix(const TLeptonica& lept, int w, int h) {
    return TPixPtr(lept.Fn().pixCreate(w, h, 8), lept.Fn().pixDestroy);
}

std::size_t PdfPages(const TLeptonica& lept, const QString& path, int dpi, int& pages) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    const std::unique_ptr<poppler::document> doc(
        poppler::document::load_from_raw_data(bytes.constData(), static_cast<int>(bytes.size())));
    std::size_t out = 0;
    for (int i = 0; doc && i < doc->pages(); ++i) {
        const std::unique_ptr<poppler::page> page(doc->create_page(i));
        poppler::page_renderer renderer;
        renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
        renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
        renderer.set_image_format(poppler::image::format_gray8);
        const poppler::image grey = renderer.render_page(page.get(), dpi, dpi);
        const TPixPtr pix = GreyPix(lept, grey.width(), grey.height());
        l_uint32* data = lept.Fn().pixGetData(pix.get());
        const int wpl = lept.Fn().pixGetWpl(pix.get());
        for (int y = 0; y < grey.height(); ++y) {
            const auto* src = reinterpret_cast<const unsigned char*>(grey.const_data()) +
                              static_cast<std::ptrdiff_t>(y) * grey.bytes_per_row();
            l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
            for (int x = 0; x < grey.width(); ++x) {
                SET_DATA_BYTE(line, x, src[x]);
            }
        }
        out += Binarise(lept, pix.get());
        ++pages;
    }
    return out;
}

std::size_t JpegPage(const TLeptonica& lept, const QString& path, int& pages) {
    std::FILE* f = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (f == nullptr) {
        return 0;
    }
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&cinfo);
    const TPixPtr pix =
        GreyPix(lept, static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
    l_uint32* data = lept.Fn().pixGetData(pix.get());
    const int wpl = lept.Fn().pixGetWpl(pix.get());
    std::vector<JSAMPLE> row(cinfo.output_width);
    JSAMPROW rows[1] = {row.data()};
    for (JDIMENSION y = 0; y < cinfo.output_height; ++y) {
        jpeg_read_scanlines(&cinfo, rows, 1);
        l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
        for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
            SET_DATA_BYTE(line, x, row[x]);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    ++pages;
    return Binarise(lept, pix.get());
}

} // namespace

int main(int argc, char* argv[]) {
    KeepFreedMemoryForReuse();
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: floor_bench DPI INPUT...\n");
        return 2;
    }
    const TLeptonica lept(QCoreApplication::applicationDirPath());
    if (!lept.Loaded()) {
        std::fprintf(stderr, "floor_bench: Leptonica not found\n");
        return 1;
    }
    const int dpi = std::atoi(argv[1]);
    int pages = 0;
    std::size_t bytes = 0;
    for (int i = 2; i < argc; ++i) {
        const QString input = QString::fromLocal8Bit(argv[i]);
        bytes += input.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)
                     ? PdfPages(lept, input, dpi, pages)
                     : JpegPage(lept, input, pages);
    }
    std::printf("%d pages, %zu G4 bytes\n", pages, bytes);
    return 0;
}
