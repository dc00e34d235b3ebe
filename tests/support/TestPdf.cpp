// Minimal PDF writer for test fixtures.
#include "TestPdf.h"

#include <QFile>

namespace bitonix::test {

namespace {

QByteArray Num(double v) {
    return QByteArray::number(v, 'f', 3);
}

} // namespace

QByteArray MakePdf(const std::vector<TTestPage>& pages) {
    QByteArray out = "%PDF-1.4\n";
    std::vector<qsizetype> offsets;
    const auto add = [&](const QByteArray& body) {
        offsets.push_back(out.size());
        out += QByteArray::number(static_cast<qulonglong>(offsets.size())) + " 0 obj\n" + body +
               "\nendobj\n";
    };
    add("<</Type/Catalog/Pages 2 0 R>>");
    QByteArray kids;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        kids += QByteArray::number(static_cast<qulonglong>(3 + 2 * i)) + " 0 R ";
    }
    add("<</Type/Pages/Kids[" + kids + "]/Count " +
        QByteArray::number(static_cast<qulonglong>(pages.size())) + ">>");
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const TTestPage& p = pages[i];
        add("<</Type/Page/Parent 2 0 R/MediaBox[0 0 " + Num(p.W) + " " + Num(p.H) + "]/Rotate " +
            QByteArray::number(p.Rotate) + "/Contents " +
            QByteArray::number(static_cast<qulonglong>(4 + 2 * i)) + " 0 R>>");
        // A black square covering the top-left quarter of the unrotated page.
        const QByteArray content =
            "0 0 0 rg 0 " + Num(p.H / 2) + " " + Num(p.W / 2) + " " + Num(p.H / 2) + " re f\n";
        add("<</Length " + QByteArray::number(content.size()) + ">>\nstream\n" + content +
            "endstream");
    }
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(static_cast<qulonglong>(offsets.size() + 1)) + "\n";
    out += "0000000000 65535 f \n";
    for (const qsizetype off : offsets) {
        out += QByteArray::number(off).rightJustified(10, '0') + " 00000 n \n";
    }
    out += "trailer\n<</Size " + QByteArray::number(static_cast<qulonglong>(offsets.size() + 1)) +
           "/Root 1 0 R>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
    }
    return path;
}

QString WritePdf(const QString& path, const std::vector<TTestPage>& pages) {
    return WriteFile(path, MakePdf(pages));
}

} // namespace bitonix::test
