// Small pieces every window of the program builds itself from: object names,
// fonts, web links that keyboard users reach too, and centring on the screen.
//
// Operations: Named, WithPointSize, SetWebLink, CentreOnScreen.
#pragma once

#include <QFont>
#include <QSize>
#include <QString>

class QLabel;
class QScreen;
class QWidget;

namespace bitonix {

// The size every button image is shown at, in pixels (the main window's image
// list, which the About box and the corner editor borrow).
inline constexpr QSize KButtonImageSize(24, 24);

// Names `widget` (its control name, which tests find it by) and returns it.
template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// `font` at `points`, bold or not.
QFont WithPointSize(QFont font, int points, bool bold);

// Makes `label` a link to `url` reading `text`: bold, navy, with the hand
// cursor. It takes the keyboard focus by Tab (and is underlined while it has
// it), and Enter or Space on it activates the link (QLabel::linkActivated
// with `url`), as a click does.
void SetWebLink(QLabel& label, const QString& url, const QString& text);

// Moves the top-level `window` so that its frame stands centred on the
// available area of `screen` (nothing happens without one); where the window
// is larger than the area, its frame starts at the area's top or left edge.
// Call it while the window is hidden (before showing it), so that the
// position is applied to the frame once and does not creep between showings.
void CentreOnScreen(QWidget& window, const QScreen* screen);

} // namespace bitonix
