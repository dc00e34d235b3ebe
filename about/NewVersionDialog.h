// The dialog that offers a newer version: a heading, a link to its page and
// an OK button. A click on the link is reported and leaves the dialog open.
#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;

namespace bitonix {

class TNewVersionDialog : public QDialog {
    Q_OBJECT
public:
    // `title`: the window caption; `instruction`: the heading (the new version
    // announced); `url`: the page, shown as a link that reads as the address
    // itself (escaped, so the text of the address cannot become markup).
    TNewVersionDialog(const QString& title, const QString& instruction, const QUrl& url,
                      QWidget* parent);

    QLabel* lblInstruction = nullptr;
    QLabel* lblLink = nullptr;
    QPushButton* btnOk = nullptr;

signals:
    // The link was clicked; `url` is the address it points to.
    void HyperlinkClicked(const QUrl& url);
};

} // namespace bitonix
