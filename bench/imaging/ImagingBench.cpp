// Times one A4 text page through each stage of the conversion chain at 150,
// 300 and 600 DPI, beside the floor: rendering straight to grey, Sauvola and
// G4 encoding in memory, nothing else.
//
// Usage: imaging_bench [repetitions]   (default 5; prints medians in ms)
#include "correction/DocCorrection.h"
#include "imaging/BinarisationEngine.h"
#include "imaging/ImageNormalise.h"
#include "imaging/JpegFile.h"
#include "imaging/Leptonica.h"
#include "imaging/PdfRasterizer.h"
#include "imaging/PageGrey.h"
#include "imaging/Pdfium.h"
#include "pdf/PdfWriter.h"
#include "pipeline/G4StripTransfer.h"
#include "pipeline/PageProcessing.h"
#include "support/MemoryPolicy.h"

#include <poppler-document.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <vector>

using namespace bitonix;

namespace {

// CPU time of this thread in milliseconds: stable while other work shares
// the machine, and the same as wall time on an idle one (no stage waits).
double ThreadMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double Ms(const std::function<void()>& f) {
    const double t0 = ThreadMs();
    f();
    return ThreadMs() - t0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A dense A4 text page, as a scanned letter or a report page would be.
QString MakeTextPdf(const QString& path) {
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(300);
    QPainter p(&pdf);
    QFont font("DejaVu Serif");
    font.setPixelSize(38);
    p.setFont(font);
    const QString line = "The quick brown fox jumps over the lazy dog; 0123456789 (Bitonix).";
    for (int y = 150; y < 3300; y += 55) {
        p.drawText(150, y, line);
    }
    p.fillRect(150, 2600, 800, 400, QColor(90, 90, 90));
    p.end();
    return path;
}

struct TLept {
    QLibrary* Lib;
    decltype(&::pixCreate) pixCreate;
    decltype(&::pixGetData) pixGetData;
    decltype(&::pixGetWpl) pixGetWpl;
    decltype(&::pixWriteMem) pixWriteMem;
    decltype(&::lept_free) lept_free;
};

} // namespace

int main(int argc, char* argv[]) {
    KeepFreedMemoryForReuse();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int reps = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const QString pdfPath = MakeTextPdf(dir.filePath("page.pdf"));
    QFile f(pdfPath);
    f.open(QIODevice::ReadOnly);
    const QByteArray pdfBytes = f.readAll();

    const TLeptonica lept(QCoreApplication::applicationDirPath());
    if (!lept.Loaded()) {
        std::fprintf(stderr, "Leptonica not found\n");
        return 1;
    }
    const TLept L{
        lept.Library(),
        reinterpret_cast<decltype(&::pixCreate)>(lept.Library()->resolve("pixCreate")),
        reinterpret_cast<decltype(&::pixGetData)>(lept.Library()->resolve("pixGetData")),
        reinterpret_cast<decltype(&::pixGetWpl)>(lept.Library()->resolve("pixGetWpl")),
        reinterpret_cast<decltype(&::pixWriteMem)>(lept.Library()->resolve("pixWriteMem")),
        reinterpret_cast<decltype(&::lept_free)>(lept.Library()->resolve("lept_free"))};

    std::printf("One A4 text page, median of %d runs, CPU milliseconds\n\n", reps);
    for (const int dpi : {150, 300, 600}) {
        std::map<std::string, std::vector<double>> t;
        const std::vector<std::string> stages = {"render",  "jpeg encode", "measure",
                                                 "leptbin", "strips",      "pdf add"};
        for (int r = 0; r < reps; ++r) {
            // The chain as a run does it.
            FPDF_InitLibrary();
            FPDF_DOCUMENT doc = FPDF_LoadMemDocument(pdfBytes.constData(),
                                                     static_cast<int>(pdfBytes.size()), nullptr);
            FPDF_PAGE page = FPDF_LoadPage(doc, 0);
            double w = 0;
            double h = 0;
            FPDF_GetPageSizeByIndex(doc, 0, &w, &h);
            const TPixelSize px = PdfPagePixelSize(w, h, dpi);
            FPDF_BITMAP bmp = FPDFBitmap_Create(px.W, px.H, 0);
            t["render"].push_back(Ms([&] {
                FPDFBitmap_FillRect(bmp, 0, 0, px.W, px.H, 0xFFFFFFFF);
                FPDF_RenderPageBitmap(bmp, page, 0, 0, px.W, px.H, 0, FPDF_ANNOT);
                FPDFBitmap_GetBuffer(bmp);
            }));
            const QString jpg = dir.filePath("p.jpg");
            t["jpeg encode"].push_back(Ms([&] {
                WriteJpegFile(jpg, static_cast<const unsigned char*>(FPDFBitmap_GetBuffer(bmp)),
                              px.W, px.H, FPDFBitmap_GetStride(bmp), TPixelOrder::poBGRX, 90);
            }));
            FPDFBitmap_Destroy(bmp);
            FPDF_ClosePage(page);
            FPDF_CloseDocument(doc);
            TPageCorrection corr;
            t["measure"].push_back(Ms([&] { GetImgSize(jpg, corr.ImgW, corr.ImgH); }));
            SetFullPageCorners(corr);
            TBinariseJob job;
            job.PageJpg = jpg;
            t["  of it: grey"].push_back(Ms([&] { ReadPageGrey(lept, jpg); }));
            TBinarisedPage done;
            t["leptbin"].push_back(Ms([&] { done = leptbin(lept, job); }));
            TMemoryStream tiff;
            TMemoryStream image;
            TG4Image g4;
            t["strips"].push_back(Ms([&] {
                tiff.Assign(std::move(done.Tiff));
                g4 = TransferG4Strips(tiff, image);
            }));
            TKPdfWriter writer("bench");
            writer.kpdfbegin();
            t["pdf add"].push_back(Ms([&] {
                const TPagePlacement at = PlaceOnPage(g4.W, g4.H, KA4Page);
                writer.kpdfaddpage(image.Bytes(), static_cast<int>(g4.W), static_cast<int>(g4.H),
                                   at.W, at.H, at.X, at.Y, 595, 842, "img_1");
            }));

            // The floor: render to grey, Sauvola, G4 in memory.
            std::unique_ptr<poppler::document> pd(poppler::document::load_from_raw_data(
                pdfBytes.constData(), static_cast<int>(pdfBytes.size())));
            std::unique_ptr<poppler::page> pp(pd->create_page(0));
            double floorSauvola = 0;
            t["floor"].push_back(Ms([&] {
                poppler::page_renderer renderer;
                renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
                renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
                renderer.set_image_format(poppler::image::format_gray8);
                const double res = px.W * 72.0 / w;
                const poppler::image grey =
                    renderer.render_page(pp.get(), res, res, 0, 0, px.W, px.H);
                TPixPtr g(L.pixCreate(px.W, px.H, 8), lept.Fn().pixDestroy);
                l_uint32* data = L.pixGetData(g.get());
                const int wpl = L.pixGetWpl(g.get());
                for (int y = 0; y < px.H; ++y) {
                    const auto* src = reinterpret_cast<const unsigned char*>(grey.const_data()) +
                                      static_cast<std::ptrdiff_t>(y) * grey.bytes_per_row();
                    l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
                    for (int x = 0; x < px.W; ++x) {
                        SET_DATA_BYTE(line, x, src[x]);
                    }
                }
                const TSauvolaTiles tiles = SauvolaTiles(px.W, px.H, 8);
                PIX* bw = nullptr;
                floorSauvola += Ms([&] {
                    lept.Fn().pixSauvolaBinarizeTiled(g.get(), 8, 0.21F, tiles.nx, tiles.ny,
                                                      nullptr, &bw);
                });
                const TPixPtr owned(bw, lept.Fn().pixDestroy);
                l_uint8* mem = nullptr;
                size_t size = 0;
                L.pixWriteMem(&mem, &size, owned.get(), IFF_TIFF_G4);
                L.lept_free(mem);
            }));
            t["floor: sauvola"].push_back(floorSauvola);
        }
        double chain = 0;
        for (const auto& s : stages) {
            chain += Median(t[s]);
        }
        const double floor = Median(t["floor"]);
        std::printf("%d DPI (%s)\n", dpi,
                    QString("%1 x %2 px")
                        .arg(PdfPagePixelSize(595, 842, dpi).W)
                        .arg(PdfPagePixelSize(595, 842, dpi).H)
                        .toLocal8Bit()
                        .constData());
        for (const auto& s : stages) {
            const double m = Median(t[s]);
            std::printf("  %-14s %8.1f  %5.1f%%\n", s.c_str(), m, 100.0 * m / chain);
        }
        std::printf("  %-14s %8.1f\n", "chain", chain);
        std::printf("  %-14s %8.1f  (of it: grey %.1f)\n", "", 0.0, Median(t["  of it: grey"]));
        std::printf("  %-14s %8.1f  (Sauvola alone %.1f)\n", "floor", floor,
                    Median(t["floor: sauvola"]));
        std::printf("  %-14s %8.2f x floor\n\n", "chain/floor", chain / floor);
    }
    return 0;
}
