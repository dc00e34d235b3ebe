// What page extraction reports to the run while it splits a TIFF or renders
// a PDF: progress per page, a chance to process events, and the stop flag.
#pragma once

#include "support/OrderedWork.h"

#include <QString>

namespace bitonix {

class TExtractFeedback {
public:
    virtual ~TExtractFeedback() = default;
    // The stop flag; read before every page.
    virtual bool Cancelled() const = 0;
    // Shows "<Preparing>: <fileName> (<page> <page>/<count>)"; `page` is 1-based.
    virtual void PageProgress(const QString& fileName, int page, int count) = 0;
    // Processes pending events.
    virtual void Pump() = 0;
    // Waits for work on a worker thread (a window goes on handling events).
    virtual void Await(TAwaitable& work) { work.Wait(); }
};

} // namespace bitonix
