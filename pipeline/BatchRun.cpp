// The run controller: the guarded section of a run and its clean-up.
#include "pipeline/BatchRun.h"

#include "correction/DocCorrection.h"
#include "pipeline/InputPreparation.h"
#include "pipeline/OutputNaming.h"
#include "pipeline/PageProcessing.h"
#include "pipeline/TempFiles.h"
#include "support/Error.h"
#include "support/MemoryPolicy.h"

#include <chrono>
#include <memory>

namespace bitonix {

namespace {

// Releases what a run holds, in this order, however the run ends: the
// binariser's workers, the open PDF, the files' temporary folders, the image
// library, the detector, and last the run's private folder.
class TRunCleanup {
public:
    TRunCleanup(TRunContext& ctx, const TBatchFileList& files) : FCtx(ctx), FFiles(files) {}
    ~TRunCleanup() {
        // Work done ahead is thrown away before the files it reads go.
        FCtx.Binarised.reset();
        FCtx.Writer.kpdfabort();
        CleanupBatchTempDirs(FFiles);
        Lept.reset();
        UnloadDocDetect();
        RunDir.reset();
        ReleaseFreedMemory(); // kept for the run's pages only
    }
    TRunCleanup(const TRunCleanup&) = delete;
    TRunCleanup& operator=(const TRunCleanup&) = delete;

    std::unique_ptr<TLeptonica> Lept;
    std::unique_ptr<TRunTempDir> RunDir;

private:
    TRunContext& FCtx;
    const TBatchFileList& FFiles;
};

} // namespace

std::uint32_t TickCount() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(ms.count());
}

void ShowProgressText(TRunContext& ctx, const QString& text) {
    ctx.Host.SetStatusText(text);
    ctx.Host.SetProgressLabel(text);
}

QString PreparingPageText(const TLangStrings& s, const QString& name, int page, int count) {
    return s.SPrgPreparing + QStringLiteral(": ") + name + QStringLiteral(" (") + s.SPrgPage +
           QLatin1Char(' ') + QString::number(page) + QLatin1Char('/') + QString::number(count) +
           QLatin1Char(')');
}

void THostExtractFeedback::PageProgress(const QString& fileName, int page, int count) {
    ShowProgressText(FCtx, PreparingPageText(FCtx.S, fileName, page, count));
}

TRunContext::TRunContext(const TRunSettings& settings, const TLangStrings& strings, TRunHost& host)
    : Settings(settings), S(strings), Host(host), MergedOutput(settings.MergedOutput),
      Writer(settings.Progname.toStdString(),
             settings.Clock ? settings.Clock : TKPdfClock(KPdfLocalTime)) {}

TRunResult RunBatch(const TRunSettings& settings, const TLangStrings& strings, TRunHost& host) {
    const std::uint32_t start = TickCount();
    TRunResult result;
    TRunContext ctx(settings, strings, host);
    TBatchFileList files;
    TBatchPageList pages;
    TPageCorrectionList corrections;
    bool finished = false; // every PDF of the run was written
    {
        TRunCleanup cleanup(ctx, files);
        cleanup.RunDir = std::make_unique<TRunTempDir>(
            settings.TempParent.isEmpty() ? GetTempDirectory() : settings.TempParent);
        ctx.tempdir = cleanup.RunDir->Path();
        ctx.Files = &files;

        cleanup.Lept = std::make_unique<TLeptonica>(settings.ProgramDir);
        if (!cleanup.Lept->Loaded()) {
            host.ShowMessage(QString::fromLatin1(KLeptonicaLoadMessage));
            throw TError(QStringLiteral(
                "The Leptonica image library could not be loaded, so no page can be converted. "
                "Install Leptonica (Debian: liblept5) or place it beside the program."));
        }
        ctx.Lept = cleanup.Lept.get();
        LoadDocDetect(settings.ProgramDir);

        if (settings.Merged) {
            ctx.MergedOutput = filemaneprocess(ctx.MergedOutput);
            host.MergedOutputChanged(ctx.MergedOutput);
        }
        result.MergedOutput = ctx.MergedOutput;

        host.SetProgressMarquee(true);
        const int count = static_cast<int>(settings.Files.size());
        for (int i = 0; i < count && !host.Cancelled(); ++i) {
            host.SelectListRow(i);
            const QString& input = settings.Files.at(i);
            const QString named = OutputNameFromPattern(input, settings.Pattern);
            const QString output =
                settings.Merged ? filemaneprocess(named) : ReserveBatchOutputFile(named, files);
            PrepareInputPages(ctx, input, output, i, files, pages, corrections);
        }
        host.SetProgressMarquee(false);

        if (!host.Cancelled()) {
            UpdateBatchCorrectionTotals(corrections);
            if (!EditBatchCorrections(settings.PerspMode, corrections, host)) {
                result.EditorDismissed = true;
                result.ElapsedMs = TickCount() - start;
                return result;
            }
            const int total = static_cast<int>(pages.size());
            host.SetProgress(total, 0);
            StartBinarising(ctx, pages, corrections);
            int processed = 0;
            finished = true;
            for (const TBatchFileInfo& file : files) {
                if (host.Cancelled() || !ProcessPreparedFile(ctx, file, pages, total, processed)) {
                    finished = false;
                    break;
                }
            }
            if (finished && settings.Merged) {
                finished = !host.Cancelled();
                if (finished) {
                    saveqpdfout(ctx, ctx.MergedOutput);
                }
            }
        }
        result.Written = ctx.Written;
        result.MergedOutput = ctx.MergedOutput;
        result.ElapsedMs = TickCount() - start;
        // Once the last PDF is on disk, a stop asked for is too late to
        // cancel anything: the run is a success.
        if (!finished && host.Cancelled()) {
            host.SetStatusText(strings.SPrgCancelled);
            result.Cancelled = true;
        } else {
            host.SetStatusText(strings.SMsgDone + QStringLiteral(" %1 ms").arg(result.ElapsedMs));
            result.Completed = true;
        }
    }
    return result;
}

} // namespace bitonix
