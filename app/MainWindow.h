// TForm1: the main window. Holds the controls, the interface string table and
// the image list, starts and stops a conversion run, is the run's host and the
// About box's owner.
//
// Operations: FormCreate (the constructor), ApplyLanguage,
// LoadProcessingConfig, SaveProcessingConfig, RadioButton1Click,
// RadioButton2Click, btnBrowseClick, btnAboutClick, Label2Click, btnAddClick,
// btnRemoveClick, btnClearClick, btnStartClick, prestart, poststart.
//
// The controls are private; each carries its name as object name
// (findChild<QPushButton*>("btnStart")), which is how tests reach them.
#pragma once

#include "about/AboutOwner.h"
#include "app/FileListBox.h"
#include "app/ImageList.h"
#include "app/PreviewImage.h"
#include "pipeline/BatchRun.h"
#include "pipeline/RunContext.h"
#include "pipeline/RunHost.h"
#include "settings/LangStrings.h"
#include "settings/SettingsFile.h"
#include "support/Version.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QString>

class QCheckBox;
class QComboBox;
class QDialog;
class QFileDialog;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QStatusBar;

namespace bitonix {

class TForm1 : public QMainWindow, public TRunHost, public TAboutOwner {
    Q_OBJECT
public:
    // FormCreate: builds the controls, loads the interface language and the
    // processing settings from `configFile`, and lists the existing files of
    // `files` (the command line). `configFile` is the settings file
    // (GetConfigFile() in the program).
    TForm1(const QStringList& files, const QString& configFile, QWidget* parent = nullptr);
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Puts the string table's texts into every control and dialog; the
    // rotation selection survives, btnStart shows SBtnStop during a run. The
    // controls then take the room their texts need: the window's minimum
    // size is 736 x 620 or larger where the texts ask for it.
    void ApplyLanguage();
    // Sets the resolution, rotation, slider and straightening mode from the
    // settings file / writes them into it (throws TError when it cannot).
    void LoadProcessingConfig();
    void SaveProcessingConfig();
    TProcessingConfig CurrentProcessingConfig() const;

    // Output mode: separate files / one merged PDF.
    void RadioButton1Click();
    void RadioButton2Click();
    void btnBrowseClick();
    void btnAboutClick();
    void Label2Click();
    void btnAddClick();
    void btnRemoveClick();
    void btnClearClick();
    // START: runs the conversion of the listed files; during a run, requests
    // the stop. Never lets an exception out: a failed run is reported in an
    // error box titled KAppTitle after the window is back in its idle state.
    void btnStartClick();
    // Running / idle state of the controls.
    void prestart();
    void poststart();

    // A stop request from outside (a signal): every open dialog is dismissed
    // and the window closes as by its close button; during a run the run
    // stops, cleans up, and the window closes after it.
    void CloseOnStopRequest();

    // The inputs of a run as the controls hold them now.
    TRunSettings RunSettings() const;
    bool BatchRunning() const { return FBatchRunning; }
    QString StatusText() const;
    // The modal About box shown by btnAbout (owned by its creator).
    void SetAboutBox(QDialog* about) { FAboutBox = about; }
    // Where runs put their private temporary folder; empty: the system's.
    void SetTempParent(const QString& folder) { FTempParent = folder; }

    // Window state, read only.
    const QString& MergedFileName() const { return mergedfilename; }
    int WHSize() const { return FWHSize; }
    // Replaces the string table without applying it (ApplyLanguage does).
    void SetStrings(const TLangStrings& strings) { FStrings = strings; }

    // TAboutOwner
    QString ProgName() const override { return progname; }
    QString ProgNameVer() const override { return prognamever; }
    const TLangStrings& Strings() const override { return FStrings; }
    QString Language() const override { return language; }
    QIcon Image(const QString& name) const override { return VirtualImageList1.Icon(name); }
    QString ConfigFile() const override { return FConfigFile; }
    void SwitchLanguage(const QString& code) override;

