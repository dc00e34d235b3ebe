// The interface string table: one text per key of the language files, each
// starting out as its built-in English default.
#pragma once

#include <QString>

namespace bitonix {

// The 73 interface texts of the main window and the About box. A field is named
// S + its language-file key with the first letter in upper case (key `hintDpi`,
// field `SHintDpi`). A default-constructed table holds the built-in English
// texts; `loadiniconfig` (LanguageConfig.h) fills it from the language files.
struct TLangStrings {
    QString SBtnAddFiles = QStringLiteral("Add files");
    QString SBtnRemove = QStringLiteral("Remove");
    QString SBtnClear = QStringLiteral("Clear list");
    QString SBtnAboutHint = QStringLiteral("About...");
    QString SListEmptyHint = QStringLiteral("Drag files here or click \"Add files\"");
    QString SGbOutput = QStringLiteral("Saving");
    QString SRbSeparate = QStringLiteral("Each file as a separate PDF");
    QString SLblPattern = QStringLiteral("Name pattern:");
    QString SHintPattern = QStringLiteral("<filesrc> means the source file name");
    QString SRbMerge = QStringLiteral("All files into one PDF");
    QString SChkOpenFolder = QStringLiteral("Open folder when finished");
    QString SBtnBrowse = QStringLiteral("Browse...");
    QString SGbProcessing = QStringLiteral("Processing");
    QString SLblDpi = QStringLiteral("Quality (DPI):");
    QString SLblRotation = QStringLiteral("Page rotation:");
    QString SRotNone = QStringLiteral("No rotation");
    QString SRot90L = QStringLiteral("90° left");
    QString SRot90R = QStringLiteral("90° right");
    QString SRot180 = QStringLiteral("180°");
    QString SLblContrast = QStringLiteral("Black intensity:");
    QString SLblContrastLow = QStringLiteral("Darker");
    QString SLblContrastHigh = QStringLiteral("Lighter");
    QString SLblPersp = QStringLiteral("Straighten photographed documents:");
    QString SRbPerspNone = QStringLiteral("Off");
    QString SRbPerspAuto = QStringLiteral("Automatic");
    QString SRbPerspSemi = QStringLiteral("Manual (editor)");
    QString SLblPreview = QStringLiteral("Preview");
    QString SBtnStart = QStringLiteral("START");
    QString SBtnStop = QStringLiteral("Stop");
    QString SPrgPreparing = QStringLiteral("Preparing");
    QString SPrgConverting = QStringLiteral("Converting");
    QString SPrgFile = QStringLiteral("File");
    QString SPrgPage = QStringLiteral("page");
    QString SPrgCancelled = QStringLiteral("Cancelled");
    QString SMsgDone = QStringLiteral("The duration of the last task ");
    QString SDlgAddFiles = QStringLiteral("Add files...");
    QString SDlgSelectOutput = QStringLiteral("Select output file...");
    QString SFltSupported = QStringLiteral("Supported files");
    QString SFltAllFiles = QStringLiteral("All files");
    QString SMsgNoFiles = QStringLiteral("Please select one or more files to convert");
    QString SMsgWarning = QStringLiteral("Warning");
    QString SMergedName = QStringLiteral("merged");
    QString SAboutTitle = QStringLiteral("About...");
    QString SBtnClose = QStringLiteral("Close");
    QString SBtnUpdate = QStringLiteral("Check update");
    QString SUpdAsk = QStringLiteral("Do you want to download the latest version of Bitonix now?");
    QString SUpdLatest = QStringLiteral("You are using the latest version of Bitonix");
    QString SUpdTitle = QStringLiteral("Update");
    QString SUpdNewVersionMsg = QStringLiteral("A new version of Bitonix is available: %s");
    QString SUpdCheckFailed = QStringLiteral("Could not check for updates.");
    QString SLblLanguage = QStringLiteral("Language:");
    QString SHintBtnAdd = QStringLiteral("Add images or PDF files to the list");
    QString SHintBtnRemove = QStringLiteral("Remove selected items from the list");
    QString SHintBtnClear = QStringLiteral("Remove all files from the list");
    QString SHintList = QStringLiteral("Drag files here; reorder them by dragging");
    QString SHintPreview = QStringLiteral("Preview of the selected file");
    QString SHintRbSeparate = QStringLiteral("Save each file as a separate PDF document");
    QString SHintRbMerge = QStringLiteral("Merge all files into a single PDF document");
    QString SHintOutputFile = QStringLiteral("Name of the resulting PDF file");
    QString SHintBtnBrowse = QStringLiteral("Choose the destination folder and file name");
    QString SHintChkOpenFolder = QStringLiteral("Open the output folder when processing finishes");
    QString SHintDpi =
        QStringLiteral("Processing resolution. Higher DPI = better quality and larger file");
    QString SHintRotation = QStringLiteral("Rotation applied to all document pages");
    QString SHintContrast = QStringLiteral("Black intensity of the document");
    QString SHintPerspNone = QStringLiteral("Do not correct perspective");
    QString SHintPerspAuto = QStringLiteral("Detect and straighten the document automatically");
    QString SHintPerspSemi = QStringLiteral("Straighten manually in the editor");
    QString SHintBtnStart = QStringLiteral("Start or stop processing");
    QString SHintLanguage = QStringLiteral("Choose the interface language");
    QString SHintBtnUpdate = QStringLiteral("Check for a new version");
    QString SHintBtnClose = QStringLiteral("Close this window");
    // Hint of the About box's web link.
    QString SHintVelkorBiz = QStringLiteral("Open bitonix.example.org website");
    // Hint of the main window's web link `Label2`.
    QString SHintVelkorEu = QStringLiteral("Open bitonix.example.org website");
};

} // namespace bitonix
