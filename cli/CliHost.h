// The run's view of the terminal: status lines on standard error, Ctrl-C as
// the stop request.
#pragma once

#include "pipeline/RunHost.h"

namespace bitonix {

class TCliHost : public TRunHost {
public:
    explicit TCliHost(bool quiet) : FQuiet(quiet) {}

    // Makes SIGINT and SIGTERM set the stop flag instead of ending the
    // process; a second signal ends it at once.
    static void InstallStopSignals();
    static bool StopRequested();

    bool Cancelled() const override { return StopRequested(); }
    void SetStatusText(const QString& text) override;
    void SetProgressLabel(const QString&) override {}
    void SetProgressMarquee(bool) override {}
    void SetProgress(int, int) override {}
    bool WantsPreview() const override { return false; }
    void ShowPreview(const QImage&) override {}
    void SelectListRow(int) override {}
    void MergedOutputChanged(const QString&) override {}
    void Pump() override {}
    void ShowMessage(const QString& text) override;
    // The command line has no editor: pages keep their corners.
    bool EditCorrections(TPageCorrectionList&) override { return true; }

private:
    bool FQuiet;
    QString FLastStatus;
};

} // namespace bitonix
