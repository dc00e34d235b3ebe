// The corner editor shows every text and button whole at its design size and
// at its smallest, with captions or with images, at scale factors 1 and 2;
// its thumbnails have the screen's pixel ratio; Page Up and Page Down page
// through the batch; Enter presses a focused tool button.
#include "EditorTestSupport.h"
#include "WindowFit.h"
#include "correction/DocCorrection.h"
#include "correction/PageThumbnail.h"
#include "correction/PaintBox.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace bitonix;
using namespace bitonix::test;

namespace {

// A plain 24 x 24 image for every button.
QIcon AnyIcon(const QString& /*name*/) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::darkBlue);
    return QIcon(pixmap);
}

class EditorFit : public ::testing::Test {
protected:
    TPageCorrectionList Pages(int n) {
        TPageCorrectionList list;
        for (int i = 0; i < n; ++i) {
            const QString path =
                SaveJpeg(MakeDocumentImage(300, 400), Dir.filePath(QString("p%1.jpg").arg(i)));
            list << PageRecord(path, 300, 400, i + 1, n);
        }
        return list;
    }
    static std::string Problems(const TFormCorrection& form) {
        return WindowFitProblems(form).join(QLatin1Char('\n')).toStdString();
    }
    QTemporaryDir Dir;
};

TEST_F(EditorFit, ToolbarAndButtonsStayWholeDownToTheSmallestSize) {
    for (const bool images : {false, true}) {
        SCOPED_TRACE(images ? "with images" : "with captions");
        TFormCorrection form;
        if (images) {
            form.ApplyButtonImages(AnyIcon);
        }
        TPageCorrectionList list = Pages(2);
        RunEditor(form, list, [images](TFormCorrection& f) {
            if (ChildScaleFactor() > 0) {
                ASSERT_EQ(f.devicePixelRatioF(), ChildScaleFactor());
            }
            EXPECT_EQ(Problems(f), "") << "at " << f.width() << " x " << f.height();
            if (images) {
                EXPECT_EQ(f.size(), QSize(924, 661)) << "the design size";
                EXPECT_EQ(f.PaintBox1->size(), QSize(784, 565));
            }
            f.resize(300, 200);
            QApplication::processEvents();
            EXPECT_EQ(f.size(), f.minimumSize());
            if (images) {
                EXPECT_LT(f.width(), 924) << "icons need less than the design width";
            }
            EXPECT_EQ(Problems(f), "") << "at " << f.width() << " x " << f.height();
            EXPECT_LE(f.btnDetectEdges->geometry().right(), f.pnlTop->width() - 8);
            EXPECT_LE(f.btnCancel->geometry().right(), f.pnlBottom->width() - 8);
        });
    }
}

TEST_F(EditorFit, ThumbnailsHaveThePixelsOfTheScreen) {
    TFormCorrection form;
    TPageCorrectionList list = Pages(1);
    RunEditor(form, list, [](TFormCorrection& f) {
        const qreal ratio = f.devicePixelRatioF();
        ASSERT_EQ(f.Thumbs().size(), 1u);
        const QImage& thumb = f.Thumbs()[0];
        EXPECT_EQ(thumb.devicePixelRatio(), ratio);
        EXPECT_EQ(ThumbnailShownSize(thumb), QSize(96, 128));
        EXPECT_EQ(thumb.size(), QSize(qRound(96 * ratio), qRound(128 * ratio)));
    });
}

TEST_F(EditorFit, AtScaleFactorTwo) {
    if (ChildScaleFactor() > 0) {
        GTEST_SKIP() << "the child runs the other tests";
    }
    EXPECT_EQ(SuiteFailuresAtScaleFactorTwo("EditorFit").toStdString(), "");
}

TEST_F(EditorFit, PageKeysPageThroughTheBatchAndEnterPressesTheFocusedButton) {
    UnloadDocDetect();
    TFormCorrection form;
    TPageCorrectionList list = Pages(3);
    RunEditor(form, list, [](TFormCorrection& f) {
        QApplication::setActiveWindow(&f);
        f.edPage->setFocus();
        QTest::keyClick(f.edPage, Qt::Key_PageDown);
        EXPECT_EQ(f.Geometry().Idx(), 1);
        QTest::keyClick(f.edPage, Qt::Key_PageDown);
        QTest::keyClick(f.edPage, Qt::Key_PageDown);
        EXPECT_EQ(f.Geometry().Idx(), 2) << "stays on the last page";
        f.btnRotR->setFocus();
        QTest::keyClick(f.btnRotR, Qt::Key_PageUp);
        EXPECT_EQ(f.Geometry().Idx(), 1);

        QTest::keyClick(f.btnRotR, Qt::Key_Return);
        EXPECT_EQ(f.Geometry().List()[1].Rotation, 90);
        EXPECT_TRUE(f.isVisible()) << "Enter on a tool button is no OK";
        f.PaintBox1->setFocus();
        QTest::keyClick(&f, Qt::Key_Return);
        EXPECT_FALSE(f.isVisible()) << "elsewhere Enter presses OK";
    });
}

} // namespace
