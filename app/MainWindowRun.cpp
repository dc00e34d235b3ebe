// TForm1: the START/Stop button, the window's running state, and the window
// as the host of a run.
#include "app/FileManager.h"
#include "app/MainWindow.h"
#include "correction/FormCorrection.h"

#include "pipeline/BatchRun.h"
#include "support/Error.h"
#include "support/ProgramDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace bitonix {

namespace {

// Brings the window back to idle however the run ends: the clean-up steps
// that belong to the window (the run has released its own resources).
class TRunWindowGuard {
public:
    explicit TRunWindowGuard(std::function<void()> restore) : FRestore(std::move(restore)) {}
    ~TRunWindowGuard() { FRestore(); }
    TRunWindowGuard(const TRunWindowGuard&) = delete;
    TRunWindowGuard& operator=(const TRunWindowGuard&) = delete;

private:
    std::function<void()> FRestore;
};

} // namespace

TRunSettings TForm1::RunSettings() const {
    TRunSettings settings;
    settings.Files = ListBox1->Entries();
    settings.Merged = RadioButton2->isChecked();
    settings.Pattern = Edit1->text();
    settings.MergedOutput = edtOutputFile->text();
    settings.DpiText = ComboBox1->currentText();
    settings.RotationIndex = cbRotation->currentIndex();
    settings.Contrast = tbContrast->value();
    settings.PerspMode = rbPerspAuto->isChecked()   ? TPerspMode::pmAuto
                         : rbPerspSemi->isChecked() ? TPerspMode::pmSemi
                                                    : TPerspMode::pmNone;
    settings.WHSize = FWHSize;
    settings.ProgramDir = GetProgramDir() + QLatin1Char('/');
    settings.Progname = progname;
    settings.TempParent = FTempParent;
    settings.PageWorkers = ReadOptionPageWorkers(FConfigFile);
    return settings;
}

void TForm1::btnStartClick() {
    if (FBatchRunning) {
        // A press during the run only asks it to stop; the run sees the flag
        // at its next poll.
        FCancelled = true;
        btnStart->setEnabled(false);
        SetStatusText(FStrings.SPrgCancelled + QStringLiteral("..."));
        return;
    }
    QString error;
    try {
        SaveProcessingConfig();
        if (ListBox1->count() == 0) {
            ShowBox(QMessageBox::Warning, FStrings.SMsgWarning, FStrings.SMsgNoFiles);
            return;
        }
        const TRunResult result = RunFromWindow();
        if (result.Completed && chk1->isChecked() && chk1->isEnabled() && !FCloseRequested) {
            ShowOutputInFileManager(result.MergedOutput);
        }
    } catch (...) {
        error = ExceptionText();
    }
    if (FCloseRequested) {
        close(); // the user closed the window during the run
        return;
    }
    if (!error.isEmpty()) {
        ShowBox(QMessageBox::Critical, KAppTitle, error);
    }
}

TRunResult TForm1::RunFromWindow() {
    FBatchRunning = true;
    prestart();
    const TRunWindowGuard guard([this] {
        poststart();
        btnStart->setEnabled(true);
        FBatchRunning = false;
    });
    return RunBatch(RunSettings(), FStrings, *this);
}

void TForm1::SetStartButton(bool running) {
    btnStart->setText(running ? FStrings.SBtnStop : FStrings.SBtnStart);
    btnStart->setIcon(VirtualImageList1.Icon(running ? 5 : 4)); // "stop" / "start"
}

void TForm1::prestart() {
    if (ListBox1->count() > 0) {
        ListBox1->item(0)->setSelected(true);
    }
    FCancelled = false;
    pbProgress->setValue(0);
    btnAdd->setEnabled(false);
    btnRemove->setEnabled(false);
    btnClear->setEnabled(false);
    gbOutput->setEnabled(false);
    gbProcessing->setEnabled(false);
    SetStartButton(true);
    ListBox1->SetFrozen(true);
}

void TForm1::poststart() {
    SetProgressMarquee(false);
    pbProgress->setValue(0);
    lblProgress->clear();
    btnAdd->setEnabled(true);
    btnRemove->setEnabled(true);
    btnClear->setEnabled(true);
    gbOutput->setEnabled(true);
    gbProcessing->setEnabled(true);
    SetStartButton(false);
    Image1->Clear();
    ListBox1->SetFrozen(false);
}

void TForm1::ShowOutputInFileManager(const QString& path) {
    ShowFileInFileManager(path);
}

void TForm1::SetStatusText(const QString& text) {
    FStatusLabel->setText(text);
}

void TForm1::SetProgressLabel(const QString& text) {
    lblProgress->setText(text);
}

void TForm1::SetProgressMarquee(bool on) {
    pbProgress->setRange(0, on ? 0 : FProgressMax);
}

void TForm1::SetProgress(int maximum, int position) {
    FProgressMax = maximum;
    pbProgress->setRange(0, maximum);
    pbProgress->setValue(position);
}

void TForm1::ShowPreview(const QImage& page) {
    Image1->SetImage(page);
}

void TForm1::SelectListRow(int row) {
    if (row >= 0 && row < ListBox1->count()) {
        ListBox1->item(row)->setSelected(true);
    }
}

void TForm1::MergedOutputChanged(const QString& path) {
    edtOutputFile->setText(path);
}

void TForm1::Pump() {
    QCoreApplication::processEvents();
}

// The window goes on handling its events (a Stop press, a close, repaints)
// until the work is done and wakes this loop.
void TForm1::Await(TAwaitable& work) {
    if (work.Ready()) {
        return;
    }
    QEventLoop loop;
    work.OnReady(
        [&loop] { QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection); });
    loop.exec();
}

void TForm1::ShowMessage(const QString& text) {
    ShowBox(QMessageBox::Information, KAppTitle, text);
}

bool TForm1::EditCorrections(TPageCorrectionList& corrections) {
    TFormCorrection form(this);
    form.ApplyButtonImages([this](const QString& name) { return VirtualImageList1.Icon(name); });
    return form.Execute(corrections);
}

} // namespace bitonix
