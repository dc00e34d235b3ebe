// Tiny PDF files made in code for tests: pages of any size and rotation, each
// with a black square in its top-left quarter.
#pragma once

#include "QtPrint.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace bitonix::test {

struct TTestPage {
    double W = 595;
    double H = 842;
    int Rotate = 0;
};

// The bytes of a PDF with the given pages.
QByteArray MakePdf(const std::vector<TTestPage>& pages);
// Writes MakePdf(pages) to path; returns path.
QString WritePdf(const QString& path, const std::vector<TTestPage>& pages);
// Writes raw bytes to path; returns path.
QString WriteFile(const QString& path, const QByteArray& bytes);

} // namespace bitonix::test
