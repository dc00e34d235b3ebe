// PDF pages to JPEG files through the rendering interface.
#include "imaging/PdfRasterizer.h"

#include "imaging/JpegFile.h"
#include "imaging/PageThumbnailFile.h"
#include "imaging/Pdfium.h"
#include "support/Error.h"
#include "support/PageSize.h"
#include "support/Rounding.h"

#include <QFile>
#include <QFileInfo>
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

void extractpdf(const TPdfExtractJob& job, TExtractFeedback& feedback) {
    InitOnce();
    const int dpi = ParseDpi(job.pdfdpitext);

    QByteArray buffer;
    QFile file(job.pdfsrcfile);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            throw TError(QStringLiteral("Cannot open file \"%1\". %2")
                             .arg(job.pdfsrcfile, file.errorString()));
        }
        buffer = file.readAll();
    }
    if (buffer.isEmpty()) {
        throw TError(QStringLiteral("PDFium: nie mozna odczytac pliku PDF: ") + job.pdfsrcfile);
    }
    const std::unique_ptr<TFpdfDocument, TDocumentCloser> doc(
        FPDF_LoadMemDocument(buffer.constData(), static_cast<int>(buffer.size()), nullptr));
    if (!doc) {
        throw TError(QStringLiteral("PDFium: nie mozna otworzyc pliku PDF: ") + job.pdfsrcfile);
    }

    const QString name = QFileInfo(job.pdfsrcfile).fileName();
    const int count = FPDF_GetPageCount(doc.get());
    for (int i = 0; i < count; ++i) {
        if (feedback.Cancelled()) {
            break;
        }
        feedback.PageProgress(name, i + 1, count);
        double w = 0;
        double h = 0;
        FPDF_GetPageSizeByIndex(doc.get(), i, &w, &h);
        if (!(w > 0) || !(h > 0)) {
            continue;
        }
        const TPixelSize px = PdfPagePixelSize(w, h, dpi);
        const std::unique_ptr<TFpdfPage, TPageCloser> page(FPDF_LoadPage(doc.get(), i));
        if (!page) {
            continue;
        }
        const std::unique_ptr<TFpdfBitmap, TBitmapDestroyer> bitmap(
            FPDFBitmap_Create(px.W, px.H, /*alpha=*/0));
        if (bitmap) {
            FPDFBitmap_FillRect(bitmap.get(), 0, 0, px.W, px.H, 0xFFFFFFFF);
            FPDF_RenderPageBitmap(bitmap.get(), page.get(), 0, 0, px.W, px.H, /*rotate=*/0,
                                  FPDF_ANNOT);
            const QString out =
                job.pdfpageprefix + QStringLiteral("-%1.jpg").arg(i + 1, 5, 10, QLatin1Char('0'));
            const auto* pixels =
                static_cast<const unsigned char*>(FPDFBitmap_GetBuffer(bitmap.get()));
            const int stride = FPDFBitmap_GetStride(bitmap.get());
            WriteJpegFile(out, pixels, px.W, px.H, stride, TPixelOrder::poBGRX, /*quality=*/90);
            if (job.thumbnails) {
                WritePageThumbnail(out, pixels, px.W, px.H, stride, TPixelOrder::poBGRX);
            }
        }
        feedback.Pump();
    }
}

} // namespace bitonix
