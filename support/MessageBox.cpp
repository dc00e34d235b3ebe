// The program's message boxes.
#include "support/MessageBox.h"

#include "support/Version.h"

namespace bitonix {

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                           const QString& title, const QString& text,
                                           QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void ShowErrorBox(QWidget* parent, const QString& text) {
    ShowMessageBox(parent, QMessageBox::Critical, KAppTitle, text, QMessageBox::Ok);
}

} // namespace bitonix
