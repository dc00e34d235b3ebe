// Takes the editor's picture for the documentation: a photographed page in
// perspective on a table, its outline as detection would propose it, the
// program's icons on the buttons. Run under a virtual X server:
//   xvfb-run -a -s "-screen 0 1280x900x24" editor_screenshot docs/editor.png
#include "EditorTestSupport.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace bitonix;
using namespace bitonix::test;

namespace {

// A printed page: heading, paragraphs of grey "words", a table and a stamp.
QImage PrintedPage(int w, int h) {
    QImage page(w, h, QImage::Format_RGB32);
    page.fill(QColor(250, 249, 244));
    QPainter p(&page);
    QRandomGenerator rng(7);
    const int margin = w / 10;
    p.fillRect(margin, h / 14, w / 2, h / 40, QColor(30, 30, 30));
    int y = h / 14 + h / 18;
    const int lineH = h / 110;
    for (int paragraph = 0; paragraph < 6; ++paragraph) {
        const int lines = 3 + static_cast<int>(rng.bounded(4));
        for (int l = 0; l < lines; ++l) {
            int x = margin;
            const int end =
                l == lines - 1 ? w / 2 + static_cast<int>(rng.bounded(w / 4)) : w - margin;
            while (x < end) {
                const int word = w / 40 + static_cast<int>(rng.bounded(w / 14));
                p.fillRect(x, y, std::min(word, end - x), lineH, QColor(45, 45, 50));
                x += word + w / 90;
            }
            y += lineH * 2;
        }
        y += lineH * 2;
        if (paragraph == 2) {
            p.setPen(QPen(QColor(40, 40, 40), std::max(1, w / 400)));
            for (int r = 0; r <= 4; ++r) {
                p.drawLine(margin, y + r * lineH * 3, w - margin, y + r * lineH * 3);
            }
            for (int c = 0; c <= 3; ++c) {
                const int x = margin + c * (w - 2 * margin) / 3;
                p.drawLine(x, y, x, y + 12 * lineH);
            }
            y += 14 * lineH;
        }
    }
    p.setPen(QPen(QColor(40, 60, 160), w / 150));
    p.drawEllipse(QPoint(w * 3 / 4, h * 7 / 8), w / 10, w / 10);
    return page;
}

// The page photographed at an angle on a wooden table, lit from one side.
QImage Photo(int w, int h, const TCorners& doc) {
    QImage photo(w, h, QImage::Format_RGB32);
    QPainter p(&photo);
    QLinearGradient wood(0, 0, w, h / 3);
    wood.setSpread(QGradient::ReflectSpread);
    wood.setColorAt(0, QColor(112, 78, 48));
    wood.setColorAt(0.5, QColor(92, 62, 38));
    wood.setColorAt(1, QColor(120, 84, 52));
    p.fillRect(photo.rect(), wood);
    QPolygonF shadow;
    QPolygonF to;
    for (const TPointF& c : doc) {
        const QPointF q(static_cast<double>(c.X), static_cast<double>(c.Y));
        to << q;
        shadow << q + QPointF(12, 16);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 28, 18, 150));
    p.drawPolygon(shadow);
    const QImage page = PrintedPage(840, 1188);
    QPolygonF from;
    from << QPointF(0, 0) << QPointF(page.width(), 0) << QPointF(page.width(), page.height())
         << QPointF(0, page.height());
    QTransform t;
    QTransform::quadToQuad(from, to, t);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setTransform(t);
    p.drawImage(0, 0, page);
    p.resetTransform();
    QRadialGradient light(QPointF(w * 0.2, h * 0.1), w);
    light.setColorAt(0, QColor(255, 255, 255, 0));
    light.setColorAt(1, QColor(0, 0, 0, 90));
    p.fillRect(photo.rect(), light);
    return photo;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: editor_screenshot <output.png>\n");
        return 2;
    }
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const TCorners doc = {TPointF{450, 110}, TPointF{1230, 175}, TPointF{1310, 1120},
                          TPointF{340, 1060}};
    TPageCorrectionList list;
    for (int i = 0; i < 4; ++i) {
        TCorners shifted = doc;
        for (TPointF& c : shifted) {
            c.X += static_cast<float>(i * 25);
        }
        const QString path =
            SaveJpeg(Photo(1600, 1200, shifted), dir.filePath(QString("p%1.jpg").arg(i)));
        TPageCorrection page = PageRecord(path, 1600, 1200, i + 1, 4);
        page.DisplayName = QStringLiteral("umowa-telefon.jpg");
        page.SourcePageNo = i + 1;
        page.SourcePageCount = 4;
        page.Corners = shifted;
        page.AutoDetected = true;
        list << page;
    }
    // Detection missed one corner a little.
    list[1].Corners[2] = TPointF{1370, 1150};

    TFormCorrection form;
    form.ApplyButtonImages([](const QString& name) {
        return QIcon(QStringLiteral(BITONIX_ICON_DIR "/") + name + QStringLiteral(".svg"));
    });
    bool saved = false;
    RunEditor(form, list, [&](TFormCorrection& f) {
        f.LoadPage(1);
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
        saved = f.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
        f.btnCancel->click();
    });
    return saved ? 0 : 1;
}
