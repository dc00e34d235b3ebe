// The About box: what it shows, its licence text, and its close rule with the
// language change reaching the main window (rotation, stop text, list hint).
#include "TestAbout.h"

#include "TestImages.h"

#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace bitonix::test {
namespace {

TEST(AboutBox, ShowsTheTableTextsTheImagesAndTheLicence) {
    TAboutFixture f("[Config]\nLanguage=en\n");
    f.About->show();
    EXPECT_EQ(f.About->windowTitle(), QStringLiteral("About..."));
    EXPECT_GE(f.About->width(), 482) << "wider where the licence's rules need it";
    EXPECT_EQ(f.About->height(), 426);
    EXPECT_EQ(f.About->Label1->text(), f.Form->ProgName());
    EXPECT_EQ(f.About->BitBtn1->text(), QStringLiteral("Close"));
    EXPECT_EQ(f.About->btn1->text(), QStringLiteral("Check update"));
    EXPECT_EQ(f.About->Label3->text(), QStringLiteral("Language:"));
    EXPECT_EQ(f.About->cbb1->toolTip(), QStringLiteral("Choose the interface language"));
    EXPECT_EQ(f.About->Label4->toolTip(), QStringLiteral("Open bitonix.example.org website"));
    EXPECT_FALSE(f.About->BitBtn1->icon().isNull());
    EXPECT_FALSE(f.About->btn1->icon().isNull());
    EXPECT_EQ(f.About->cbb1->count(), 3);
    EXPECT_EQ(f.About->cbb1->itemText(2), QStringLiteral("Deutsch"));

    const QString licence = f.About->Memo1->toPlainText();
    EXPECT_TRUE(licence.startsWith(QStringLiteral("Bitonix\n"))) << "no BOM, first line kept";
    for (const char* part : {"either version 3 of the License, or (at your option)", "Leptonica",
                             "LibTIFF", "libjpeg-turbo", "Poppler", "OpenCV",
                             "GNU LESSER GENERAL PUBLIC LICENSE", "Apache License"}) {
        EXPECT_TRUE(licence.contains(QString::fromLatin1(part))) << part;
    }
    EXPECT_TRUE(f.About->Memo1->isReadOnly());
}

TEST(AboutBox, AnUnreadableLicenceShowsTheErrorLineAndEveryShowingReloads) {
    TAboutFixture f;
    f.About->SetLicenseResource(QStringLiteral(":/no-such-licence"));
    f.About->show();
    const QString text = f.About->Memo1->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Nie mozna wczytac licencji: ")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QLatin1Char('\n')));
    EXPECT_GT(text.size(), 28);
    f.About->hide();

    // Text that is not UTF-8 is refused the same way; a good file replaces it.
    const QString bad = f.Dir.path() + QStringLiteral("/bad.txt");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBFLicence \xFF\xFE");
    file.close();
    f.About->SetLicenseResource(bad);
    f.About->show();
    EXPECT_TRUE(f.About->Memo1->toPlainText().startsWith(QStringLiteral("Nie mozna wczytac")));
    f.About->hide();
    f.About->SetLicenseResource(KLicenseResource);
    f.About->show();
    EXPECT_TRUE(f.About->Memo1->toPlainText().startsWith(QStringLiteral("Bitonix")));
}

TEST(AboutBox, SelectsTheItemOfTheFormsLanguage) {
    TAboutFixture f;
    struct TCase {
        const char* Code;
        int Before;
        int After;
    };
    // A code without an item keeps whatever was selected.
    const TCase cases[] = {{"de", 0, 2}, {"en", 0, 1}, {"pl", 2, 0}, {"fr", 2, 2}, {"fr", 1, 1}};
    for (const TCase& c : cases) {
        f.Owner->LanguageCode = QString::fromLatin1(c.Code);
        f.About->cbb1->setCurrentIndex(c.Before);
        f.About->show();
        EXPECT_EQ(f.About->cbb1->currentIndex(), c.After) << c.Code;
        f.About->hide();
    }
}

TEST(AboutBox, CloseButtonStoresAndAppliesTheLanguage) {
    TAboutFixture f("[Config]\nWHSize=12\n");
    Find<QComboBox>(*f.Form, "cbRotation")->setCurrentIndex(1);
    f.About->show();
    f.About->cbb1->setCurrentIndex(2);
    f.About->BitBtn1->click();

    EXPECT_FALSE(f.About->isVisible());
    EXPECT_EQ(f.About->result(), QDialog::Accepted);
    EXPECT_TRUE(f.ConfigText().contains("Language=de")) << f.ConfigText().toStdString();
    EXPECT_EQ(f.Form->Language(), QStringLiteral("de"));
    EXPECT_EQ(f.Form->WHSize(), 12);
    EXPECT_EQ(f.Form->Strings().SBtnStop, QStringLiteral("Stopp"));
    EXPECT_EQ(Find<QPushButton>(*f.Form, "btnAdd")->text(), QStringLiteral("Dateien hinzufügen"));
    EXPECT_EQ(Find<QComboBox>(*f.Form, "cbRotation")->currentIndex(), 1);
    EXPECT_EQ(Find<QComboBox>(*f.Form, "cbRotation")->currentText(),
              QStringLiteral("90° nach links"));
    EXPECT_EQ(Find<TFileListBox>(*f.Form, "ListBox1")->EmptyHint(),
              QStringLiteral("Dateien hierher ziehen oder auf \"Dateien hinzufügen\" klicken"));

    // The next showing is in the new language and shows its item.
    f.About->show();
    EXPECT_EQ(f.About->windowTitle(), QStringLiteral("Über..."));
    EXPECT_EQ(f.About->cbb1->currentIndex(), 2);
}

TEST(AboutBox, TheEmptyListRepaintsItsHintInTheNewLanguage) {
    TAboutFixture f;
    f.Form->resize(736, 643);
    f.Form->show();
    const QImage english = Find<TFileListBox>(*f.Form, "ListBox1")->grab().toImage();
    f.About->cbb1->setCurrentIndex(0);
    f.About->BitBtn1Click();
    EXPECT_EQ(Find<TFileListBox>(*f.Form, "ListBox1")->EmptyHint(),
              QStringLiteral("Przeciągnij pliki tutaj lub kliknij \"Dodaj pliki\""));
    EXPECT_NE(Find<TFileListBox>(*f.Form, "ListBox1")->grab().toImage(), english);
}

TEST(AboutBox, TheCaptionsCloseBoxChangesNothing) {
    TAboutFixture f;
    const TLangStrings before = f.Form->Strings();
    const QString languageBefore = f.Form->Language();
    f.About->show();
    f.About->cbb1->setCurrentIndex(2);
    f.About->close();
    EXPECT_FALSE(f.About->isVisible());
    EXPECT_FALSE(QFile::exists(f.Config()));
    EXPECT_EQ(f.Form->Language(), languageBefore); // the system's language, not the item
    EXPECT_EQ(Find<QPushButton>(*f.Form, "btnAdd")->text(), before.SBtnAddFiles);

    f.About->show();
    f.About->cbb1->setCurrentIndex(0);
    f.About->reject(); // Escape
    EXPECT_FALSE(QFile::exists(f.Config()));
    EXPECT_EQ(f.Form->Strings().SBtnStop, before.SBtnStop);
}

TEST(AboutBox, AHandWrittenCodeIsReplacedByTheSelectedItemOnClose) {
    TAboutFixture f("[Config]\nLanguage=fr\n");
    EXPECT_EQ(f.Form->Language(), QStringLiteral("fr"));
    EXPECT_EQ(Find<QPushButton>(*f.Form, "btnAdd")->text(),
              QStringLiteral("Add files")); // no fr.ini: English
    f.About->show();
    EXPECT_EQ(f.About->cbb1->currentIndex(), 0);
    f.About->BitBtn1->click();
    EXPECT_EQ(f.Form->Language(), QStringLiteral("pl"));
    EXPECT_TRUE(f.ConfigText().contains("Language=pl"));
    EXPECT_EQ(Find<QPushButton>(*f.Form, "btnAdd")->text(), QStringLiteral("Dodaj pliki"));
}

TEST(AboutBox, AnUnwritableSettingsFileKeepsTheBoxOpenAndTheOldLanguage) {
    QTemporaryDir dir;
    // The settings "folder" is a file, so the settings file cannot be written.
    const QString blocker = dir.path() + QStringLiteral("/blocker");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    TForm1 form({}, blocker + QStringLiteral("/bitonix.ini"));
    const QString languageBefore = form.Language();
    const QString addBefore = Find<QPushButton>(form, "btnAdd")->text();
    auto* about = new TTestAbout(form, &form);
    about->show();
    about->cbb1->setCurrentIndex(2);
    about->BitBtn1->click();
    ASSERT_EQ(about->Boxes.size(), 1u);
    EXPECT_EQ(about->Boxes[0].Icon, QMessageBox::Critical);
    EXPECT_TRUE(about->Boxes[0].Text.startsWith(QStringLiteral("Unable to write to ")));
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(form.Language(), languageBefore);
    EXPECT_EQ(Find<QPushButton>(form, "btnAdd")->text(), addBefore);
}

TEST(AboutBox, WebLinkOpensTheMakersSite) {
    TAboutFixture f;
    emit f.About->Label4->linkActivated(KWebSiteUrl);
    ASSERT_EQ(f.About->Opened.size(), 1u);
    EXPECT_EQ(f.About->Opened[0], QUrl(KWebSiteUrl));
}

// A main window whose run calls `OnPump` at its first pump and shows no box.
class TRunForm : public TForm1 {
public:
    using TForm1::TForm1;
    std::function<void()> OnPump;
    void Pump() override {
        TForm1::Pump();
        if (OnPump) {
            std::exchange(OnPump, nullptr)();
        }
    }

protected:
    void ShowBox(QMessageBox::Icon, const QString&, const QString&) override {}
    void ShowOutputInFileManager(const QString&) override {}
};

TEST(AboutBox, ALanguageChangeDuringARunShowsTheNewStopText) {
    QTemporaryDir dir;
    const QString input = dir.path() + QStringLiteral("/page.png");
    ASSERT_TRUE(MakeDocumentImage(200, 260).save(input));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("tmp")));
    TRunForm form({input}, dir.path() + QStringLiteral("/bitonix.ini"));
    form.SetTempParent(dir.path() + QStringLiteral("/tmp"));
    Find<QRadioButton>(form, "rbPerspNone")->setChecked(true);
    auto* about = new TTestAbout(form, &form);

    QString duringRun;
    bool running = false;
    form.OnPump = [&] {
        running = form.BatchRunning();
        about->show();
        about->cbb1->setCurrentIndex(2);
        about->BitBtn1->click();
        duringRun = Find<QPushButton>(form, "btnStart")->text();
        Find<QPushButton>(form, "btnStart")->click(); // stop
    };
    Find<QPushButton>(form, "btnStart")->click();
    EXPECT_TRUE(running);
    EXPECT_EQ(duringRun, QStringLiteral("Stopp"));
    EXPECT_FALSE(form.BatchRunning());
    EXPECT_EQ(Find<QPushButton>(form, "btnStart")->text(), QStringLiteral("START"));
    EXPECT_EQ(Find<QPushButton>(form, "btnAdd")->text(), QStringLiteral("Dateien hinzufügen"));
}

} // namespace
} // namespace bitonix::test
