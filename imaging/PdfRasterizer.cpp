// PDF pages to JPEG files through the rendering interface.
#include "imaging/PdfRasterizer.h"

#include "imaging/JpegFile.h"
#include "imaging/PageThumbnailFile.h"
#include "imaging/Pdfium.h"
#include "support/Error.h"
#include "support/OrderedWork.h"
#include "support/PageSize.h"
#include "support/Rounding.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <memory>

namespace bitonix {

namespace {

struct TDocumentCloser {
    void operator()(TFpdfDocument* d) const { FPDF_CloseDocument(d); }
};
struct TPageCloser {
    void operator()(TFpdfPage* p) const { FPDF_ClosePage(p); }
};
struct TBitmapDestroyer {
    void operator()(TFpdfBitmap* b) const { FPDFBitmap_Destroy(b); }
};

// The rendering library is set up once per process and never shut down.
void InitOnce() {
    static const bool initialised = [] {
        FPDF_InitLibrary();
        return true;
    }();
    (void)initialised;
}

int ParseDpi(const QString& text) {
    bool ok = false;
    const int dpi = text.trimmed().toInt(&ok);
    return ok ? dpi : 150;
}

} // namespace

TPixelSize PdfPagePixelSize(double w, double h, int dpi) {
    double s = 1.0;
    const double fitW = KA4Page.W;
    const double fitH = KA4Page.H;
    if (w > fitW || h > fitH) {
        s = std::min(fitW / w, fitH / h);
    }
    return {std::max(1, RoundEven(w * s * dpi / 72.0)), std::max(1, RoundEven(h * s * dpi / 72.0))};
}

namespace {

using TDocument = std::unique_ptr<TFpdfDocument, TDocumentCloser>;

QString PageFileName(const TPdfExtractJob& job, int i) {
    return job.pdfpageprefix + QStringLiteral("-%1.jpg").arg(i + 1, 5, 10, QLatin1Char('0'));
}

// What became of a page.
enum class TRendered {
    rnSkipped,  // no size or not loadable: left out before anything was shown for it
    rnNoBitmap, // no memory for its pixels: left out after its turn
    rnWritten,
};

// Renders page i of `doc` into its JPEG file (and thumbnail).
TRendered RenderPageToJpeg(TFpdfDocument* doc, int i, int dpi, const TPdfExtractJob& job) {
    double w = 0;
    double h = 0;
    FPDF_GetPageSizeByIndex(doc, i, &w, &h);
    if (!(w > 0) || !(h > 0)) {
        return TRendered::rnSkipped;
    }
    const TPixelSize px = PdfPagePixelSize(w, h, dpi);
    const std::unique_ptr<TFpdfPage, TPageCloser> page(FPDF_LoadPage(doc, i));
    if (!page) {
        return TRendered::rnSkipped;
    }
    const std::unique_ptr<TFpdfBitmap, TBitmapDestroyer> bitmap(
        FPDFBitmap_Create(px.W, px.H, /*alpha=*/0));
    if (!bitmap) {
        return TRendered::rnNoBitmap;
    }
    FPDFBitmap_FillRect(bitmap.get(), 0, 0, px.W, px.H, 0xFFFFFFFF);
    FPDF_RenderPageBitmap(bitmap.get(), page.get(), 0, 0, px.W, px.H, /*rotate=*/0, FPDF_ANNOT);
    const QString out = PageFileName(job, i);
    const auto* pixels = static_cast<const unsigned char*>(FPDFBitmap_GetBuffer(bitmap.get()));
    const int stride = FPDFBitmap_GetStride(bitmap.get());
    WriteJpegFile(out, pixels, px.W, px.H, stride, TPixelOrder::poBGRX, /*quality=*/90);
    if (job.thumbnails) {
        WritePageThumbnail(out, pixels, px.W, px.H, stride, TPixelOrder::poBGRX);
    }
    return TRendered::rnWritten;
}

} // namespace

void extractpdf(const TPdfExtractJob& job, TExtractFeedback& feedback) {
    InitOnce();
    const int dpi = ParseDpi(job.pdfdpitext);

    auto buffer = std::make_shared<QByteArray>();
    QFile file(job.pdfsrcfile);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            throw TError(QStringLiteral("Cannot open file \"%1\". %2")
                             .arg(job.pdfsrcfile, file.errorString()));
        }
        *buffer = file.readAll();
    }
    if (buffer->isEmpty()) {
        throw TError(QStringLiteral("PDFium: nie mozna odczytac pliku PDF: ") + job.pdfsrcfile);
    }
    int count = 0;
    {
        const TDocument doc(
            FPDF_LoadMemDocument(buffer->constData(), static_cast<int>(buffer->size()), nullptr));
        if (!doc) {
            throw TError(QStringLiteral("PDFium: nie mozna otworzyc pliku PDF: ") + job.pdfsrcfile);
        }
        count = FPDF_GetPageCount(doc.get());
    }

    // Pages are rendered on worker threads, each with a document of its own
    // over the same bytes (a document is never shared between threads), up
    // to `workers` pages ahead of the one whose turn it is.
    const std::shared_ptr<const QByteArray> bytes = buffer;
    const int workers = std::max(1, job.workers);
    int taken = 0;
    {
        TOrderedWork<TRendered> rendered(count, workers, workers, [bytes, dpi, job] {
            auto doc = std::make_shared<TDocument>(
                FPDF_LoadMemDocument(bytes->constData(), static_cast<int>(bytes->size()), nullptr));
            return [doc, dpi, job](int i) {
                return *doc ? RenderPageToJpeg(doc->get(), i, dpi, job) : TRendered::rnSkipped;
            };
        });
        const QString name = QFileInfo(job.pdfsrcfile).fileName();
        for (int i = 0; i < count; ++i) {
            if (feedback.Cancelled()) {
                break;
            }
            feedback.PageProgress(name, i + 1, count);
            feedback.Await(rendered.Take(i));
            const TRendered page = rendered.Result(i);
            taken = i + 1;
            if (page != TRendered::rnSkipped) {
                feedback.Pump();
            }
        }
    }
    // Pages rendered ahead of a stop were never extracted: they go.
    for (int i = taken; i < count; ++i) {
        const QString page = PageFileName(job, i);
        QFile::remove(page);
        QFile::remove(ThumbnailFileFor(page));
    }
}

} // namespace bitonix
