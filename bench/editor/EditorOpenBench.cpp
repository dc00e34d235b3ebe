// How long the corner editor takes to open on a batch of photos, and to load
// a page once open.
//
// Runs the real conversion in the manual straightening mode over N inputs
// (the given photos repeated) and, where the run shows the editor, opens it
// twice: once as the run leaves it (thumbnails made during preparation), then
// again after deleting those thumbnail files, so every page is decoded. An
// opening counts from Execute until the shown window's event loop runs.
// Times are wall clock and this thread's CPU time. The editor is dismissed,
// so the run writes nothing.
//
// Also prints what one thumbnail adds to a page's preparation.
//
// Usage: editor_bench N PHOTO...
#include "correction/FormCorrection.h"
#include "imaging/PageThumbnailFile.h"
#include "pipeline/BatchRun.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace bitonix;

namespace {

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct TTimes {
    double Wall = 0;
    double Cpu = 0;
};

class TStopwatch {
public:
    TStopwatch() : FCpu(CpuMs()) { FWall.start(); }
    TTimes Elapsed() const { return {FWall.nsecsElapsed() / 1e6, CpuMs() - FCpu}; }

private:
    QElapsedTimer FWall;
    double FCpu;
};

// Opens the editor on `list` and closes it as soon as its loop runs.
TTimes OpenEditor(TPageCorrectionList& list, std::vector<TTimes>& pageLoads) {
    TFormCorrection form;
    TTimes shown;
    const TStopwatch watch;
    QTimer::singleShot(0, &form, [&] {
        shown = watch.Elapsed();
        for (int i = 1; i < std::min<int>(6, static_cast<int>(list.size())); ++i) {
            const TStopwatch load;
            form.LoadPage(i);
            pageLoads.push_back(load.Elapsed());
        }
        form.reject();
    });
    form.Execute(list);
    return shown;
}

class TBenchHost : public TRunHost {
public:
    TStopwatch Started;
    TTimes Prepared, WithThumbs, WithoutThumbs;
    std::vector<TTimes> PageLoads;
    int Pages = 0;

    bool Cancelled() const override { return false; }
    void SetStatusText(const QString&) override {}
    void SetProgressLabel(const QString&) override {}
    void SetProgressMarquee(bool) override {}
    void SetProgress(int, int) override {}
    bool WantsPreview() const override { return false; }
    void ShowPreview(const QImage&) override {}
    void SelectListRow(int) override {}
    void MergedOutputChanged(const QString&) override {}
    void Pump() override { QCoreApplication::processEvents(); }
    void ShowMessage(const QString& text) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    bool EditCorrections(TPageCorrectionList& list) override {
        Prepared = Started.Elapsed();
        Pages = static_cast<int>(list.size());
        WithThumbs = OpenEditor(list, PageLoads);
        for (const TPageCorrection& page : list) {
            QFile::remove(ThumbnailFileFor(page.PageJpgFile));
        }
        WithoutThumbs = OpenEditor(list, PageLoads);
        return false;
    }
};

void Print(const char* what, TTimes t) {
    std::printf("  %-42s %7.0f ms wall %7.0f ms CPU\n", what, t.Wall, t.Cpu);
}

// Median wall time of making one thumbnail file from a decoded photo, the
// step preparation adds in the manual mode.
double ThumbnailCostMs(const QString& photo, const QString& folder) {
    const QImage page = QImage(photo).convertToFormat(QImage::Format_RGB32);
    std::vector<double> ms;
    for (int i = 0; i < 5; ++i) {
        const TStopwatch watch;
        WritePageThumbnail(folder + QStringLiteral("/cost.jpg"), page.constBits(), page.width(),
                           page.height(), static_cast<int>(page.bytesPerLine()),
                           TPixelOrder::poBGRX);
        ms.push_back(watch.Elapsed().Wall);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: editor_bench N PHOTO...\n");
        return 2;
    }
    const int n = std::max(1, std::atoi(argv[1]));
    QTemporaryDir dir;
    TRunSettings settings;
    settings.PerspMode = TPerspMode::pmSemi;
    settings.TempParent = dir.path();
    settings.ProgramDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    // Each input under its own name, as a batch of distinct photos would be.
    for (int i = 0; i < n; ++i) {
        const QString source = QString::fromLocal8Bit(argv[2 + i % (argc - 2)]);
        const QString copy =
            dir.filePath(QStringLiteral("in%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')));
        if (!QFile::copy(source, copy)) {
            std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
            return 1;
        }
        settings.Files << copy;
    }
    TBenchHost host;
    const TLangStrings strings;
    RunBatch(settings, strings, host);
    if (host.Pages == 0) {
        std::fprintf(stderr, "the editor was not shown\n");
        return 1;
    }
    std::printf("== Corner editor on %d pages\n", host.Pages);
    Print("preparation (detection included)", host.Prepared);
    Print("opening, thumbnails made in preparation", host.WithThumbs);
    Print("opening, every page decoded", host.WithoutThumbs);
    std::printf("  (each thumbnail added to preparation: %.1f ms wall)\n",
                ThumbnailCostMs(QString::fromLocal8Bit(argv[2]), dir.path()));
    std::vector<TTimes> loads = host.PageLoads;
    std::sort(loads.begin(), loads.end(),
              [](const TTimes& a, const TTimes& b) { return a.Wall < b.Wall; });
    if (!loads.empty()) {
        Print("page load (median)", loads[loads.size() / 2]);
    }
    return 0;
}
