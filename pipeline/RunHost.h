// The narrow view a run has of its surroundings: the main window implements
// it for the desktop, bitonix-cli for the terminal, tests with a recorder.
#pragma once

#include "correction/PageCorrection.h"
#include "support/OrderedWork.h"

#include <QImage>
#include <QString>

namespace bitonix {

class TRunHost {
public:
    virtual ~TRunHost() = default;

    // The stop flag; polled between files, between extracted pages and after
    // every processed page.
    virtual bool Cancelled() const = 0;
    // The status bar's single text.
    virtual void SetStatusText(const QString& text) = 0;
    // The progress label above the bar.
    virtual void SetProgressLabel(const QString& text) = 0;
    // Indeterminate (marquee) progress while inputs are prepared.
    virtual void SetProgressMarquee(bool on) = 0;
    // Determinate progress: position of maximum pages.
    virtual void SetProgress(int maximum, int position) = 0;
    // Whether ShowPreview is worth calling (decoding the page costs time).
    virtual bool WantsPreview() const = 0;
    // The last binarised page, rotation included.
    virtual void ShowPreview(const QImage& page) = 0;
    // Marks a row of the file list as selected (earlier selections stay).
    virtual void SelectListRow(int row) = 0;
    // The merged output was made unique, or saved under the next free name
    // because its name was taken meanwhile; the name box shows this name.
    virtual void MergedOutputChanged(const QString& path) = 0;
    // A PDF is complete on disk under `path` (the name actually written).
    virtual void OutputWritten(const QString& /*path*/) {}
    // Processes pending events so the window stays responsive.
    virtual void Pump() = 0;
    // Waits for pixel work running on worker threads. The window keeps
    // handling its events meanwhile (a Stop press or a close is seen at once);
    // a host without events simply blocks. Not a pump: it runs no handlers a
    // run counts on.
    virtual void Await(TAwaitable& work) { work.Wait(); }
    // A plain message box (used once per run when Leptonica is missing).
    virtual void ShowMessage(const QString& text) = 0;
    // Shows the corner editor over all pages. Returns true when the user
    // confirmed (the list then holds the edits), false when dismissed (the
    // list is unchanged).
    virtual bool EditCorrections(TPageCorrectionList& corrections) = 0;
};

} // namespace bitonix
