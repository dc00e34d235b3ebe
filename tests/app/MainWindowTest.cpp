// The main window at start-up: controls, sizes, texts, the output mode, the
// settings it restores and saves, and the image list.
#include "TestForm.h"

#include "app/AppIdentity.h"
#include "support/Version.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSlider>
#include <QStandardPaths>
#include <QWindow>

namespace bitonix::test {
namespace {

void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(MainWindow, StartsInItsIdleStateWithEveryControlReady) {
    TScratch scratch;
    TTestForm form({}, scratch.Config());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Bitonix v") + GetAppVersionStr());
    EXPECT_EQ(form.minimumSize(), QSize(736, 620));
    EXPECT_TRUE(Find<QRadioButton>(form, "RadioButton1")->isChecked());
    EXPECT_EQ(Find<QLineEdit>(form, "Edit1")->text(), QStringLiteral("[BW]<filesrc>"));
    EXPECT_TRUE(Find<QCheckBox>(form, "chk1")->isChecked());
    EXPECT_EQ(Find<QComboBox>(form, "ComboBox1")->count(), 7);
    EXPECT_EQ(Find<QComboBox>(form, "ComboBox1")->currentText(), QStringLiteral("300"));
    EXPECT_EQ(Find<QComboBox>(form, "cbRotation")->count(), 4);
    EXPECT_EQ(Find<QComboBox>(form, "cbRotation")->currentIndex(), 0);
    EXPECT_EQ(Find<QSlider>(form, "tbContrast")->minimum(), 1);
    EXPECT_EQ(Find<QSlider>(form, "tbContrast")->maximum(), 100);
    EXPECT_EQ(Find<QSlider>(form, "tbContrast")->value(), 21);
    EXPECT_TRUE(Find<QRadioButton>(form, "rbPerspSemi")->isChecked());
    EXPECT_EQ(Find<QGroupBox>(form, "gbOutput")->title(),
              QLatin1Char(' ') + form.Strings().SGbOutput + QLatin1Char(' '));
    EXPECT_EQ(Find<QPushButton>(form, "btnStart")->text(), form.Strings().SBtnStart);
    EXPECT_TRUE(Find<QLineEdit>(form, "edtOutputFile")->text().isEmpty());
    EXPECT_EQ(Find<TFileListBox>(form, "ListBox1")->count(), 0);
    EXPECT_EQ(form.WHSize(), 8);
    EXPECT_FALSE(QFile::exists(scratch.Config())) << "nothing is written at start-up";

    // Every control the user can point at explains itself.
    const QList<QWidget*> hinted = {
        Find<QPushButton>(form, "btnAdd"),       Find<QPushButton>(form, "btnRemove"),
        Find<QPushButton>(form, "btnClear"),     Find<QLabel>(form, "Label2"),
        Find<QPushButton>(form, "btnAbout"),     Find<TPreviewImage>(form, "Image1"),
        Find<TFileListBox>(form, "ListBox1"),    Find<QRadioButton>(form, "RadioButton1"),
        Find<QLineEdit>(form, "Edit1"),          Find<QRadioButton>(form, "RadioButton2"),
        Find<QLineEdit>(form, "edtOutputFile"),  Find<QPushButton>(form, "btnBrowse"),
        Find<QCheckBox>(form, "chk1"),           Find<QComboBox>(form, "ComboBox1"),
        Find<QComboBox>(form, "cbRotation"),     Find<QSlider>(form, "tbContrast"),
        Find<QRadioButton>(form, "rbPerspNone"), Find<QRadioButton>(form, "rbPerspAuto"),
        Find<QRadioButton>(form, "rbPerspSemi"), Find<QPushButton>(form, "btnStart")};
    for (QWidget* widget : hinted) {
        EXPECT_FALSE(widget->toolTip().isEmpty()) << widget->objectName().toStdString();
    }
    for (QPushButton* button :
         {Find<QPushButton>(form, "btnAdd"), Find<QPushButton>(form, "btnRemove"),
          Find<QPushButton>(form, "btnClear"), Find<QPushButton>(form, "btnAbout"),
          Find<QPushButton>(form, "btnBrowse"), Find<QPushButton>(form, "btnStart")}) {
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
    }
    EXPECT_TRUE(Find<QPushButton>(form, "btnAbout")->text().isEmpty());
}

TEST(MainWindow, CaptionIsTheProgramTitleAloneWithoutADisplayNameSuffix) {
    SetApplicationIdentity();
    EXPECT_EQ(QGuiApplication::applicationName(), QStringLiteral("Bitonix"));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.example.bitonix"));
    // No display name of its own (the platform would append it to every
    // caption): it keeps following the application name.
    QGuiApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
    QGuiApplication::setApplicationName(QStringLiteral("Bitonix"));

    TScratch scratch;
    TTestForm form({}, scratch.Config());
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.windowHandle()->title(), QStringLiteral("Bitonix v") + GetAppVersionStr());
}

TEST(MainWindow, ShowsTheEnglishTextsWhenEnglishIsChosen) {
    TScratch scratch;
    WriteText(scratch.Config(), "[Config]\nLanguage=en\n");
    TTestForm form({}, scratch.Config());
    EXPECT_EQ(Find<QGroupBox>(form, "gbOutput")->title(), QStringLiteral(" Saving "));
    EXPECT_EQ(Find<QPushButton>(form, "btnStart")->text(), QStringLiteral("START"));
    EXPECT_EQ(Find<QPushButton>(form, "btnAdd")->text(), QStringLiteral("Add files"));
    EXPECT_EQ(Find<TFileListBox>(form, "ListBox1")->EmptyHint(),
              QStringLiteral("Drag files here or click \"Add files\""));
    EXPECT_TRUE(form.MergedFileName().endsWith(QStringLiteral("-merged.pdf")));
    Find<QPushButton>(form, "btnStart")->click();
    ASSERT_EQ(form.Boxes.size(), 1u);
    EXPECT_EQ(form.Boxes[0].Title, QStringLiteral("Warning"));
    EXPECT_EQ(form.Boxes[0].Text, QStringLiteral("Please select one or more files to convert"));
}

TEST(MainWindow, ShowsCentredWithNoControlFocused) {
    TScratch scratch;
    TTestForm form({}, scratch.Config());
    form.show();
    QApplication::processEvents();
    QApplication::processEvents();
    QWidget* focused = QApplication::focusWidget();
    EXPECT_TRUE(focused == nullptr || focused == &form)
        << (focused ? focused->objectName().toStdString() : std::string());
    const QRect area = form.screen()->availableGeometry();
    const QRect frame = form.frameGeometry();
    EXPECT_NEAR(frame.center().x(), area.center().x(), 2);
    if (area.height() >= frame.height()) {
        EXPECT_NEAR(frame.center().y(), area.center().y(), 2);
    } else {
        EXPECT_EQ(frame.top(), area.top());
    }
}

TEST(MainWindow, ResizingChangesOnlyTheListAndPreviewHeight) {
    TScratch scratch;
    TTestForm form({}, scratch.Config());
    form.resize(736, 643);
    form.show();
    QApplication::processEvents();
    const QRect list = Find<TFileListBox>(form, "ListBox1")->geometry();
    const QRect preview = Find<QWidget>(form, "pnlPreview")->geometry();
    const QRect output = Find<QGroupBox>(form, "gbOutput")->geometry();
    const QRect pattern = Find<QLineEdit>(form, "Edit1")->geometry();
    const QRect start = Find<QPushButton>(form, "btnStart")->geometry();
    const QRect add = Find<QPushButton>(form, "btnAdd")->geometry();

    form.resize(836, 743);
    QApplication::processEvents();
    EXPECT_EQ(Find<TFileListBox>(form, "ListBox1")->height(), list.height() + 100);
    EXPECT_EQ(Find<TFileListBox>(form, "ListBox1")->width(), list.width() + 100);
    EXPECT_EQ(Find<QWidget>(form, "pnlPreview")->height(), preview.height() + 100);
    EXPECT_EQ(Find<QWidget>(form, "pnlPreview")->width(), preview.width());
    EXPECT_EQ(Find<QGroupBox>(form, "gbOutput")->height(), output.height());
    EXPECT_EQ(Find<QLineEdit>(form, "Edit1")->width(), pattern.width() + 100);
    EXPECT_EQ(Find<QLineEdit>(form, "Edit1")->x(), pattern.x());
    EXPECT_EQ(Find<QPushButton>(form, "btnStart")->geometry(), start.translated(100, 0));
    EXPECT_EQ(Find<QPushButton>(form, "btnAdd")->geometry(), add);

    form.resize(500, 400);
    QApplication::processEvents();
    EXPECT_GE(form.width(), 736);
    EXPECT_GE(form.height(), 620);
}

TEST(MainWindow, OutputModeSwitchesControlsAndProposesTheMergedName) {
    TScratch scratch;
    TTestForm form({}, scratch.Config());
    EXPECT_FALSE(Find<QLineEdit>(form, "edtOutputFile")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(form, "btnBrowse")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>(form, "chk1")->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>(form, "Edit1")->isEnabled());

    Find<QRadioButton>(form, "RadioButton2")->click();
    EXPECT_TRUE(Find<QLineEdit>(form, "edtOutputFile")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(form, "btnBrowse")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(form, "chk1")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(form, "Edit1")->isEnabled());
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString proposed = Find<QLineEdit>(form, "edtOutputFile")->text();
    EXPECT_EQ(proposed, documents + QLatin1Char('/') + form.MergedFileName());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{8}-\\d{6}-") + form.Strings().SMergedName +
                                   QStringLiteral("\\.pdf$"))
                    .match(form.MergedFileName())
                    .hasMatch())
        << form.MergedFileName().toStdString();

    // Back and forth keeps whatever the box holds.
    Find<QLineEdit>(form, "edtOutputFile")->setText(QStringLiteral("/somewhere/mine.pdf"));
    Find<QRadioButton>(form, "RadioButton1")->click();
    EXPECT_FALSE(Find<QLineEdit>(form, "edtOutputFile")->isEnabled());
    Find<QRadioButton>(form, "RadioButton2")->click();
    EXPECT_EQ(Find<QLineEdit>(form, "edtOutputFile")->text(),
              QStringLiteral("/somewhere/mine.pdf"));
}

