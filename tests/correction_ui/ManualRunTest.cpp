// A whole run in the manual straightening mode with the real editor, driven
// like a user: outline the photographed page, turn it, confirm; or cancel.
#include "EditorTestSupport.h"
#include "correction/DocCorrection.h"
#include "pipeline/BatchRun.h"
#include "RecordingHost.h"

#include <QDir>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace bitonix;
using namespace bitonix::test;

namespace {

// The run's host whose corner editor is the real window, run by a script.
class TEditorHost : public TRecordingHost {
public:
    std::function<void(TFormCorrection&)> Script;
    TPageCorrectionList Confirmed; // the list as the editor handed it back

    bool EditCorrections(TPageCorrectionList& list) override {
        ++EditorCalls;
        TFormCorrection form;
        const bool ok = RunEditor(form, list, Script);
        Confirmed = list;
        return ok;
    }
};

// The document's corners in the photo.
const TCorners KDoc = {TPointF{120, 40}, TPointF{330, 60}, TPointF{350, 320}, TPointF{100, 300}};

class ManualRun : public ::testing::Test {
protected:
    void SetUp() override {
        In = Dir.path() + "/in/";
        ASSERT_TRUE(QDir().mkpath(In));
        ASSERT_TRUE(QDir().mkpath(Dir.path() + "/tmp"));
        ASSERT_TRUE(QDir().mkpath(Dir.path() + "/prog"));
        Photo = SaveJpeg(MakePhoto(480, 360, KDoc), In + "photo.jpg");
        Settings.Files = {Photo};
        Settings.PerspMode = TPerspMode::pmSemi;
        Settings.ProgramDir = Dir.path() + "/prog/"; // no detector: corners start at the full page
        Settings.TempParent = Dir.path() + "/tmp";
    }

    QStringList LeftInTemp() const {
        return QDir(Dir.path() + "/tmp")
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir Dir;
    QString In;
    QString Photo;
    TRunSettings Settings;
    TLangStrings Strings;
    TEditorHost Host;
};

int Rounded(double v) {
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

TEST_F(ManualRun, OutlinedAndTurnedPhotoComesOutStraightAndTurned) {
    Host.Script = [](TFormCorrection& f) {
        for (int k = 0; k < 4; ++k) {
            DragCorner(f, k, KDoc[static_cast<std::size_t>(k)]);
        }
        f.btnRotRClick();
        f.btnOK->click();
    };
    const TRunResult r = RunBatch(Settings, Strings, Host);
    ASSERT_TRUE(r.Completed);
    ASSERT_EQ(Host.EditorCalls, 1);
    const TPageCorrection& page = Host.Confirmed.at(0);
    EXPECT_EQ(page.Rotation, 90);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_LT(Dist(page.Corners[k], KDoc[k]), 1.0) << k;
    }

    const QString pdf = In + "[BW]photo.pdf";
    ASSERT_EQ(r.Written, QStringList({pdf}));
    QByteArray out;
    ASSERT_EQ(RunTool(QPDF_EXECUTABLE, {"--check", pdf}, &out), 0) << out.toStdString();
    ASSERT_EQ(RunTool(PDFIMAGES_EXECUTABLE, {"-png", pdf, Dir.path() + "/img"}), 0);
    const QImage image(Dir.path() + "/img-000.png");
    ASSERT_FALSE(image.isNull());
    // The outline's size, turned a quarter: its height becomes the width.
    const TCorners& c = page.Corners;
    const int outW = Rounded(std::max(Dist(c[0], c[1]), Dist(c[3], c[2])));
    const int outH = Rounded(std::max(Dist(c[0], c[3]), Dist(c[1], c[2])));
    ASSERT_EQ(image.size(), QSize(outH, outW));

    const auto blackShare = [&image](const QRect& area) {
        int black = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                black += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
            }
        }
        return double(black) / (area.width() * area.height());
    };
    const int w = image.width();
    const int h = image.height();
    // The striped block of the document's top-left corner is now top-right.
    EXPECT_GT(blackShare(QRect(w - 40, 4, 30, 20)), 0.3);
    EXPECT_LT(blackShare(QRect(4, 4, 30, 20)), 0.02);
    // No dark table inside the edges: the page fills the image.
    EXPECT_LT(blackShare(QRect(3, h - 12, w - 6, 8)), 0.02);
    EXPECT_LT(blackShare(QRect(3, 40, 8, h - 60)), 0.02);
    EXPECT_TRUE(LeftInTemp().isEmpty());
}

TEST_F(ManualRun, CancelEndsTheRunWithNothingWritten) {
    Host.Script = [](TFormCorrection& f) {
        DragCorner(f, 0, KDoc[0]);
        f.btnRotRClick();
        f.btnCancel->click();
    };
    const TRunResult r = RunBatch(Settings, Strings, Host);
    EXPECT_TRUE(r.EditorDismissed);
    EXPECT_FALSE(r.Completed);
    EXPECT_TRUE(r.Written.isEmpty());
    EXPECT_EQ(Host.Confirmed.at(0).Rotation, 0);
    EXPECT_FALSE(Host.Confirmed.at(0).UserEdited);
    EXPECT_EQ(QDir(In).entryList(QDir::Files), QStringList({"photo.jpg"}));
    // The status keeps the last preparation text: no outcome is reported.
    ASSERT_FALSE(Host.Status.isEmpty());
    EXPECT_TRUE(Host.Status.last().startsWith("Preparing: photo.jpg"))
        << Host.Status.last().toStdString();
    EXPECT_TRUE(LeftInTemp().isEmpty());
}
