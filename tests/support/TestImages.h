// Small images made in code for tests.
#pragma once

#include "QtPrint.h"

#include <QImage>
#include <QString>

namespace bitonix::test {

// A page-like image: white with black bars of "text" and a solid black
// block in the top-left corner, so orientation can be told after rotation.
QImage MakeDocumentImage(int w, int h);

// Writes a multi-page colour TIFF: every page w x h, left half pure red,
// right half pure blue. Returns path.
QString WriteColourTiff(const QString& path, int pages, int w, int h);

// Runs a program and returns its exit code; its standard output goes to *out.
int RunTool(const QString& program, const QStringList& args, QByteArray* out = nullptr);

} // namespace bitonix::test
