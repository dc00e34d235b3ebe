// Writes the whole-run benchmark's inputs into a folder: a 10-page A4 text
// PDF, a 1-page one, and ten 12-megapixel document photos as JPEG.
//
// Usage: bench_inputs FOLDER
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QTransform>
#include <cstdio>

namespace {

void TextPage(QPainter& p, int page) {
    QFont font("DejaVu Serif");
    font.setPixelSize(38);
    p.setFont(font);
    for (int y = 150; y < 3300; y += 55) {
        p.drawText(150, y,
                   QString("Page %1. The quick brown fox jumps over the lazy dog; "
                           "0123456789 (Bitonix).")
                       .arg(page + 1));
    }
    p.fillRect(150, 2600, 800, 400, QColor(90, 90, 90));
}

void WritePdf(const QString& path, int pages) {
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(300);
    QPainter p(&pdf);
    for (int i = 0; i < pages; ++i) {
        if (i > 0) {
            pdf.newPage();
        }
        TextPage(p, i);
    }
}

// A sheet of paper photographed on a desk: tilted, unevenly lit, noisy.
void WritePhoto(const QString& path, int seed) {
    QRandomGenerator rng(static_cast<quint32>(seed));
    QImage img(4000, 3000, QImage::Format_RGB32);
    img.fill(QColor(70, 55, 45));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QTransform t;
    t.translate(2000, 1500);
    t.rotate(88 + rng.bounded(5));
    t.scale(0.78, 0.78);
    t.translate(-1240, -1754);
    p.setTransform(t);
    p.fillRect(0, 0, 2480, 3508, QColor(235, 232, 225));
    TextPage(p, seed);
    p.resetTransform();
    QLinearGradient shade(0, 0, 4000, 3000);
    shade.setColorAt(0, QColor(0, 0, 0, 0));
    shade.setColorAt(1, QColor(0, 0, 0, 90));
    p.fillRect(img.rect(), shade);
    p.end();
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); x += 3) {
            const int n = static_cast<int>(rng.bounded(17)) - 8;
            const QRgb c = line[x];
            line[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                           std::clamp(qBlue(c) + n, 0, 255));
        }
    }
    img.save(path, "JPEG", 90);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_inputs FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    WritePdf(dir.filePath("ten.pdf"), 10);
    WritePdf(dir.filePath("one.pdf"), 1);
    for (int i = 0; i < 10; ++i) {
        WritePhoto(dir.filePath(QString("photo%1.jpg").arg(i + 1, 2, 10, QChar('0'))), i);
    }
    return 0;
}