TEST(MainWindow, MergedNameGoesBesideTheFirstEntry) {
    TScratch scratch;
    QDir(scratch.Dir.path()).mkdir(QStringLiteral("in"));
    const QString input = scratch.Path(QStringLiteral("in/page.png"));
    ASSERT_TRUE(QImage(4, 4, QImage::Format_RGB32).save(input));
    TTestForm form({input}, scratch.Config());
    Find<QRadioButton>(form, "RadioButton2")->click();
    EXPECT_EQ(Find<QLineEdit>(form, "edtOutputFile")->text(),
              scratch.Path(QStringLiteral("in/")) + form.MergedFileName());
}

TEST(MainWindow, ApplyLanguageKeepsTheRotationAndShowsStopDuringARun) {
    TScratch scratch;
    TTestForm form({}, scratch.Config());
    Find<QComboBox>(form, "cbRotation")->setCurrentIndex(3);
    TLangStrings strings = form.Strings();
    strings.SRot180 = QStringLiteral("Half turn");
    strings.SGbProcessing = QStringLiteral("Work");
    form.SetStrings(strings);
    form.ApplyLanguage();
    EXPECT_EQ(Find<QComboBox>(form, "cbRotation")->currentIndex(), 3);
    EXPECT_EQ(Find<QComboBox>(form, "cbRotation")->currentText(), QStringLiteral("Half turn"));
    EXPECT_EQ(Find<QGroupBox>(form, "gbProcessing")->title(), QStringLiteral(" Work "));
}

