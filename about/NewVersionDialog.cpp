// The dialog that offers a newer version.
#include "about/NewVersionDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace bitonix {

TNewVersionDialog::TNewVersionDialog(const QString& title, const QString& instruction,
                                     const QUrl& url, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("NewVersionDialog"));
    setWindowTitle(title);

    auto* icon = new QLabel(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()
                        ->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this)
                        .pixmap(iconSize, iconSize));
    icon->setAlignment(Qt::AlignTop);

    lblInstruction = new QLabel(instruction, this);
    lblInstruction->setTextFormat(Qt::PlainText);
    // One line: the dialog takes the heading's width. (A wrapped label in a
    // dialog is not given the height its lines need, and would be cut.)
    QFont heading = lblInstruction->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.25);
    heading.setBold(true);
    lblInstruction->setFont(heading);

    const QString address = url.toString(QUrl::FullyEncoded);
    lblLink = new QLabel(this);
    lblLink->setTextFormat(Qt::RichText);
    lblLink->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                         .arg(address.toHtmlEscaped(), url.toString().toHtmlEscaped()));
    lblLink->setOpenExternalLinks(false);
    lblLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(lblLink, &QLabel::linkActivated, this,
            [this](const QString& link) { emit HyperlinkClicked(QUrl(link)); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    btnOk = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(lblInstruction);
    text->addWidget(lblLink);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addLayout(text, 1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(buttons);
}

} // namespace bitonix
