// Random text for names nobody may guess: temporary folders and files, and
// the query that keeps caches from answering the update check.
#pragma once

#include <QRandomGenerator>
#include <QString>

namespace bitonix {

// n characters drawn uniformly from "abcdefghijklmnopqrstuvwxyz1234567890"
// with the system's cryptographic random source; empty for n <= 0.
inline QString generaternd(int n) {
    static constexpr char KAlphabet[] = "abcdefghijklmnopqrstuvwxyz1234567890";
    QString out;
    for (int i = 0; i < n; ++i) {
        out += QLatin1Char(KAlphabet[QRandomGenerator::system()->bounded(36)]);
    }
    return out;
}

} // namespace bitonix
