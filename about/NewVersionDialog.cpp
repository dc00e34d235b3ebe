// The dialog that offers a newer version.
#include "about/NewVersionDialog.h"

#include "support/WindowTools.h"

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

    // A link that reads as the address itself, reached by Tab and opened by
    // Enter as by a click.
    lblLink = new QLabel(this);
    SetWebLink(*lblLink, url.toString(QUrl::FullyEncoded), url.toString());
    connect(lblLink, &QLabel::linkActivated, this,
            [this](const QString& link) { emit HyperlinkClicked(QUrl(link)); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    btnOk = buttons->button(QDialogButtonBox::Ok);
    btnOk->setFocus(); // Enter closes the dialog; Tab reaches the link
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
