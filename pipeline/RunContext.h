// Everything one run carries from its start to its clean-up: the settings
// read from the window, the texts, the host, the bound libraries, the open
// PDF and the run's private temporary folder.
#pragma once

#include "correction/PageCorrection.h"
#include "imaging/BinarisationEngine.h"
#include "imaging/ExtractFeedback.h"
#include "imaging/Leptonica.h"
#include "pdf/PdfWriter.h"
#include "pipeline/BatchRecords.h"
#include "pipeline/RunHost.h"
#include "settings/LangStrings.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace bitonix {

// The inputs of a run, as the window's controls (or the command line) give them.
struct TRunSettings {
    QStringList Files;                                 // file list entries, full paths, in order
    bool Merged = false;                               // all inputs into one PDF
    QString Pattern = QStringLiteral("[BW]<filesrc>"); // name pattern for separate mode
    QString MergedOutput;                              // path of the merged PDF
    QString DpiText = QStringLiteral("300");           // resolution for PDF inputs
    int RotationIndex = 0;                             // 0 none, 1 left, 2 right, 3 half turn
    int Contrast = 21;                                 // black intensity 1..100 (factor / 100)
    TPerspMode PerspMode = TPerspMode::pmNone;         // straightening mode
    int WHSize = 8;                                    // Sauvola half window, >= 8
    QString ProgramDir;                                // folder of the executable, trailing '/'
    QString Progname = QStringLiteral("Bitonix");      // title written into every PDF
    QString TempParent;                                // where the run's folder goes; empty: system
    TKPdfClock Clock;                                  // PDF dates; empty: local time
    int PageWorkers = 1; // pages prepared and binarised ahead at once (1: one at a time)
};

// State of a run in progress.
struct TRunContext {
    TRunContext(const TRunSettings& settings, const TLangStrings& strings, TRunHost& host);

    const TRunSettings& Settings;
    const TLangStrings& S;
    TRunHost& Host;
    QString MergedOutput; // the merged name after it was made unique
    QString tempdir;      // the run's private folder, trailing '/'
    const TLeptonica* Lept = nullptr;
    TKPdfWriter Writer;
    int pageno = 1;      // image number within the open PDF
    QStringList Written; // PDFs finished by this run, in order, under the names written
    // The run's prepared files: in separate mode their output names are
    // reserved when a save must move on to the next free name.
    const TBatchFileList* Files = nullptr;
    // The run's pages binarised on worker threads, in processing order.
    std::unique_ptr<TOrderedWork<TBinarisedPage>> Binarised;

    bool SeparateMode() const { return !Settings.Merged; }
};

// Extraction progress shown through the run's host.
class THostExtractFeedback : public TExtractFeedback {
public:
    explicit THostExtractFeedback(TRunContext& ctx) : FCtx(ctx) {}
    bool Cancelled() const override { return FCtx.Host.Cancelled(); }
    void PageProgress(const QString& fileName, int page, int count) override;
    void Pump() override { FCtx.Host.Pump(); }
    void Await(TAwaitable& work) override { FCtx.Host.Await(work); }

private:
    TRunContext& FCtx;
};

// "<text>" into the status bar and the progress label at once.
void ShowProgressText(TRunContext& ctx, const QString& text);

// "Preparing: <name> (page <page>/<count>)", in the run's language.
QString PreparingPageText(const TLangStrings& s, const QString& name, int page, int count);

} // namespace bitonix
