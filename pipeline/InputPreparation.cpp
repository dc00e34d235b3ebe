// Input page preparation.
#include "pipeline/InputPreparation.h"

#include "correction/DocCorrection.h"
#include "imaging/ImageNormalise.h"
#include "imaging/PdfRasterizer.h"
#include "imaging/TiffAccess.h"
#include "pipeline/TempFiles.h"
#include "support/Error.h"
#include "support/OrderedWork.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace bitonix {

namespace {

// Page files of the input, in page order.
QStringList ExtractPages(TRunContext& ctx, const QString& input, const QString& folder) {
    const QString suffix = QFileInfo(input).suffix().toLower();
    THostExtractFeedback feedback(ctx);
    // The corner editor shows every page as a thumbnail; each is made now,
    // while its pixels are in memory.
    const bool thumbnails = ctx.Settings.PerspMode == TPerspMode::pmSemi;
    QStringList list;
    if (suffix == QLatin1String("pdf")) {
        extractpdf({input, folder + generaternd(8), ctx.Settings.DpiText, thumbnails,
                    ctx.Settings.PageWorkers},
                   feedback);
        for (const QString& name : QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files)) {
            list << folder + name;
        }
    } else if (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff")) {
        ExtractTiffPagesToJpeg(input, folder, list, feedback, thumbnails);
    } else {
        const QString page = folder + QStringLiteral("00001.jpg");
        // Decoding and encoding a large photo takes long: on a worker.
        OnWorker(
            [&] {
                NormalizeImageToJpeg(input, page, thumbnails);
                return true;
            },
            [&](TAwaitable& work) { ctx.Host.Await(work); });
        list << page;
        return list;
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(list.begin(), list.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return list;
}

} // namespace

void PrepareInputPages(TRunContext& ctx, const QString& inputPath, const QString& outputPath,
                       int listIndex, TBatchFileList& files, TBatchPageList& pages,
                       TPageCorrectionList& corrections) {
    const int fileIndex = static_cast<int>(files.size());
    const QString folder = ctx.tempdir + QStringLiteral("btx.") + generaternd(8) + QLatin1Char('/');
    if (!QDir().mkpath(folder)) {
        throw TError(QStringLiteral("Cannot create folder \"%1\".").arg(folder));
    }
    try {
        const QString name = QFileInfo(inputPath).fileName();
        ShowProgressText(ctx, ctx.S.SPrgPreparing + QStringLiteral(": ") + name);
        ctx.Host.Pump();

        const QStringList list = ExtractPages(ctx, inputPath, folder);
        if (list.isEmpty() && ctx.Host.Cancelled()) {
            // Stopped before the first page: the run ends as stopped, not as
            // an input without pages.
            RemoveTree(folder);
            return;
        }
        if (list.isEmpty()) {
            throw TError(QStringLiteral("Brak stron do przetworzenia: ") + inputPath);
        }
        const int count = static_cast<int>(list.size());
        files.append(TBatchFileInfo{inputPath, outputPath, folder, static_cast<int>(pages.size()),
                                    count, listIndex});
        const TPerspMode mode = ctx.Settings.PerspMode;
        for (int k = 0; k < count; ++k) {
            const int n = static_cast<int>(corrections.size());
            const QString& jpg = list.at(k);
            pages.append(TBatchPageInfo{fileIndex, k, jpg, n});
            corrections.append(TPageCorrection{});
            TPageCorrection& corr = corrections.last();
            corr.PageJpgFile = jpg;
            corr.DisplayName = name;
            corr.SourcePageNo = k + 1;
            corr.SourcePageCount = count;
            corr.GlobalPageNo = n + 1;
            if (!GetImgSize(jpg, corr.ImgW, corr.ImgH)) {
                throw TError(QStringLiteral("Nie mozna odczytac wymiarow obrazu: ") + jpg);
            }
            SetFullPageCorners(corr);
            if (mode == TPerspMode::pmAuto || mode == TPerspMode::pmSemi) {
                ShowProgressText(ctx, PreparingPageText(ctx.S, name, k + 1, count));
                ctx.Host.Pump();
                if (DocDetectAvailable()) {
                    OnWorker([&corr] { return DetectCornersForPage(corr); },
                             [&](TAwaitable& work) { ctx.Host.Await(work); });
                }
            }
        }
    } catch (...) {
        RemoveTree(folder);
        throw;
    }
}

void UpdateBatchCorrectionTotals(TPageCorrectionList& corrections) {
    const int total = static_cast<int>(corrections.size());
    for (int j = 0; j < total; ++j) {
        corrections[j].GlobalPageNo = j + 1;
        corrections[j].GlobalPageCount = total;
    }
}

bool EditBatchCorrections(TPerspMode mode, TPageCorrectionList& corrections, TRunHost& host) {
    if (mode != TPerspMode::pmSemi || corrections.isEmpty()) {
        return true;
    }
    return host.EditCorrections(corrections);
}

void CleanupBatchTempDirs(const TBatchFileList& files) {
    for (const TBatchFileInfo& f : files) {
        RemoveTree(f.TempDir);
    }
}

} // namespace bitonix
