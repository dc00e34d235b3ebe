// Page processing: binarise, preview, take the G4 strips out, add the page.
#include "pipeline/PageProcessing.h"

#include "imaging/BinarisationEngine.h"
#include "imaging/TiffAccess.h"
#include "pipeline/G4StripTransfer.h"
#include "pipeline/TempFiles.h"
#include "support/Error.h"
#include "support/Rounding.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace bitonix {

namespace {

// Removes a work file when the page is done, also when an error ends it.
class TWorkFile {
public:
    explicit TWorkFile(QString path) : FPath(std::move(path)) {}
    ~TWorkFile() { QFile::remove(FPath); }
    TWorkFile(const TWorkFile&) = delete;
    TWorkFile& operator=(const TWorkFile&) = delete;
    const QString& Path() const { return FPath; }

private:
    QString FPath;
};

// The writer reports failures with standard exceptions; a run reports
// TError, with the writer call and the file it was working on.
template <typename TFn> void WriterCall(const char* call, const QString& file, int page, TFn&& fn) {
    try {
        fn();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        throw TError(QString::fromUtf8(e.what()))
            .WithCall(QString::fromLatin1(call))
            .WithFile(file)
            .WithPage(page);
    }
}

void LoadFile(const QString& path, TMemoryStream& stream) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw TError(QStringLiteral("Unable to open file '") + path + QLatin1Char('\''));
    }
    const QByteArray bytes = file.readAll();
    stream.Assign(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

QString ProgressLabel(const TRunContext& ctx, const TBatchFileInfo& file, int pageInFile) {
    return ctx.S.SPrgFile + QLatin1Char(' ') + QString::number(file.ListIndex + 1) +
           QLatin1Char('/') + QString::number(ctx.Settings.Files.size()) + QStringLiteral(": ") +
           QFileInfo(file.InputFile).fileName() + QStringLiteral(" - ") + ctx.S.SPrgPage +
           QLatin1Char(' ') + QString::number(pageInFile) + QLatin1Char('/') +
           QString::number(file.PageCount);
}

void ProcessPage(TRunContext& ctx, const TBatchFileInfo& file, const TBatchPageInfo& page,
                 const TPageCorrection& corr, TMemoryStream& tiffStream, TMemoryStream& imageStream,
                 int pageTotal, int& processed) {
    const TRunSettings& s = ctx.Settings;
    const TPerspMode mode = s.PerspMode;
    const int obrot = mode == TPerspMode::pmSemi
                          ? 0
                          : (s.RotationIndex >= 1 && s.RotationIndex <= 3 ? s.RotationIndex : 0);
    // The page JPEG lives in the run's private folder and is only read, so
    // the binariser reads it where it lies.
    const TWorkFile tif(ctx.tempdir + generaternd(8) + QStringLiteral(".tif"));
    ctx.Host.Pump();
    leptbin(*ctx.Lept, page.PageJpgFile, tif.Path(), std::max(8, s.WHSize),
            static_cast<float>(s.Contrast / 100.0), obrot, corr, mode);
    ctx.Host.Pump();
    if (ctx.Host.WantsPreview() && QFileInfo::exists(tif.Path())) {
        ctx.Host.ShowPreview(ReadTiffIntoBitmap(tif.Path(), 0));
    }
    LoadFile(tif.Path(), tiffStream);
    QFile::remove(tif.Path());

    const TG4Image image = TransferG4Strips(tiffStream, imageStream);
    const TPagePlacement at = PlaceOnPage(image.W, image.H, KA4Page);
    WriterCall("kpdfaddpage", file.InputFile, page.LocalPageIndex + 1, [&] {
        ctx.Writer.kpdfaddpage(imageStream.Bytes(), static_cast<int>(image.W),
                               static_cast<int>(image.H), /*kpdfrespicx=*/at.W,
                               /*kpdfrespicy=*/at.H, /*kpdfmx=*/at.X, /*kpdfmy=*/at.Y,
                               /*kpdfpagex=*/KA4Page.W, /*kpdfpagey=*/KA4Page.H,
                               QStringLiteral("img_%1").arg(ctx.pageno).toStdString());
    });
    imageStream.Clear();
    ++ctx.pageno;
    ++processed;

    QString label = ProgressLabel(ctx, file, page.LocalPageIndex + 1);
    if (pageTotal > 0) {
        ctx.Host.SetProgress(pageTotal, processed);
        label += QStringLiteral("  (") + QString::number(RoundEven(100.0 / pageTotal * processed)) +
                 QStringLiteral("%)");
    }
    ctx.Host.SetProgressLabel(label);
    const QString target = ctx.SeparateMode() ? file.OutputFile : ctx.MergedOutput;
    ctx.Host.SetStatusText(ctx.S.SPrgConverting + QStringLiteral(": ") +
                           QFileInfo(file.InputFile).fileName() + QStringLiteral(" -> ") +
                           QFileInfo(target).fileName());
    ctx.Host.Pump();
}

} // namespace

TPagePlacement PlaceOnPage(std::uint32_t w, std::uint32_t h, TPageSize page) {
    const double a = static_cast<double>(w) / static_cast<double>(h);
    TPagePlacement p{page.W, RoundEven(page.W / a), 0, 0};
    if (p.H > page.H) {
        p.H = page.H;
        p.W = RoundEven(page.H * a);
    }
    // A sliver of an image still gets one point, so it is drawn at all.
    p.W = std::max(p.W, 1);
    p.H = std::max(p.H, 1);
    p.X = (page.W - p.W) / 2;
    p.Y = (page.H - p.H) / 2;
    return p;
}

void ProcessPreparedFile(TRunContext& ctx, const TBatchFileInfo& file, const TBatchPageList& pages,
                         const TPageCorrectionList& corrections, int pageTotal, int& processed) {
    if (file.PageCount <= 0) {
        return;
    }
    if (!ctx.Writer.kpdfopened()) {
        WriterCall("kpdfbegin", file.InputFile, 0, [&] { ctx.Writer.kpdfbegin(); });
        ctx.pageno = 1;
    }
    TMemoryStream tiffStream;
    TMemoryStream imageStream;
    if (file.ListIndex >= 0 && file.ListIndex < ctx.Settings.Files.size()) {
        ctx.Host.SelectListRow(file.ListIndex);
    }
    for (int k = file.FirstPageIndex; k < file.FirstPageIndex + file.PageCount; ++k) {
        const TBatchPageInfo& page = pages.at(k);
        const TPageCorrection corr = corrections.at(page.CorrectionIndex);
        ProcessPage(ctx, file, page, corr, tiffStream, imageStream, pageTotal, processed);
        if (ctx.Host.Cancelled()) {
            break;
        }
    }
    if (!ctx.Host.Cancelled() && ctx.SeparateMode()) {
        saveqpdfout(ctx, file.OutputFile);
    }
}

void saveqpdfout(TRunContext& ctx, const QString& filename) {
    ctx.pageno = 1;
    WriterCall("kpdffinish", filename, 0,
               [&] { ctx.Writer.kpdffinish(QFile::encodeName(filename).toStdString()); });
    ctx.Written << filename;
}

} // namespace bitonix
