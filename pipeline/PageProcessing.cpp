// Page processing: binarise, preview, take the G4 strips out, add the page.
#include "pipeline/PageProcessing.h"

#include "correction/DocCorrection.h"
#include "imaging/BinarisationEngine.h"
#include "imaging/TiffAccess.h"
#include "pipeline/G4StripTransfer.h"
#include "pipeline/OutputNaming.h"
#include "support/Error.h"
#include "support/ProcessorCores.h"
#include "support/Rounding.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <thread>

namespace bitonix {

namespace {

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

QString ProgressLabel(const TRunContext& ctx, const TBatchFileInfo& file, int pageInFile) {
    return ctx.S.SPrgFile + QLatin1Char(' ') + QString::number(file.ListIndex + 1) +
           QLatin1Char('/') + QString::number(ctx.Settings.Files.size()) + QStringLiteral(": ") +
           QFileInfo(file.InputFile).fileName() + QStringLiteral(" - ") + ctx.S.SPrgPage +
           QLatin1Char(' ') + QString::number(pageInFile) + QLatin1Char('/') +
           QString::number(file.PageCount);
}

// The name the page's work TIFF had when the binariser wrote it to a file;
// a page that cannot be binarised is still reported under it.
QString WorkTiffName(const QString& pageJpg) {
    QString base = pageJpg;
    if (base.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive)) {
        base.chop(4);
    }
    return base + QStringLiteral(".tif");
}

void ProcessPage(TRunContext& ctx, const TBatchFileInfo& file, const TBatchPageInfo& page,
                 int order, TMemoryStream& tiffStream, TMemoryStream& imageStream, int pageTotal,
                 int& processed) {
    ctx.Host.Pump();
    // The page was handed to the workers when the run began processing; its
    // turn has come, so wait for it (the window stays responsive meanwhile).
    ctx.Host.Await(ctx.Binarised->Take(order));
    TBinarisedPage done = ctx.Binarised->Result(order);
    ctx.Host.Pump();
    if (done.Tiff.empty()) {
        throw TError(QStringLiteral("Unable to open file '") + WorkTiffName(page.PageJpgFile) +
                     QLatin1Char('\''))
            .WithFile(file.InputFile)
            .WithPage(page.LocalPageIndex + 1)
            .WithCall(QStringLiteral("leptbin"));
    }
    if (ctx.Host.WantsPreview() && !done.Preview.isNull()) {
        ctx.Host.ShowPreview(done.Preview);
    }
    tiffStream.Assign(std::move(done.Tiff));

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

TBinariseJob BinariseJobFor(const TRunSettings& s, const TPageCorrection& corr, bool preview) {
    const TPerspMode mode = s.PerspMode;
    const int obrot = mode == TPerspMode::pmSemi
                          ? 0
                          : (s.RotationIndex >= 1 && s.RotationIndex <= 3 ? s.RotationIndex : 0);
    TBinariseJob job;
    job.PageJpg = corr.PageJpgFile;
    job.WHSize = std::max(8, s.WHSize);
    job.Factor = static_cast<float>(s.Contrast / 100.0);
    job.Rotation = PageRotationAngle(obrot, corr, mode);
    if ((mode == TPerspMode::pmAuto || mode == TPerspMode::pmSemi) &&
        CorrectionChangesGeometry(corr)) {
        job.Warp = corr.Corners;
    }
    job.PreviewSide = preview ? KPreviewSide : 0;
    // The cores are shared by the pages in flight.
    job.Threads = std::max(1, ProcessorCores() / std::max(1, s.PageWorkers));
    return job;
}

void StartBinarising(TRunContext& ctx, const TBatchPageList& pages,
                     const TPageCorrectionList& corrections) {
    std::vector<TBinariseJob> jobs;
    jobs.reserve(static_cast<std::size_t>(pages.size()));
    for (const TBatchPageInfo& page : pages) {
        jobs.push_back(BinariseJobFor(ctx.Settings, corrections.at(page.CorrectionIndex),
                                      ctx.Host.WantsPreview()));
    }
    const int window = std::max(1, ctx.Settings.PageWorkers);
    const int count = static_cast<int>(jobs.size());
    const auto shared = std::make_shared<const std::vector<TBinariseJob>>(std::move(jobs));
    const TLeptonica* lept = ctx.Lept;
    ctx.Binarised = std::make_unique<TOrderedWork<TBinarisedPage>>(count, window, window, [=] {
        return [=](int k) { return leptbin(*lept, (*shared)[static_cast<std::size_t>(k)]); };
    });
}

bool ProcessPreparedFile(TRunContext& ctx, const TBatchFileInfo& file, const TBatchPageList& pages,
                         int pageTotal, int& processed) {
    if (file.PageCount <= 0) {
        return true;
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
        // Pages are binarised in the order of the page list.
        ProcessPage(ctx, file, pages.at(k), k, tiffStream, imageStream, pageTotal, processed);
        if (ctx.Host.Cancelled()) {
            return false;
        }
    }
    if (ctx.SeparateMode()) {
        saveqpdfout(ctx, file.OutputFile);
    }
    return true;
}

QString saveqpdfout(TRunContext& ctx, const QString& filename) {
    ctx.pageno = 1;
    const TNextFreeName nextFree = [&ctx](const std::filesystem::path& taken) {
        const QString name = QFile::decodeName(taken.c_str());
        const QString next = ctx.SeparateMode() && ctx.Files != nullptr
                                 ? ReserveBatchOutputFile(name, *ctx.Files)
                                 : filemaneprocess(name);
        return std::filesystem::path(QFile::encodeName(next).toStdString());
    };
    std::filesystem::path saved;
    WriterCall("kpdffinish", filename, 0, [&] {
        saved = ctx.Writer.kpdffinish(QFile::encodeName(filename).toStdString(), nextFree);
    });
    const QString written = QFile::decodeName(saved.c_str());
    ctx.Written << written;
    if (!ctx.SeparateMode() && written != ctx.MergedOutput) {
        ctx.MergedOutput = written;
        ctx.Host.MergedOutputChanged(written);
    }
    ctx.Host.OutputWritten(written);
    return written;
}

} // namespace bitonix
