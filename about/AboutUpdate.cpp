// TAbout: the update check and the offer of a newer version.
#include "about/About.h"

#include "about/NewVersionDialog.h"
#include "about/VersionCheck.h"
#include "app/MainWindow.h"
#include "pipeline/TempFiles.h"
#include "support/Error.h"
#include "support/MessageBox.h"

#include <QPushButton>
#include <exception>

namespace bitonix {

void TAbout::btn1Click() {
    btn1->setEnabled(false);
    try {
        const TVersionAnswer answer =
            FetchVersionDocument(VersionDocumentUrl(FUpdateServer, generaternd(8)));
        const TVersionInfo info = ParseVersionDocument(answer, DefaultInfoUrl(FUpdateServer));
        if (CompareVersionText(info.Version, FForm.prognamever) == 1) {
            ShowNewVersionDialog(info.Version, info.InfoUrl);
        } else {
            ShowBox(QMessageBox::Information, FForm.Strings.SUpdLatest, QMessageBox::Ok);
        }
    } catch (const std::exception& e) {
        ShowBox(QMessageBox::Warning,
                FForm.Strings.SUpdCheckFailed + QLatin1Char('\n') + QString::fromUtf8(e.what()),
                QMessageBox::Ok);
    }
    btn1->setEnabled(true);
}

void TAbout::ShowNewVersionDialog(const QString& version, const QUrl& url) {
    QString message = FForm.Strings.SUpdNewVersionMsg;
    message.replace(QStringLiteral("%s"), version);
    try {
        TNewVersionDialog dialog(FForm.Strings.SUpdTitle, message, url, this);
        connect(&dialog, &TNewVersionDialog::HyperlinkClicked, this, [this](const QUrl& link) {
            Guarded(this, [this, &link] { VersionDialogHyperlinkClicked(link); });
        });
        ExecVersionDialog(dialog);
        return;
    } catch (const std::exception&) {
        // No dialog: the plain question below offers the page instead.
    }
    const QString question =
        message + QLatin1Char('\n') + url.toString() + QLatin1Char('\n') + FForm.Strings.SUpdAsk;
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