// One [Processing] or [Config] value in the file, and what the window shows.
struct TSettingsCase {
    const char* Ini;
    QString DPI;
    int Rotation;
    int Contrast;
    int Perspective;
    int WHSize;
};

TEST(MainWindow, RestoresTheStoredSettingsWithinTheirRanges) {
    const std::vector<TSettingsCase> cases = {
        {"[Processing]\nDPI=400\n", QStringLiteral("300"), 0, 21, 2, 8},
        {"[Processing]\nDPI=600\n", QStringLiteral("600"), 0, 21, 2, 8},
        {"[Processing]\nRotation=4\n", QStringLiteral("300"), 0, 21, 2, 8},
        {"[Processing]\nRotation=-1\n", QStringLiteral("300"), 0, 21, 2, 8},
        {"[Processing]\nRotation=3\n", QStringLiteral("300"), 3, 21, 2, 8},
        {"[Processing]\nContrast=0\n", QStringLiteral("300"), 0, 1, 2, 8},
        {"[Processing]\nContrast=250\n", QStringLiteral("300"), 0, 100, 2, 8},
        {"[Processing]\nContrast=0x20\n", QStringLiteral("300"), 0, 32, 2, 8},
        {"[Processing]\nPerspective=7\n", QStringLiteral("300"), 0, 21, 2, 8},
        {"[Processing]\nPerspective=0\n", QStringLiteral("300"), 0, 21, 0, 8},
        {"[Processing]\nPerspective=1\n", QStringLiteral("300"), 0, 21, 1, 8},
        {"[Config]\nWHSize=3\n", QStringLiteral("300"), 0, 21, 2, 8},
        {"[Config]\nWHSize=40\n", QStringLiteral("300"), 0, 21, 2, 40},
    };
    for (const TSettingsCase& c : cases) {
        SCOPED_TRACE(c.Ini);
        TScratch scratch;
        WriteText(scratch.Config(), c.Ini);
        TTestForm form({}, scratch.Config());
        EXPECT_EQ(Find<QComboBox>(form, "ComboBox1")->currentText(), c.DPI);
        EXPECT_EQ(Find<QComboBox>(form, "cbRotation")->currentIndex(), c.Rotation);
        EXPECT_EQ(Find<QSlider>(form, "tbContrast")->value(), c.Contrast);
        EXPECT_EQ(Find<QRadioButton>(form, "rbPerspNone")->isChecked(), c.Perspective == 0);
        EXPECT_EQ(Find<QRadioButton>(form, "rbPerspAuto")->isChecked(), c.Perspective == 1);
        EXPECT_EQ(Find<QRadioButton>(form, "rbPerspSemi")->isChecked(), c.Perspective == 2);
        EXPECT_EQ(form.WHSize(), c.WHSize);
    }
}

