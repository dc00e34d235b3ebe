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
    // Every call the run made, in order, with its arguments: two runs that
    // behaved alike for their surroundings have equal logs.
    mutable QStringList Calls;
    QStringList Written; // PDFs reported as complete, in order
    std::function<void(TPageCorrectionList&)> Edit;
    std::function<void()> OnProgress; // called whenever the progress position is set

    bool Cancelled() const override {
        const bool stop = (StopAfterPages >= 0 && Processed >= StopAfterPages) ||
                          (StopAfterWritten >= 0 && Written.size() >= StopAfterWritten) ||
                          (StopAfterStatus >= 0 && Status.size() >= StopAfterStatus);
        Calls << QStringLiteral("Cancelled %1").arg(stop);
        return stop;
    }
    void SetStatusText(const QString& text) override {
        Calls << QStringLiteral("Status ") + text;
        Status << text;
    }
    void SetProgressLabel(const QString& text) override {
        Calls << QStringLiteral("Label ") + text;
        Labels << text;
    }
    void SetProgressMarquee(bool on) override { Calls << QStringLiteral("Marquee %1").arg(on); }
    void SetProgress(int maximum, int position) override {
        Calls << QStringLiteral("Progress %1/%2").arg(position).arg(maximum);
        Processed = position;
        if (OnProgress) {
            OnProgress();
        }
    }
    bool WantsPreview() const override { return true; }
    void ShowPreview(const QImage& page) override {
        Calls << QStringLiteral("Preview %1x%2").arg(page.width()).arg(page.height());
        Previews += page.isNull() ? 0 : 1;
    }
    void SelectListRow(int row) override {
        Calls << QStringLiteral("Select %1").arg(row);
        Selected = row;
    }
    void MergedOutputChanged(const QString& path) override {
        Calls << QStringLiteral("Merged ") + path;
        Merged = path;
    }
    void Pump() override { Calls << QStringLiteral("Pump"); }
    void ShowMessage(const QString& text) override {
        Calls << QStringLiteral("Message ") + text;
        Messages << text;
    }
    void OutputWritten(const QString& path) override {
        Calls << QStringLiteral("Written ") + path;
        Written << path;
    }
    bool EditCorrections(TPageCorrectionList& list) override {
        Calls << QStringLiteral("Editor %1").arg(list.size());
        ++EditorCalls;
        if (ConfirmEditor && Edit) {
            Edit(list);
        }
        return ConfirmEditor;
    }
};

} // namespace bitonix::test
