// Driving the corner editor in tests.
#include "EditorTestSupport.h"

#include "correction/DocCorrection.h"
#include "correction/PaintBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QTimer>
#include <cmath>

namespace bitonix::test {

QImage MakePhoto(int w, int h, const TCorners& doc) {
    QImage photo(w, h, QImage::Format_RGB32);
    QPainter p(&photo);
    QLinearGradient table(0, 0, w, h);
    table.setColorAt(0, QColor(70, 62, 55));
    table.setColorAt(1, QColor(40, 36, 33));
    p.fillRect(photo.rect(), table);
    const QImage page = MakeDocumentImage(420, 594);
    QPolygonF from;
    from << QPointF(0, 0) << QPointF(page.width(), 0) << QPointF(page.width(), page.height())
         << QPointF(0, page.height());
    QPolygonF to;
    for (const TPointF& c : doc) {
        to << QPointF(static_cast<double>(c.X), static_cast<double>(c.Y));
    }
    QTransform t;
    QTransform::quadToQuad(from, to, t);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(t);
    p.drawImage(0, 0, page);
    return photo;
}

TPageCorrection PageRecord(const QString& path, int w, int h, int globalNo, int globalCount) {
    TPageCorrection page;
    page.PageJpgFile = path;
    page.ImgW = w;
    page.ImgH = h;
    page.DisplayName = QStringLiteral("page.jpg");
    page.SourcePageNo = 1;
    page.SourcePageCount = 1;
    page.GlobalPageNo = globalNo;
    page.GlobalPageCount = globalCount;
    SetFullPageCorners(page);
    return page;
}

QString SaveJpeg(const QImage& image, const QString& path) {
    image.save(path, "JPEG", 90);
    return path;
}

namespace {

void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), widget->mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

void MousePress(QWidget* widget, QPoint pos, Qt::MouseButton button) {
    SendMouse(widget, QEvent::MouseButtonPress, pos, button, button);
}

void MouseMove(QWidget* widget, QPoint pos, Qt::MouseButtons buttons) {
    SendMouse(widget, QEvent::MouseMove, pos, Qt::NoButton, buttons);
}

void MouseRelease(QWidget* widget, QPoint pos, Qt::MouseButton button) {
    SendMouse(widget, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}

void MouseDrag(QWidget* widget, QPoint from, QPoint to) {
    MousePress(widget, from);
    constexpr int KSteps = 4;
    for (int i = 1; i <= KSteps; ++i) {
        MouseMove(widget, from + (to - from) * i / KSteps);
    }
    MouseRelease(widget, to);
}

void KeyPress(QWidget* widget, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

QPoint OnScreen(const TFormCorrection& form, TPointF p) {
    const TPointF s = form.Geometry().ImgToScreen(p);
    return {static_cast<int>(std::lround(static_cast<double>(s.X))),
            static_cast<int>(std::lround(static_cast<double>(s.Y)))};
}

void DragCorner(TFormCorrection& form, int k, TPointF target) {
    const TPointF from = form.Geometry().CurPage()->Corners[static_cast<std::size_t>(k)];
    MouseDrag(form.PaintBox1, OnScreen(form, from), OnScreen(form, target));
}

bool RunEditor(TFormCorrection& form, TPageCorrectionList& list,
               const std::function<void(TFormCorrection&)>& script) {
    QTimer::singleShot(0, &form, [&form, &script] {
        script(form);
        if (form.isVisible()) {
            form.reject();
        }
    });
    return form.Execute(list);
}

void AnswerNextMessageBox(QString* text) {
    QTimer::singleShot(0, [text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        *text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
}

} // namespace bitonix::test
