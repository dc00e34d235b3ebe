// A run host for tests: records what the run shows and raises the stop flag
// after a given number of processed pages.
#pragma once

#include "pipeline/RunHost.h"

#include <QStringList>
#include <functional>

namespace bitonix::test {

class TRecordingHost : public TRunHost {
public:
    int StopAfterPages = -1;   // processed pages after which Cancelled() is true
    int StopAfterWritten = -1; // written PDFs after which Cancelled() is true
    int StopAfterStatus = -1;  // status texts after which Cancelled() is true
    bool ConfirmEditor = true;
    QStringList Status;
    QStringList Labels;
    QStringList Messages;
    int Previews = 0;
    int Selected = -1;
    int EditorCalls = 0;
    int Processed = 0;
    QString Merged;
    QStringList Written; // PDFs reported as complete, in order
    std::function<void(TPageCorrectionList&)> Edit;
    std::function<void()> OnProgress; // called whenever the progress position is set

    bool Cancelled() const override {
        return (StopAfterPages >= 0 && Processed >= StopAfterPages) ||
               (StopAfterWritten >= 0 && Written.size() >= StopAfterWritten) ||
               (StopAfterStatus >= 0 && Status.size() >= StopAfterStatus);
    }
    void SetStatusText(const QString& text) override { Status << text; }
    void SetProgressLabel(const QString& text) override { Labels << text; }
    void SetProgressMarquee(bool) override {}
    void SetProgress(int, int position) override {
        Processed = position;
        if (OnProgress) {
            OnProgress();
        }
    }
    bool WantsPreview() const override { return true; }
    void ShowPreview(const QImage& page) override { Previews += page.isNull() ? 0 : 1; }
    void SelectListRow(int row) override { Selected = row; }
    void MergedOutputChanged(const QString& path) override { Merged = path; }
    void OutputWritten(const QString& path) override { Written << path; }
    void Pump() override {}
    void ShowMessage(const QString& text) override { Messages << text; }
    bool EditCorrections(TPageCorrectionList& list) override {
        ++EditorCalls;
        if (ConfirmEditor && Edit) {
            Edit(list);
        }
        return ConfirmEditor;
    }
};

} // namespace bitonix::test
