// TAbout: the update check and the offer of a newer version.
#include "about/About.h"

#include "about/NewVersionDialog.h"
#include "about/VersionCheck.h"
#include "support/Error.h"
#include "support/MessageBox.h"
#include "support/RandomText.h"

#include <QPushButton>
#include <exception>

namespace bitonix {

void TAbout::btn1Click() {
    btn1->setEnabled(false);
    try {
        const TVersionAnswer answer =
            FetchVersionDocument(VersionDocumentUrl(FUpdateServer, generaternd(8)));
        const TVersionInfo info = ParseVersionDocument(answer, DefaultInfoUrl(FUpdateServer));
        if (CompareVersionText(info.Version, FOwner.ProgNameVer()) == 1) {
            ShowNewVersionDialog(info.Version, info.InfoUrl);
        } else {
            ShowBox(QMessageBox::Information, FOwner.Strings().SUpdLatest, QMessageBox::Ok);
        }
    } catch (const std::exception& e) {
        ShowBox(QMessageBox::Warning,
                FOwner.Strings().SUpdCheckFailed + QLatin1Char('\n') + QString::fromUtf8(e.what()),
                QMessageBox::Ok);
    }
    btn1->setEnabled(true);
}

void TAbout::ShowNewVersionDialog(const QString& version, const QUrl& url) {
    QString message = FOwner.Strings().SUpdNewVersionMsg;
    message.replace(QStringLiteral("%s"), version);
    try {
        TNewVersionDialog dialog(FOwner.Strings().SUpdTitle, message, url, this);
        connect(&dialog, &TNewVersionDialog::HyperlinkClicked, this, [this](const QUrl& link) {
            Guarded(this, [this, &link] { VersionDialogHyperlinkClicked(link); });
        });
        ExecVersionDialog(dialog);
        return;
    } catch (const std::exception&) {
        // No dialog: the plain question below offers the page instead.
    }
    const QString question =
        message + QLatin1Char('\n') + url.toString() + QLatin1Char('\n') + FOwner.Strings().SUpdAsk;
    if (ShowBox(QMessageBox::Information, question, QMessageBox::Yes | QMessageBox::No) ==
        QMessageBox::Yes) {
        OpenUrl(url);
    }
}

void TAbout::ExecVersionDialog(TNewVersionDialog& dialog) {
    dialog.exec();
}

void TAbout::VersionDialogHyperlinkClicked(const QUrl& url) {
    OpenUrl(url);
}

} // namespace bitonix
