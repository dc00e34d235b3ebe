// Records what extraction reports and raises the stop flag after N pages.
#pragma once

#include "imaging/ExtractFeedback.h"

#include <QStringList>

namespace bitonix::test {

class TFakeFeedback : public TExtractFeedback {
public:
    int StopAfter = -1; // pages after which Cancelled() turns true; -1: never
    QStringList Progress;
    int Pumps = 0;

    bool Cancelled() const override { return StopAfter >= 0 && Progress.size() >= StopAfter; }
    void PageProgress(const QString& fileName, int page, int count) override {
        Progress << QStringLiteral("%1 %2/%3").arg(fileName).arg(page).arg(count);
    }
    void Pump() override { ++Pumps; }
};

} // namespace bitonix::test
