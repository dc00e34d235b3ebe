// The program's message boxes and the one error box every window uses, and
// the guard that keeps exceptions out of Qt's slots and event handlers.
//
// Operations: ShowMessageBox, ShowErrorBox, Guarded.
#pragma once

#include "support/Error.h"

#include <QMessageBox>
#include <QString>

class QWidget;

namespace bitonix {

// Shows a modal message box over `parent` (nullptr: none) and returns the
// button pressed. `text` is shown as plain text: file names and texts from
// language files are never read as markup.
QMessageBox::StandardButton ShowMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                           const QString& title, const QString& text,
                                           QMessageBox::StandardButtons buttons);

// The application-wide error box: `text` with the critical icon, captioned
// with the application title.
void ShowErrorBox(QWidget* parent, const QString& text);

// Runs `handler`; whatever it throws is shown in the error box over `parent`
// instead of leaving a slot or an event handler (which Qt does not allow).
template <typename TFn> void Guarded(QWidget* parent, TFn&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        ShowErrorBox(parent, ExceptionText());
    }
}

} // namespace bitonix
