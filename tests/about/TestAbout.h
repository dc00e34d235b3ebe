// The About box over a main window, with its message boxes, the browser and
// the new-version dialog watched by the test instead of shown.
#pragma once

#include "WindowFit.h"
#include "about/About.h"
#include "about/NewVersionDialog.h"
#include "app/MainWindow.h"

#include <QLabel>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace bitonix::test {

struct TShownBox {
    QMessageBox::Icon Icon;
    QString Text;
    QMessageBox::StandardButtons Buttons;
};

// What the new-version dialog showed.
struct TShownDialog {
    QString Title;
    QString Instruction;
    QString LinkText; // the link label's rich text
    bool StillOpenAfterClick = false;
};

class TTestAbout : public TAbout {
public:
    using TAbout::TAbout;

    std::vector<TShownBox> Boxes;
    std::vector<TShownDialog> Dialogs;
    std::vector<QUrl> Opened;
    // The answer of every box with Yes and No.
    QMessageBox::StandardButton Answer = QMessageBox::No;
    // Makes the new-version dialog fail to show.
    bool NoDialog = false;
    // The link the test clicks in the new-version dialog; empty: none.
    QString ClickLink;

protected:
    void OpenInBrowser(const QUrl& url) override { Opened.push_back(url); }
    QMessageBox::StandardButton ShowBox(QMessageBox::Icon icon, const QString& text,
                                        QMessageBox::StandardButtons buttons) override {
        Boxes.push_back({icon, text, buttons});
        return buttons.testFlag(QMessageBox::Yes) ? Answer : QMessageBox::Ok;
    }
    void ExecVersionDialog(TNewVersionDialog& dialog) override {
        if (NoDialog) {
            throw std::runtime_error("no dialog");
        }
        dialog.show();
        TShownDialog shown{dialog.windowTitle(), dialog.lblInstruction->text(),
                           dialog.lblLink->text()};
        if (!ClickLink.isEmpty()) {
            emit dialog.lblLink->linkActivated(ClickLink);
        }
        shown.StillOpenAfterClick = dialog.isVisible();
        Dialogs.push_back(shown);
        dialog.close();
    }
};

// The box's owner as the main window is, except for the language code and
// the version when a test sets them.
class TTestOwner : public TAboutOwner {
public:
    explicit TTestOwner(TForm1& form) : FForm(form) {}

    std::optional<QString> LanguageCode;
    std::optional<QString> Version;

    QString ProgName() const override { return FForm.ProgName(); }
    QString ProgNameVer() const override { return Version ? *Version : FForm.ProgNameVer(); }
    const TLangStrings& Strings() const override { return FForm.Strings(); }
    QString Language() const override { return LanguageCode ? *LanguageCode : FForm.Language(); }
    QIcon Image(const QString& name) const override { return FForm.Image(name); }
    QString ConfigFile() const override { return FForm.ConfigFile(); }
    void SwitchLanguage(const QString& code) override {
        LanguageCode.reset();
        FForm.SwitchLanguage(code);
    }

private:
    TForm1& FForm;
};

// A main window with its settings file in a scratch folder, and its box.
struct TAboutFixture {
    QTemporaryDir Dir;
    std::unique_ptr<TForm1> Form;
    std::unique_ptr<TTestOwner> Owner;
    TTestAbout* About = nullptr; // child of Form

    explicit TAboutFixture(const QByteArray& ini = {}) {
        if (!ini.isEmpty()) {
            QFile file(Config());
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(ini);
        }
        Form = std::make_unique<TForm1>(QStringList{}, Config());
        Owner = std::make_unique<TTestOwner>(*Form);
        About = new TTestAbout(*Owner, Form.get());
    }
    QString Config() const { return Dir.path() + QStringLiteral("/bitonix.ini"); }
    QByteArray ConfigText() const {
        QFile file(Config());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace bitonix::test
