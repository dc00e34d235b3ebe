// TAbout: the About box. Shows the program, its licence and the libraries'
// notices, switches the interface language and checks for a newer version.
//
// Operations: FormShow, LoadLicenseText, BitBtn1Click, Label4Click, OpenUrl,
// btn1Click, ShowNewVersionDialog, VersionDialogHyperlinkClicked.
#pragma once

#include "about/AboutOwner.h"

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QUrl>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace bitonix {

class TNewVersionDialog;

// The embedded licence text: UTF-8 with a byte-order mark.
inline const QString KLicenseResource = QStringLiteral(":/BITONIX_LICENSE");

class TAbout : public QDialog {
    Q_OBJECT
public:
    // Builds the box for `owner`, whose name, texts, images and language it
    // shows and whose language it changes, as a child window of `parent`.
    // `owner` must outlive the box.
    TAbout(TAboutOwner& owner, QWidget* parent);

    // At every showing, before the box appears: reloads the licence, puts the
    // current language's texts and the images into the controls, sizes the
    // box to them (482 x 426, or larger where the texts need it), selects the
    // list item of the owner's language ("pl" 0, "en" 1, "de" 2; any other
    // code keeps the selection, at first "Polski") and centres the box on the
    // screen.
    void FormShow();
    // Fills Memo1 from the licence resource; when it cannot be read, Memo1
    // holds the one line "Nie mozna wczytac licencji: " + the reason.
    void LoadLicenseText();
    // The close button: the selected item is stored in the settings file as
    // the language, the owner switches to it, and the box closes. When the
    // settings file cannot be written the error is shown and nothing changes:
    // the box stays open, the owner keeps its language and texts. Closing the
    // box any other way applies nothing.
    void BitBtn1Click();
    // The web link: opens the maker's web site.
    void Label4Click();
    // Hands `url` to the browser when it is a web address (IsWebUrl); any
    // other address is ignored.
    void OpenUrl(const QUrl& url);
    // The update button: asks the server for the version document and offers
    // a newer version (ShowNewVersionDialog) or says this one is the latest;
    // a failure is shown as SUpdCheckFailed, a line break and its reason.
    // btn1 is disabled exactly while the check runs.
    void btn1Click();
    // Offers `version` with its page `url` (a web address) in a dialog whose
    // link opens the page and leaves the dialog open. When the dialog cannot
    // be shown, a Yes/No box asks instead and Yes opens the page.
    void ShowNewVersionDialog(const QString& version, const QUrl& url);
    // A click on the new-version dialog's link: opens `url` (OpenUrl).
    void VersionDialogHyperlinkClicked(const QUrl& url);

    // Where the update check asks; UpdateServer() unless changed.
    void SetUpdateServer(const QUrl& server) { FUpdateServer = server; }
    // Where the licence is read from; KLicenseResource unless changed.
    void SetLicenseResource(const QString& path) { FLicenseResource = path; }

    void setVisible(bool visible) override;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label4 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cbb1 = nullptr;
    QPushButton* btn1 = nullptr;
    QPushButton* BitBtn1 = nullptr;

protected:
    // The browser, a message box and the new-version dialog go through these
    // so that tests can watch them instead of blocking on a modal window.
    virtual void OpenInBrowser(const QUrl& url);
    virtual QMessageBox::StandardButton ShowBox(QMessageBox::Icon icon, const QString& text,
                                                QMessageBox::StandardButtons buttons);
    // Shows `dialog` modally; throws when it cannot be shown.
    virtual void ExecVersionDialog(TNewVersionDialog& dialog);

private:
    void CreateControls();
    // Memo1 as wide as the widest licence line that has no blank to wrap at
    // (the rules of "=" under the headings), at least its design width.
    void FitMemoToLicence();

    TAboutOwner& FOwner;
    QUrl FUpdateServer;
    QString FLicenseResource = KLicenseResource;
};

} // namespace bitonix