TEST(MainWindow, StartWithAnEmptyListSavesTheSettingsAndWarns) {
    TScratch scratch;
    TTestForm form({}, scratch.Config());
    Find<QComboBox>(form, "ComboBox1")->setCurrentText(QStringLiteral("600"));
    Find<QComboBox>(form, "cbRotation")->setCurrentIndex(2);
    Find<QSlider>(form, "tbContrast")->setValue(55);
    Find<QRadioButton>(form, "rbPerspAuto")->setChecked(true);
    Find<QPushButton>(form, "btnStart")->click();

    ASSERT_EQ(form.Boxes.size(), 1u);
    EXPECT_EQ(form.Boxes[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(form.Boxes[0].Title, form.Strings().SMsgWarning);
    EXPECT_EQ(form.Boxes[0].Text, form.Strings().SMsgNoFiles);
    EXPECT_FALSE(form.BatchRunning());
    EXPECT_TRUE(form.StatusText().isEmpty());
    EXPECT_EQ(Find<QPushButton>(form, "btnStart")->text(), form.Strings().SBtnStart);
    const QByteArray saved = ReadText(scratch.Config());
    EXPECT_TRUE(saved.contains("DPI=600")) << saved.constData();
    EXPECT_TRUE(saved.contains("Rotation=2"));
    EXPECT_TRUE(saved.contains("Contrast=55"));
    EXPECT_TRUE(saved.contains("Perspective=1"));

    // What was saved is what the next start shows.
    TTestForm next({}, scratch.Config());
    EXPECT_EQ(next.CurrentProcessingConfig(), form.CurrentProcessingConfig());
}

TEST(MainWindow, RunSettingsAreWhatTheControlsShow) {
    TScratch scratch;
    WriteText(scratch.Config(), "[Config]\nWHSize=12\n");
    const QString input = scratch.Path(QStringLiteral("in.png"));
    ASSERT_TRUE(QImage(4, 4, QImage::Format_RGB32).save(input));
    TTestForm form({input}, scratch.Config());
    form.SetTempParent(scratch.Dir.path());
    Find<QRadioButton>(form, "RadioButton2")->click();
    Find<QLineEdit>(form, "edtOutputFile")->setText(QStringLiteral("/out/all.pdf"));
    Find<QLineEdit>(form, "Edit1")->setText(QStringLiteral("x-<filesrc>"));
    Find<QComboBox>(form, "ComboBox1")->setCurrentText(QStringLiteral("150"));
    Find<QComboBox>(form, "cbRotation")->setCurrentIndex(1);
    Find<QSlider>(form, "tbContrast")->setValue(70);
    Find<QRadioButton>(form, "rbPerspAuto")->setChecked(true);

    const TRunSettings run = form.RunSettings();
    EXPECT_EQ(run.Files, QStringList{input});
    EXPECT_TRUE(run.Merged);
    EXPECT_EQ(run.MergedOutput, QStringLiteral("/out/all.pdf"));
    EXPECT_EQ(run.Pattern, QStringLiteral("x-<filesrc>"));
    EXPECT_EQ(run.DpiText, QStringLiteral("150"));
    EXPECT_EQ(run.RotationIndex, 1);
    EXPECT_EQ(run.Contrast, 70);
    EXPECT_EQ(run.PerspMode, TPerspMode::pmAuto);
    EXPECT_EQ(run.WHSize, 12);
    EXPECT_EQ(run.Progname, form.ProgName());
    EXPECT_EQ(run.TempParent, scratch.Dir.path());
    EXPECT_TRUE(run.ProgramDir.endsWith(QLatin1Char('/')));

    Find<QRadioButton>(form, "rbPerspNone")->setChecked(true);
    EXPECT_EQ(form.RunSettings().PerspMode, TPerspMode::pmNone);
    Find<QRadioButton>(form, "rbPerspSemi")->setChecked(true);
    EXPECT_EQ(form.RunSettings().PerspMode, TPerspMode::pmSemi);
}

TEST(MainWindow, AnUnwritableSettingsFileIsReportedNotThrown) {
    TScratch scratch;
    const QString blocked = scratch.Path(QStringLiteral("ini-is-a-folder"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    TTestForm form({}, blocked);
    Find<QPushButton>(form, "btnStart")->click();
    ASSERT_EQ(form.Boxes.size(), 1u);
    EXPECT_EQ(form.Boxes[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(form.Boxes[0].Title, QStringLiteral("Bitonix"));
    EXPECT_TRUE(form.Boxes[0].Text.startsWith(QStringLiteral("Unable to write to")))
        << form.Boxes[0].Text.toStdString();
}

TEST(ImageList, HoldsTheTwentyTwoNamedImagesAt24Pixels) {
    const TImageList images;
    ASSERT_EQ(images.Count(), 22);
    const std::vector<std::pair<int, QString>> named = {
        {0, QStringLiteral("add")},          {3, QStringLiteral("about")},
        {4, QStringLiteral("start")},        {5, QStringLiteral("stop")},
        {6, QStringLiteral("browse")},       {9, QStringLiteral("nav-first")},
        {13, QStringLiteral("rotate-left")}, {18, QStringLiteral("detect-edges")},
        {21, QStringLiteral("cancel")}};
    for (const auto& [index, name] : named) {
        EXPECT_EQ(TImageList::IndexOf(name), index) << name.toStdString();
    }
    EXPECT_EQ(TImageList::IndexOf(QStringLiteral("missing")), -1);
    EXPECT_TRUE(images.Icon(22).isNull());
    for (int i = 0; i < images.Count(); ++i) {
        const QImage image = images.Icon(i).pixmap(TImageList::ImageSize()).toImage();
        ASSERT_EQ(image.size(), QSize(24, 24)) << TImageList::Names()[i].toStdString();
        int drawn = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
            }
        }
        EXPECT_GT(drawn, 20) << TImageList::Names()[i].toStdString() << " is blank";
    }
}

} // namespace
} // namespace bitonix::test
