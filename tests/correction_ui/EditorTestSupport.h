// Helpers for driving the corner editor in tests: page records and photos
// made in code, mouse and key input, and running the modal editor with a
// script. The QApplication lives in the test program's main.
#pragma once

#include "TestImages.h"
#include "correction/FormCorrection.h"

#include <QPoint>
#include <functional>

namespace bitonix::test {

// A photo: a document page (MakeDocumentImage) in perspective with its
// corners at `doc`, on a darker, slightly uneven background of w x h.
QImage MakePhoto(int w, int h, const TCorners& doc);

// A record for the page JPEG at `path` of w x h with full-page corners,
// numbered `globalNo` of `globalCount` in the batch.
TPageCorrection PageRecord(const QString& path, int w, int h, int globalNo = 1,
                           int globalCount = 1);

// Writes `image` as JPEG to `path` and returns `path`.
QString SaveJpeg(const QImage& image, const QString& path);

// Mouse input as the window system delivers it.
void MousePress(QWidget* widget, QPoint pos, Qt::MouseButton button = Qt::LeftButton);
void MouseMove(QWidget* widget, QPoint pos, Qt::MouseButtons buttons = Qt::LeftButton);
void MouseRelease(QWidget* widget, QPoint pos, Qt::MouseButton button = Qt::LeftButton);
// Press at `from`, move in a few steps to `to`, release there.
void MouseDrag(QWidget* widget, QPoint from, QPoint to);
void KeyPress(QWidget* widget, Qt::Key key);

// Where the editor shows image point p of the current page, to the pixel.
QPoint OnScreen(const TFormCorrection& form, TPointF p);
// Drags corner k of the current page onto image point `target`.
void DragCorner(TFormCorrection& form, int k, TPointF target);

// Runs Execute on `list`; `script` runs inside the modal loop and should end
// by pressing OK or Cancel (the window is cancelled after it otherwise).
bool RunEditor(TFormCorrection& form, TPageCorrectionList& list,
               const std::function<void(TFormCorrection&)>& script);

// Answers the next modal message box with OK and hands back its text.
void AnswerNextMessageBox(QString* text);

} // namespace bitonix::test
