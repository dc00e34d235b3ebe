// TForm1: start-up, interface language, settings and the idle-time handlers.
#include "app/MainWindow.h"

#include "settings/LanguageConfig.h"
#include "support/MessageBox.h"
#include "support/ProgramDir.h"
#include "support/Version.h"
#include "support/WindowTools.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStandardPaths>
#include <QStatusBar>
#include <QUrl>

namespace bitonix {

TForm1::TForm1(const QStringList& files, const QString& configFile, QWidget* parent)
    : QMainWindow(parent), FConfigFile(configFile) {
    setObjectName(QStringLiteral("Form1"));
    prognamever = GetAppVersionStr();
    progname = ProgramTitle();
    CreateControls();

    loadiniconfig();
    ApplyLanguage();
    LoadProcessingConfig();
    resize(QSize(736, 643).expandedTo(minimumSize()));
    CentreOnScreen(*this, screen());

    setWindowTitle(progname);
    ListBox1->ClearEntries();
    ConnectControls();
    RadioButton1Click();
    mergedfilename = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                     QLatin1Char('-') + FStrings.SMergedName + QStringLiteral(".pdf");
    edtOutputFile->clear();
    ListBox1->AddFilesToList(files);
}

TForm1::~TForm1() = default;

void TForm1::ConnectControls() {
    // Every handler runs guarded: an exception never leaves a slot.
    const auto guarded = [this](void (TForm1::*handler)()) {
        return [this, handler] { Guarded(this, [this, handler] { (this->*handler)(); }); };
    };
    connect(btnAdd, &QPushButton::clicked, this, guarded(&TForm1::btnAddClick));
    connect(btnRemove, &QPushButton::clicked, this, guarded(&TForm1::btnRemoveClick));
    connect(btnClear, &QPushButton::clicked, this, guarded(&TForm1::btnClearClick));
    connect(btnAbout, &QPushButton::clicked, this, guarded(&TForm1::btnAboutClick));
    connect(Label2, &QLabel::linkActivated, this, guarded(&TForm1::Label2Click));
    connect(RadioButton1, &QRadioButton::clicked, this, guarded(&TForm1::RadioButton1Click));
    connect(RadioButton2, &QRadioButton::clicked, this, guarded(&TForm1::RadioButton2Click));
    connect(btnBrowse, &QPushButton::clicked, this, guarded(&TForm1::btnBrowseClick));
    connect(btnStart, &QPushButton::clicked, this, guarded(&TForm1::btnStartClick));
}

void TForm1::loadiniconfig() {
    TIniConfig ini = bitonix::loadiniconfig(GetProgramDir(), FConfigFile);
    language = ini.language;
    FWHSize = ini.WHSize;
    FStrings = std::move(ini.Strings);
}

// The box has stored `code` in the settings file already; loadiniconfig
// reads it back from there.
void TForm1::SwitchLanguage(const QString& code) {
    language = code;
    loadiniconfig();
    ApplyLanguage();
}

void TForm1::ApplyLanguage() {
    const TLangStrings& s = FStrings;
    btnAdd->setText(s.SBtnAddFiles);
    btnRemove->setText(s.SBtnRemove);
    btnClear->setText(s.SBtnClear);
    btnAbout->setToolTip(s.SBtnAboutHint);
    Label2->setToolTip(s.SHintVelkorEu);

    gbOutput->setTitle(QLatin1Char(' ') + s.SGbOutput + QLatin1Char(' '));
    RadioButton1->setText(s.SRbSeparate);
    Label1->setText(s.SLblPattern);
    Edit1->setToolTip(s.SHintPattern);
    RadioButton2->setText(s.SRbMerge);
    chk1->setText(s.SChkOpenFolder);
    btnBrowse->setText(s.SBtnBrowse);

    gbProcessing->setTitle(QLatin1Char(' ') + s.SGbProcessing + QLatin1Char(' '));
    Label7->setText(s.SLblDpi);
    lblRotation->setText(s.SLblRotation);
    {
        int k = cbRotation->currentIndex();
        const QSignalBlocker batch(cbRotation);
        cbRotation->clear();
        cbRotation->addItems({s.SRotNone, s.SRot90L, s.SRot90R, s.SRot180});
        if (k < 0 || k >= cbRotation->count()) {
            k = 0;
        }
        cbRotation->setCurrentIndex(k);
    }

    lblContrast->setText(s.SLblContrast);
    lblContrastLow->setText(s.SLblContrastLow);
    lblContrastHigh->setText(s.SLblContrastHigh);
    lblPersp->setText(s.SLblPersp);
    rbPerspNone->setText(s.SRbPerspNone);
    rbPerspAuto->setText(s.SRbPerspAuto);
    rbPerspSemi->setText(s.SRbPerspSemi);
    lblPreview->setText(s.SLblPreview);
    btnStart->setText(FBatchRunning ? s.SBtnStop : s.SBtnStart);

    dlgOpen->setWindowTitle(s.SDlgAddFiles);
    dlgSave->setWindowTitle(s.SDlgSelectOutput);
    dlgOpen->setNameFilters(
        {s.SFltSupported +
             QStringLiteral(" (*.jpg *.jpeg *.jfif *.pdf *.bmp *.gif *.png *.tif *.tiff)"),
         s.SFltAllFiles + QStringLiteral(" (*)")});
    dlgSave->setNameFilters({QStringLiteral("PDF (*.pdf)")});

    btnAdd->setToolTip(s.SHintBtnAdd);
    btnRemove->setToolTip(s.SHintBtnRemove);
    btnClear->setToolTip(s.SHintBtnClear);
    ListBox1->setToolTip(s.SHintList);
    Image1->setToolTip(s.SHintPreview);
    RadioButton1->setToolTip(s.SHintRbSeparate);
    RadioButton2->setToolTip(s.SHintRbMerge);
    edtOutputFile->setToolTip(s.SHintOutputFile);
    btnBrowse->setToolTip(s.SHintBtnBrowse);
    chk1->setToolTip(s.SHintChkOpenFolder);
    ComboBox1->setToolTip(s.SHintDpi);
    cbRotation->setToolTip(s.SHintRotation);
    tbContrast->setToolTip(s.SHintContrast);
    rbPerspNone->setToolTip(s.SHintPerspNone);
    rbPerspAuto->setToolTip(s.SHintPerspAuto);
    rbPerspSemi->setToolTip(s.SHintPerspSemi);
    btnStart->setToolTip(s.SHintBtnStart);

    ListBox1->SetEmptyHint(s.SListEmptyHint);
    FitLayoutToTexts();
}

TProcessingConfig TForm1::CurrentProcessingConfig() const {
    TProcessingConfig config;
    config.DPI = ComboBox1->currentText();
    config.Rotation = cbRotation->currentIndex();
    config.Contrast = tbContrast->value();
    config.Perspective = rbPerspNone->isChecked()   ? PerspectiveNone
                         : rbPerspAuto->isChecked() ? PerspectiveAuto
                                                    : PerspectiveManual;
    return config;
}

void TForm1::LoadProcessingConfig() {
    const TProcessingConfig config =
        bitonix::LoadProcessingConfig(CurrentProcessingConfig(), FConfigFile);
    ComboBox1->setCurrentIndex(ComboBox1->findText(config.DPI, Qt::MatchFixedString));
    cbRotation->setCurrentIndex(config.Rotation);
    tbContrast->setValue(config.Contrast);
    rbPerspNone->setChecked(config.Perspective == PerspectiveNone);
    rbPerspAuto->setChecked(config.Perspective == PerspectiveAuto);
    rbPerspSemi->setChecked(config.Perspective == PerspectiveManual);
}

void TForm1::SaveProcessingConfig() {
    bitonix::SaveProcessingConfig(CurrentProcessingConfig(), FConfigFile);
}

void TForm1::RadioButton1Click() {
    edtOutputFile->setEnabled(false);
    btnBrowse->setEnabled(false);
    chk1->setEnabled(false);
    Edit1->setEnabled(true);
}

void TForm1::RadioButton2Click() {
    edtOutputFile->setEnabled(true);
    btnBrowse->setEnabled(true);
    chk1->setEnabled(true);
    Edit1->setEnabled(false);
    if (!edtOutputFile->text().isEmpty()) {
        return;
    }
    QString folder;
    if (ListBox1->count() == 0) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty()) {
            folder = QDir::homePath();
        }
        folder += QLatin1Char('/');
    } else {
        folder = QFileInfo(ListBox1->item(0)->text()).path() + QLatin1Char('/');
    }
    edtOutputFile->setText(QDir::toNativeSeparators(folder + mergedfilename));
}

