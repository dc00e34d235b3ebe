// Progress line texts: counters, percentage, rate and time left.
#include "cli/CliProgress.h"

#include "support/Rounding.h"

#include <cmath>

namespace bitonix {

QString FileCounter(int fileNo, int fileCount) {
    return QStringLiteral("[%1/%2] ").arg(fileNo).arg(fileCount);
}

QString ClockText(int seconds) {
    const int h = seconds / 3600;
    const int m = seconds / 60 % 60;
    const int s = seconds % 60;
    const QString ss = QStringLiteral("%1").arg(s, 2, 10, QLatin1Char('0'));
    if (h > 0) {
        return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(ss);
    }
    return QStringLiteral("%1:%2").arg(m).arg(ss);
}

QString PageProgressLine(const TPageProgress& p) {
    QString line = FileCounter(p.FileNo, p.FileCount);
    if (p.Total > 0) {
        line += QStringLiteral("%1/%2 pages, %3% | ")
                    .arg(p.Done)
                    .arg(p.Total)
                    .arg(RoundEven(100.0 * p.Done / p.Total));
    }
    if (p.Seconds > 0 && p.Done > 0) {
        const double rate = p.Done / p.Seconds;
        line += QString::number(rate, 'f', rate < 1 ? 2 : 1) + QStringLiteral(" pages/s | ");
        if (p.Total > p.Done) {
            const double left = (p.Total - p.Done) / rate;
            line += ClockText(static_cast<int>(std::lround(left))) + QStringLiteral(" left | ");
        }
    }
    line += p.Name;
    if (p.Page > 0) {
        line += QStringLiteral(", page ") + QString::number(p.Page);
    }
    return line;
}

QString FitToWidth(const QString& line, int width) {
    if (line.size() <= width) {
        return line;
    }
    if (width <= 3) {
        return line.left(width);
    }
    return line.left(width - 3) + QStringLiteral("...");
}

} // namespace bitonix
