// Runs started from the window: both output modes, a stop, a failing input
// and closing the window during a run; PDFs checked with qpdf and pdfimages.
#include "TestForm.h"

#include "TestImages.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace bitonix::test {
namespace {

// Inputs and a private temporary parent in one scratch folder.
struct TRunScratch : TScratch {
    TRunScratch() { QDir(Dir.path()).mkpath(QStringLiteral("tmp")); }
    QString Image(const QString& name, int w = 240, int h = 320) const {
        const QString path = Path(name);
        EXPECT_TRUE(MakeDocumentImage(w, h).save(path));
        return path;
    }
    QString Temp() const { return Path(QStringLiteral("tmp")); }
    QStringList LeftInTemp() const {
        return QDir(Temp()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
};

std::unique_ptr<TTestForm> MakeForm(const TRunScratch& scratch, const QStringList& files) {
    auto form = std::make_unique<TTestForm>(files, scratch.Config());
    form->SetTempParent(scratch.Temp());
    Find<QRadioButton>(*form, "rbPerspNone")->setChecked(true);
    return form;
}

// Number of 1-bit CCITT images pdfimages lists in `pdf`.
int G4Images(const QString& pdf) {
    QByteArray listing;
    EXPECT_EQ(
        RunTool(QStringLiteral(PDFIMAGES_EXECUTABLE), {QStringLiteral("-list"), pdf}, &listing), 0);
    int count = 0;
    for (const QByteArray& line : listing.split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() > 8 && f[2] == "image" && f[5] == "gray" && f[7] == "1" && f[8] == "ccitt") {
            ++count;
        }
    }
    return count;
}

void ExpectValidPdf(const QString& pdf, int images) {
    ASSERT_TRUE(QFile::exists(pdf)) << pdf.toStdString();
    EXPECT_EQ(RunTool(QStringLiteral(QPDF_EXECUTABLE), {QStringLiteral("--check"), pdf}), 0);
    EXPECT_EQ(G4Images(pdf), images) << pdf.toStdString();
}

void ExpectIdle(const TTestForm& form) {
    EXPECT_FALSE(form.BatchRunning());
    EXPECT_EQ(Find<QPushButton>(form, "btnStart")->text(), QStringLiteral("START"));
    EXPECT_TRUE(Find<QPushButton>(form, "btnStart")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(form, "btnAdd")->isEnabled());
    EXPECT_TRUE(Find<QGroupBox>(form, "gbOutput")->isEnabled());
    EXPECT_FALSE(Find<TFileListBox>(form, "ListBox1")->Frozen());
    EXPECT_FALSE(Find<TPreviewImage>(form, "Image1")->HasImage());
    EXPECT_TRUE(Find<QLabel>(form, "lblProgress")->text().isEmpty());
}

TEST(RunFromWindow, SeparateModeWritesOnePdfBesideEachInput) {
    TRunScratch scratch;
    const QString a = scratch.Image(QStringLiteral("a.png"));
    const QString b = scratch.Image(QStringLiteral("b.jpg"), 300, 200);
    auto form = MakeForm(scratch, {a, b});
    bool sawRunningState = false;
    form->OnPump = [&](int) {
        sawRunningState =
            sawRunningState ||
            (form->BatchRunning() &&
             Find<QPushButton>(*form, "btnStart")->text() == form->Strings().SBtnStop &&
             !Find<QPushButton>(*form, "btnAdd")->isEnabled() &&
             !Find<QGroupBox>(*form, "gbProcessing")->isEnabled() &&
             Find<TFileListBox>(*form, "ListBox1")->Frozen());
    };
    Find<QPushButton>(*form, "btnStart")->click();

    EXPECT_TRUE(form->Boxes.empty()) << form->Boxes[0].Text.toStdString();
    EXPECT_TRUE(sawRunningState);
    ExpectValidPdf(scratch.Path(QStringLiteral("[BW]a.pdf")), 1);
    ExpectValidPdf(scratch.Path(QStringLiteral("[BW]b.pdf")), 1);
    EXPECT_TRUE(form->StatusText().startsWith(form->Strings().SMsgDone + QStringLiteral(" ")))
        << form->StatusText().toStdString();
    EXPECT_TRUE(form->StatusText().endsWith(QStringLiteral(" ms")));
    ExpectIdle(*form);
    EXPECT_TRUE(Find<TFileListBox>(*form, "ListBox1")->item(0)->isSelected());
    EXPECT_TRUE(Find<TFileListBox>(*form, "ListBox1")->item(1)->isSelected());
    EXPECT_TRUE(form->ShownInFileManager.isEmpty()) << "separate mode never opens the folder";
    EXPECT_TRUE(scratch.LeftInTemp().isEmpty()) << scratch.LeftInTemp().join(' ').toStdString();
}

// The merged name is taken before the run, or by another program while the
// run goes on: the PDF gets the next number, and the name box and the file
// manager show that name.
TEST(RunFromWindow, MergedModeNumbersTheNameAndShowsItInTheFileManager) {
    for (const bool meanwhile : {false, true}) {
        SCOPED_TRACE(meanwhile ? "taken during the run" : "taken before");
        TRunScratch scratch;
        const QString a = scratch.Image(QStringLiteral("a.png"));
        const QString b = scratch.Image(QStringLiteral("b.png"));
        const QString out = scratch.Path(QStringLiteral("out.pdf"));
        const auto takeName = [&out] {
            QFile existing(out);
            ASSERT_TRUE(existing.open(QIODevice::NewOnly));
            existing.write("not ours");
        };
        if (!meanwhile) {
            takeName();
        }
        auto form = MakeForm(scratch, {a, b});
        Find<QRadioButton>(*form, "RadioButton2")->click();
        Find<QLineEdit>(*form, "edtOutputFile")->setText(out);
        form->OnPump = [&](int pump) {
            if (meanwhile && pump == 1) {
                takeName();
            }
        };
        Find<QPushButton>(*form, "btnStart")->click();

        const QString numbered = scratch.Path(QStringLiteral("out(1).pdf"));
        EXPECT_TRUE(form->Boxes.empty());
        ExpectValidPdf(numbered, 2);
        EXPECT_EQ(Find<QLineEdit>(*form, "edtOutputFile")->text(), numbered);
        EXPECT_EQ(form->ShownInFileManager, QStringList{numbered});
        QFile existing(out);
        ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
        EXPECT_EQ(existing.readAll(), "not ours");
        EXPECT_FALSE(QFile::exists(scratch.Path(QStringLiteral("[BW]a.pdf"))));
        ExpectIdle(*form);
        EXPECT_TRUE(scratch.LeftInTemp().isEmpty());

        // Without the check box the folder stays closed.
        form->OnPump = nullptr;
        Find<QCheckBox>(*form, "chk1")->setChecked(false);
        Find<QPushButton>(*form, "btnStart")->click();
        EXPECT_EQ(form->ShownInFileManager.size(), 1);
        ExpectValidPdf(scratch.Path(QStringLiteral("out(2).pdf")), 2);
    }
}

TEST(RunFromWindow, StopEndsTheRunCleanlyWithoutOutput) {
    TRunScratch scratch;
    QStringList inputs;
    for (const char* name : {"1.png", "2.png", "3.png"}) {
        inputs.append(scratch.Image(QString::fromLatin1(name)));
    }
    auto form = MakeForm(scratch, inputs);
    Find<QRadioButton>(*form, "RadioButton2")->click();
    Find<QLineEdit>(*form, "edtOutputFile")->setText(scratch.Path(QStringLiteral("merged.pdf")));
    QString statusAtStop;
    bool buttonEnabledAtStop = true;
    form->OnPump = [&](int pump) {
        if (pump == 1) {
            Find<QPushButton>(*form, "btnStart")->click(); // the press delivered by the pump
            statusAtStop = form->StatusText();
            buttonEnabledAtStop = Find<QPushButton>(*form, "btnStart")->isEnabled();
        }
    };
    Find<QPushButton>(*form, "btnStart")->click();

    EXPECT_EQ(statusAtStop, form->Strings().SPrgCancelled + QStringLiteral("..."));
    EXPECT_FALSE(buttonEnabledAtStop);
    EXPECT_EQ(form->StatusText(), form->Strings().SPrgCancelled);
    EXPECT_TRUE(form->Boxes.empty());
    EXPECT_TRUE(form->ShownInFileManager.isEmpty());
    EXPECT_FALSE(QFile::exists(scratch.Path(QStringLiteral("merged.pdf"))));
    ExpectIdle(*form);
    EXPECT_TRUE(scratch.LeftInTemp().isEmpty()) << scratch.LeftInTemp().join(' ').toStdString();
}

TEST(RunFromWindow, AFailedRunIsReportedAfterTheWindowIsIdleAgain) {
    TRunScratch scratch;
    const QString good = scratch.Image(QStringLiteral("a.png"));
    QFile bad(scratch.Path(QStringLiteral("b.jpg")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("this is not an image");
    bad.close();
    auto form = MakeForm(scratch, {good, bad.fileName()});
    Find<QPushButton>(*form, "btnStart")->click();

    ASSERT_EQ(form->Boxes.size(), 1u);
    EXPECT_EQ(form->Boxes[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(form->Boxes[0].Title, QStringLiteral("Bitonix"));
    EXPECT_FALSE(form->Boxes[0].Text.isEmpty());
    EXPECT_FALSE(form->Boxes[0].RunningWhenShown) << "the box comes after the clean-up";
    // Every input is prepared before any page is written.
    EXPECT_FALSE(QFile::exists(scratch.Path(QStringLiteral("[BW]a.pdf"))));
    ExpectIdle(*form);
    EXPECT_TRUE(scratch.LeftInTemp().isEmpty());
}

TEST(RunFromWindow, ClosingTheWindowStopsTheRunAndClosesAfterItsCleanUp) {
    TRunScratch scratch;
    const QString a = scratch.Image(QStringLiteral("a.png"));
    const QString b = scratch.Image(QStringLiteral("b.png"));
    auto form = MakeForm(scratch, {a, b});
    form->show();
    bool stayedOpenDuringRun = false;
    form->OnPump = [&](int pump) {
        if (pump == 1) {
            form->close();
            stayedOpenDuringRun = form->isVisible() && form->BatchRunning();
        }
    };
    Find<QPushButton>(*form, "btnStart")->click();

    EXPECT_TRUE(stayedOpenDuringRun);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->BatchRunning());
    EXPECT_EQ(form->StatusText(), form->Strings().SPrgCancelled);
    EXPECT_TRUE(form->Boxes.empty());
    EXPECT_TRUE(scratch.LeftInTemp().isEmpty());
}

} // namespace
} // namespace bitonix::test