void TForm1::btnBrowseClick() {
    if (!edtOutputFile->text().isEmpty()) {
        dlgSave->selectFile(edtOutputFile->text());
    }
    if (dlgSave->exec() == QDialog::Accepted && !dlgSave->selectedFiles().isEmpty()) {
        edtOutputFile->setText(dlgSave->selectedFiles().constFirst());
    }
}

void TForm1::btnAboutClick() {
    if (FAboutBox != nullptr) {
        FAboutBox->exec();
    }
}

void TForm1::Label2Click() {
    OpenWebSite(KWebSiteUrl);
}

void TForm1::OpenWebSite(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}

void TForm1::btnAddClick() {
    if (dlgOpen->exec() == QDialog::Accepted) {
        ListBox1->AddFilesToList(dlgOpen->selectedFiles());
    }
}

void TForm1::btnRemoveClick() {
    ListBox1->RemoveSelected();
}

void TForm1::btnClearClick() {
    ListBox1->ClearEntries();
}

QString TForm1::StatusText() const {
    return FStatusLabel->text();
}

void TForm1::ShowBox(QMessageBox::Icon icon, const QString& title, const QString& text) {
    ShowMessageBox(this, icon, title, text, QMessageBox::Ok);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!FShownOnce) {
        FShownOnce = true;
        QMetaObject::invokeMethod(this, &TForm1::WMClearInitialFocus, Qt::QueuedConnection);
    }
}

// No control shows a focus mark at start: the window itself takes the focus.
void TForm1::WMClearInitialFocus() {
    if (QWidget* focused = focusWidget()) {
        focused->clearFocus();
    }
    setFocus(Qt::OtherFocusReason);
}

void TForm1::CloseOnStopRequest() {
    // A dialog's handler (the corner editor's run among them) must return
    // before the run or the window can end.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(widget);
            dialog != nullptr && dialog->isVisible()) {
            dialog->reject();
        }
    }
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!FBatchRunning) {
        event->accept();
        return;
    }
    // The run still holds temporary files: stop it, and let the end of the
    // run close the window once its clean-up is done.
    FCloseRequested = true;
    if (!FCancelled) {
        btnStartClick();
    }
    event->ignore();
}

} // namespace bitonix