    // TRunHost
    bool Cancelled() const override { return FCancelled; }
    void SetStatusText(const QString& text) override;
    void SetProgressLabel(const QString& text) override;
    void SetProgressMarquee(bool on) override;
    void SetProgress(int maximum, int position) override;
    bool WantsPreview() const override { return true; }
    void ShowPreview(const QImage& page) override;
    void SelectListRow(int row) override;
    void MergedOutputChanged(const QString& path) override;
    void Pump() override;
    void Await(TAwaitable& work) override;
    void ShowMessage(const QString& text) override;
    bool EditCorrections(TPageCorrectionList& corrections) override;

protected:
    // Message boxes (ShowMessageBox), the file manager and the browser go
    // through these so that tests can watch them instead of blocking on a
    // modal window or starting another program.
    virtual void ShowBox(QMessageBox::Icon icon, const QString& title, const QString& text);
    virtual void ShowOutputInFileManager(const QString& path);
    virtual void OpenWebSite(const QString& url);

    void showEvent(QShowEvent* event) override;
    // During a run: requests the stop and keeps the window until the run's
    // clean-up is done; the run then closes it.
    void closeEvent(QCloseEvent* event) override;

private:
    // The language, FWHSize and the string table from the settings file and
    // the language files.
    void loadiniconfig();
    void CreateControls();
    void CreateToolbar();
    void CreateCenter();
    void CreateOutputGroup();
    void CreateProcessingGroup();
    void CreateProgressPanel();
    void SetTabOrder();
    void ConnectControls();
    // The first two columns of both groups as wide as the widest of them,
    // so that the pattern box and the rotation list stand one above the
    // other; then the window's minimum size from what the controls need.
    void FitLayoutToTexts();
    void WMClearInitialFocus();
    void SetStartButton(bool running);
    // The run between prestart and poststart; returns whether it completed
    // and the merged name it wrote.
    TRunResult RunFromWindow();

    // Window state (names as the rest of the program uses them).
    QString prognamever;
    QString progname;
    QString language;
    QString mergedfilename;
    int FWHSize = 8;
    TLangStrings FStrings;
    TImageList VirtualImageList1;

    // Controls, children of the window.
    QWidget* pnlToolbar = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnClear = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* btnAbout = nullptr;
    QWidget* pnlCenter = nullptr;
    QWidget* pnlPreview = nullptr;
    QLabel* lblPreview = nullptr;
    TPreviewImage* Image1 = nullptr;
    TFileListBox* ListBox1 = nullptr;
    QGroupBox* gbOutput = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QLineEdit* edtOutputFile = nullptr;
    QPushButton* btnBrowse = nullptr;
    QCheckBox* chk1 = nullptr;
    QGroupBox* gbProcessing = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* lblRotation = nullptr;
    QComboBox* cbRotation = nullptr;
    QLabel* lblContrast = nullptr;
    QLabel* lblContrastLow = nullptr;
    QSlider* tbContrast = nullptr;
    QLabel* lblContrastHigh = nullptr;
    QLabel* lblPersp = nullptr;
    QRadioButton* rbPerspNone = nullptr;
    QRadioButton* rbPerspAuto = nullptr;
    QRadioButton* rbPerspSemi = nullptr;
    QWidget* pnlProgress = nullptr;
    QLabel* lblProgress = nullptr;
    QProgressBar* pbProgress = nullptr;
    QPushButton* btnStart = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QFileDialog* dlgOpen = nullptr;
    QFileDialog* dlgSave = nullptr;

    QGridLayout* FOutputGrid = nullptr;     // gbOutput's rows
    QGridLayout* FProcessingGrid = nullptr; // the first row of gbProcessing
    QString FConfigFile;
    QString FTempParent;
    QDialog* FAboutBox = nullptr;
    QLabel* FStatusLabel = nullptr;
    bool FCancelled = false;
    bool FBatchRunning = false;
    bool FCloseRequested = false;
    bool FShownOnce = false;
    int FProgressMax = 100;
};

} // namespace bitonix
