// Object names, fonts, keyboard-reachable web links and centring.
#include "support/WindowTools.h"

#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QWidget>

namespace bitonix {

namespace {

// The link's text: bold navy, underlined while it has the keyboard focus.
QString LinkHtml(const QString& url, const QString& text, bool focused) {
    return QStringLiteral("<a href=\"%1\" style=\"color:#000080; font-weight:bold; "
                          "text-decoration:%3\">%2</a>")
        .arg(url.toHtmlEscaped(), text.toHtmlEscaped(),
             focused ? QStringLiteral("underline") : QStringLiteral("none"));
}

// Keyboard use of a link label: Enter or Space activates the link, and the
// link is underlined while the label has the focus. Tab passes on at once
// (the label has one link, nothing to step through).
class TLinkKeys : public QObject {
public:
    TLinkKeys(QLabel& label, QString url, QString text)
        : QObject(&label), FUrl(std::move(url)), FText(std::move(text)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // While the label is being destroyed it is no QLabel any more (and
        // still loses the focus): nothing to do then.
        auto* label = qobject_cast<QLabel*>(watched);
        if (label == nullptr) {
            return QObject::eventFilter(watched, event);
        }
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
                emit label->linkActivated(FUrl);
                return true;
            }
        } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            label->setText(LinkHtml(FUrl, FText, event->type() == QEvent::FocusIn));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString FUrl;
    QString FText;
};

} // namespace

QFont WithPointSize(QFont font, int points, bool bold) {
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

void SetWebLink(QLabel& label, const QString& url, const QString& text) {
    label.setTextFormat(Qt::RichText);
    label.setText(LinkHtml(url, text, false));
    label.setCursor(Qt::PointingHandCursor);
    label.setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    label.setFocusPolicy(Qt::StrongFocus);
    label.installEventFilter(new TLinkKeys(label, url, text)); // owned by the label
}

void CentreOnScreen(QWidget& window, const QScreen* screen) {
    if (screen == nullptr) {
        return;
    }
    // The frame is known once the window exists on the platform; before its
    // first showing it does not yet.
    window.winId();
    const QRect area = screen->availableGeometry();
    const QSize outer = window.frameGeometry().size().expandedTo(window.size());
    window.move(area.left() + qMax(0, (area.width() - outer.width()) / 2),
                area.top() + qMax(0, (area.height() - outer.height()) / 2));
}

} // namespace bitonix
