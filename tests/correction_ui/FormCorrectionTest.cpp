// The corner editor window under the offscreen platform: its states,
// navigation, page field, turns, reset and detect, painting, the mouse, the
// thumbnail strip, and what reaches the caller on OK and on Cancel.
#include "EditorTestSupport.h"
#include "correction/DocCorrection.h"
#include "correction/PaintBox.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace bitonix;
using namespace bitonix::test;

namespace {

class FormCorrection : public ::testing::Test {
protected:
    void SetUp() override { UnloadDocDetect(); }
    void TearDown() override { UnloadDocDetect(); }

    // n pages of w x h, each a document image of its own file.
    TPageCorrectionList Pages(int n, int w = 120, int h = 90) {
        TPageCorrectionList list;
        for (int i = 0; i < n; ++i) {
            const QString path =
                SaveJpeg(MakeDocumentImage(w, h), Dir.filePath(QString("p%1.jpg").arg(i)));
            list << PageRecord(path, w, h, i + 1, n);
        }
        return list;
    }

    static QList<bool> NavEnabled(const TFormCorrection& f) {
        return {f.btnFirst->isEnabled(),      f.btnPrev->isEnabled(),
                f.btnNext->isEnabled(),       f.btnLast->isEnabled(),
                f.btnResetEdges->isEnabled(), f.btnDetectEdges->isEnabled()};
    }

    static void Wheel(QWidget* widget, QPoint pos, int delta) {
        QWheelEvent event(QPointF(pos), widget->mapToGlobal(QPointF(pos)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &event);
    }

    static void TypePage(TFormCorrection& f, const QString& text) {
        f.edPage->setText(text);
        KeyPress(f.edPage, Qt::Key_Return);
    }

    QTemporaryDir Dir;
};

} // namespace

TEST_F(FormCorrection, EmptyListOpensBlankAndOkChangesNothing) {
    TFormCorrection form;
    TPageCorrectionList list;
    const bool ok = RunEditor(form, list, [](TFormCorrection& f) {
        EXPECT_EQ(f.edPage->text(), "0");
        EXPECT_EQ(f.lblCount->text(), "/ 0");
        EXPECT_EQ(f.windowTitle(), "Korekcja perspektywy");
        EXPECT_EQ(NavEnabled(f), QList<bool>({false, false, false, false, false, false}));
        EXPECT_TRUE(f.RotBmp().isNull());
        f.btnRotRClick();
        f.btnResetEdgesClick();
        TypePage(f, "1");
        const QImage view = f.PaintBox1->grab().toImage();
        EXPECT_EQ(view.pixelColor(view.width() / 2, view.height() / 2), QColor(128, 128, 128));
        f.btnOK->click();
    });
    EXPECT_TRUE(ok);
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(FormCorrection, NavigationFollowsThePagePosition) {
    TFormCorrection form;
    TPageCorrectionList one = Pages(1);
    RunEditor(form, one, [](TFormCorrection& f) {
        EXPECT_EQ(NavEnabled(f), QList<bool>({false, false, false, false, true, false}));
        EXPECT_EQ(f.edPage->text(), "1");
        EXPECT_EQ(f.lblCount->text(), "/ 1");
    });

    TFormCorrection three;
    TPageCorrectionList list = Pages(3);
    RunEditor(three, list, [](TFormCorrection& f) {
        EXPECT_EQ(NavEnabled(f), QList<bool>({false, false, true, true, true, false}));
        f.btnNext->click();
        EXPECT_EQ(f.Geometry().Idx(), 1);
        EXPECT_EQ(NavEnabled(f), QList<bool>({true, true, true, true, true, false}));
        f.btnLast->click();
        EXPECT_EQ(f.edPage->text(), "3");
        EXPECT_EQ(NavEnabled(f), QList<bool>({true, true, false, false, true, false}));
        f.btnPrev->click();
        f.btnFirst->click();
        EXPECT_EQ(f.Geometry().Idx(), 0);
    });
}

TEST_F(FormCorrection, CaptionNamesBatchPositionFileAndSourcePage) {
    TPageCorrectionList list = Pages(4);
    list[0].DisplayName = "scan.pdf";
    list[0].GlobalPageNo = 7;
    list[0].GlobalPageCount = 12;
    list[0].SourcePageNo = 2;
    list[0].SourcePageCount = 3;
    list[1].DisplayName = "photo.jpg";
    list[1].GlobalPageNo = 5;
    list[1].GlobalPageCount = 12;
    list[2].DisplayName = "early.jpg";
    list[2].GlobalPageCount = 0;
    list[3].DisplayName.clear();
    TFormCorrection form;
    RunEditor(form, list, [](TFormCorrection& f) {
        const QStringList expected = {"Korekcja perspektywy - 7/12 - scan.pdf - strona 2/3",
                                      "Korekcja perspektywy - 5/12 - photo.jpg",
                                      "Korekcja perspektywy - early.jpg", "Korekcja perspektywy"};
        for (int i = 0; i < expected.size(); ++i) {
            f.LoadPage(i);
            EXPECT_EQ(f.windowTitle(), expected[i]);
        }
    });
}

TEST_F(FormCorrection, PageFieldJumpsClampsAndKeepsTheWindowOpen) {
    TFormCorrection form;
    TPageCorrectionList list = Pages(3);
    RunEditor(form, list, [](TFormCorrection& f) {
        struct TCase {
            const char* text;
            int page;
        };
        const TCase cases[] = {{"2", 1},  {"abc", 1}, {"0", 0}, {"-4", 0},
                               {"99", 2}, {" 2 ", 1}, {"", 1},  {"123456789012", 2}};
        for (const TCase& c : cases) {
            TypePage(f, c.text);
            EXPECT_EQ(f.Geometry().Idx(), c.page) << c.text;
            EXPECT_EQ(f.edPage->text(), QString::number(c.page + 1));
        }
        // "abc" reloads the current page and fits it anew.
        const double fitted = f.Geometry().Zoom();
        f.btnZoomIn->click();
        TypePage(f, "abc");
        EXPECT_DOUBLE_EQ(f.Geometry().Zoom(), fitted);
        EXPECT_TRUE(f.isVisible()); // Enter went to the field, not to OK
    });
}

TEST_F(FormCorrection, TurnsChangeRotationAndTheShownBitmap) {
    TFormCorrection form;
    TPageCorrectionList list = Pages(1, 120, 90);
    RunEditor(form, list, [](TFormCorrection& f) {
        const TPageCorrection& page = *f.Geometry().CurPage();
        f.btnRotRClick();
        EXPECT_EQ(page.Rotation, 90);
        EXPECT_EQ(f.RotBmp().size(), QSize(90, 120));
        // The striped block of the top-left corner is now top-right.
        EXPECT_LT(qGray(f.RotBmp().pixel(89, 0)), 60);
        EXPECT_GT(qGray(f.RotBmp().pixel(0, 0)), 200);
        for (int i = 0; i < 3; ++i) {
            f.btnRotR->click();
        }
        EXPECT_EQ(page.Rotation, 0);
        EXPECT_TRUE(page.UserEdited);
        f.btnRotLClick();
        EXPECT_EQ(page.Rotation, 270);
        EXPECT_EQ(f.RotBmp().size(), QSize(90, 120));
        EXPECT_LT(qGray(f.RotBmp().pixel(0, 119)), 60);
        f.btnRotLClick();
        EXPECT_EQ(page.Rotation, 180);
        EXPECT_LT(qGray(f.RotBmp().pixel(119, 89)), 60);
        EXPECT_EQ(page.Corners,
                  (TCorners{TPointF{0, 0}, TPointF{119, 0}, TPointF{119, 89}, TPointF{0, 89}}));
    });
}

TEST_F(FormCorrection, PaintsOutlineAndHandlesOverTheTurnedPage) {
    TFormCorrection form;
    TPageCorrectionList list = Pages(1, 400, 300);
    list[0].Corners = {TPointF{40, 30}, TPointF{360, 20}, TPointF{380, 280}, TPointF{20, 270}};
    list[0].Rotation = 90;
    RunEditor(form, list, [](TFormCorrection& f) {
        const TPageCorrection& page = *f.Geometry().CurPage();
        const QImage view = f.PaintBox1->grab().toImage();
        EXPECT_EQ(view.pixelColor(2, 2), QColor(128, 128, 128));
        // For a quarter turn corner 3 is drawn top-left.
        const QPoint c3 = OnScreen(f, page.Corners[3]);
        for (int k = 0; k < 4; ++k) {
            const QPoint c = OnScreen(f, page.Corners[static_cast<std::size_t>(k)]);
            EXPECT_LE(c3.x() + c3.y(), c.x() + c.y());
            EXPECT_EQ(view.pixelColor(c), QColor(255, 0, 0)) << k;
        }
        const QPoint a = OnScreen(f, page.Corners[0]);
        const QPoint b = OnScreen(f, page.Corners[1]);
        const QPoint mid = (a + b) / 2;
        EXPECT_EQ(view.pixelColor(mid), QColor(255, 255, 0));
        const QPoint onLine = a + (b - a) / 4;
        EXPECT_EQ(view.pixelColor(onLine), QColor(0, 255, 0));

        // Dragging the top-left handle moves corner 3.
        MouseDrag(f.PaintBox1, c3, c3 + QPoint(10, 0));
        EXPECT_NE(page.Corners[3], (TPointF{20, 270}));
        EXPECT_EQ(page.Corners[0], (TPointF{40, 30}));
        EXPECT_TRUE(page.UserEdited);
    });
}

TEST_F(FormCorrection, PaintingSurvivesZoomsBeyondAnyScreen) {
    TPageCorrectionList list = Pages(1, 400, 300);
    TFormCorrection form;
    RunEditor(form, list, [](TFormCorrection& f) {
        for (int i = 0; i < 120; ++i) {
            f.btnZoomIn->click();
        }
        ASSERT_GT(f.Geometry().Zoom(), 1e11);
        const QImage view = f.PaintBox1->grab().toImage();
        const QColor centre = view.pixelColor(view.width() / 2, view.height() / 2);
        EXPECT_NE(centre, QColor(128, 128, 128)); // the page fills the view
        for (int i = 0; i < 240; ++i) {
            f.btnZoomOut->click();
        }
        f.PaintBox1->grab();
        EXPECT_LT(f.Geometry().Zoom(), 1e-10);
    });
}

TEST_F(FormCorrection, CancelAndEscapeLeaveTheCallersListAsItWas) {
    TPageCorrectionList list = Pages(2);
    const TPageCorrectionList before = list;
    const auto edit = [](TFormCorrection& f) {
        DragCorner(f, 0, TPointF{20, 15});
        f.btnRotRClick();
        f.btnNextClick();
        f.btnResetEdgesClick();
    };
    TFormCorrection cancelled;
    EXPECT_FALSE(RunEditor(cancelled, list, [&](TFormCorrection& f) {
        edit(f);
        EXPECT_NE(f.Geometry().List(), before);
        f.btnCancel->click();
    }));
    EXPECT_EQ(list, before);
    TFormCorrection escaped;
    EXPECT_FALSE(RunEditor(escaped, list, [&](TFormCorrection& f) {
        edit(f);
        KeyPress(&f, Qt::Key_Escape);
        EXPECT_FALSE(f.isVisible());
    }));
    EXPECT_EQ(list, before);
}

TEST_F(FormCorrection, EditsOnTwoPagesBothReachTheCallerOnOk) {
    TPageCorrectionList list = Pages(3);
    TFormCorrection form;
    const bool ok = RunEditor(form, list, [](TFormCorrection& f) {
        DragCorner(f, 2, TPointF{100, 70});
        // Page 2 through its thumbnail (y 180 is its top).
        MousePress(f.ThumbPaintBox, QPoint(60, 200));
        ASSERT_EQ(f.Geometry().Idx(), 1);
        f.btnRotLClick();
        // Clicks in a gap or on the current item change nothing.
        MousePress(f.ThumbPaintBox, QPoint(60, 175));
        MousePress(f.ThumbPaintBox, QPoint(60, 200));
        MousePress(f.ThumbPaintBox, QPoint(60, 30), Qt::RightButton);
        EXPECT_EQ(f.Geometry().Idx(), 1);
        KeyPress(f.btnOK, Qt::Key_Return);
        if (f.isVisible()) {
            f.btnOK->click();
        }
    });
    ASSERT_TRUE(ok);
    EXPECT_TRUE(list[0].UserEdited);
    EXPECT_NEAR(list[0].Corners[2].X, 100, 1.0F);
    EXPECT_NEAR(list[0].Corners[2].Y, 70, 1.0F);
    EXPECT_EQ(list[0].Rotation, 0);
    EXPECT_EQ(list[1].Rotation, 270);
    EXPECT_TRUE(list[1].UserEdited);
    EXPECT_FALSE(list[2].UserEdited);
}

TEST_F(FormCorrection, UnreadablePageShowsWhiteAtTheRecordsSize) {
    TPageCorrectionList list;
    list << PageRecord(Dir.filePath("gone.jpg"), 300, 200);
    list << PageRecord(SaveJpeg(MakeDocumentImage(80, 60), Dir.filePath("zero.jpg")), 0, 0);
    TFormCorrection form;
    ASSERT_TRUE(RunEditor(form, list, [](TFormCorrection& f) {
        EXPECT_EQ(f.RotBmp().size(), QSize(300, 200));
        EXPECT_EQ(f.RotBmp().pixelColor(150, 100), QColor(Qt::white));
        EXPECT_EQ(f.Thumbs()[0].size(), QSize(104, 69));
        // Still editable.
        DragCorner(f, 1, TPointF{250, 20});
        EXPECT_TRUE(f.Geometry().CurPage()->UserEdited);
        f.btnNextClick();
        f.btnOK->click();
    }));
    // A record without a size takes the decoded one.
    EXPECT_EQ(list[1].ImgW, 80);
    EXPECT_EQ(list[1].ImgH, 60);
}

TEST_F(FormCorrection, ResetAndDetectSetTheOutlineAndFlags) {
    ASSERT_TRUE(LoadDocDetect(FAKE_DETECTOR_DIR));
    TPageCorrectionList list = Pages(1, 400, 450);
    const QString found = SaveJpeg(MakeDocumentImage(400, 450), Dir.filePath("found.jpg"));
    list << PageRecord(found, 400, 450, 2, 2);
    list[0].Corners[0] = TPointF{5, 5};
    list[0].AutoDetected = true;
    TFormCorrection form;
    ASSERT_TRUE(RunEditor(form, list, [](TFormCorrection& f) {
        EXPECT_TRUE(f.btnDetectEdges->isEnabled());
        const TPageCorrection before = *f.Geometry().CurPage();
        QString message;
        AnswerNextMessageBox(&message);
        f.btnDetectEdges->click();
        EXPECT_EQ(message, "Nie udalo sie wykryc krawedzi dla aktualnej strony.");
        EXPECT_EQ(*f.Geometry().CurPage(), before);

        f.btnResetEdges->click();
        EXPECT_EQ(f.Geometry().CurPage()->Corners[0], (TPointF{0, 0}));
        EXPECT_FALSE(f.Geometry().CurPage()->AutoDetected);
        EXPECT_TRUE(f.Geometry().CurPage()->UserEdited);

        f.btnNextClick();
        f.btnDetectEdges->click();
        EXPECT_EQ(f.Geometry().CurPage()->Corners[2], (TPointF{305, 410}));
        EXPECT_TRUE(f.Geometry().CurPage()->AutoDetected);
        EXPECT_TRUE(f.Geometry().CurPage()->UserEdited);
        f.btnOK->click();
    }));
}

TEST_F(FormCorrection, StripFollowsThePageAndScrollsByTheWheel) {
    TPageCorrectionList list = Pages(10, 60, 80);
    list[3].GlobalPageNo = 40;
    TFormCorrection form;
    RunEditor(form, list, [](TFormCorrection& f) {
        QScrollBar* bar = f.ThumbScroll->verticalScrollBar();
        const int client = f.ThumbScroll->viewport()->height();
        EXPECT_EQ(f.ThumbPaintBox->height(), 172 * 10 + 8);
        EXPECT_EQ(bar->value(), 0);
        EXPECT_EQ(f.Thumbs().size(), 10U);
        EXPECT_EQ(f.Thumbs()[0].size(), QSize(60, 80));

        f.btnLastClick();
        EXPECT_EQ(bar->value(), 172 * 10 - client);
        f.LoadPage(8); // already fully visible: no scrolling
        EXPECT_EQ(bar->value(), 172 * 10 - client);
        f.LoadPage(2);
        EXPECT_EQ(bar->value(), 172 * 2 + 8);

        const double zoom = f.Geometry().Zoom();
        const QPoint overStrip = f.pnlThumbs->mapToGlobal(QPoint(50, 50));
        EXPECT_TRUE(f.FormMouseWheel(120, overStrip));
        EXPECT_EQ(bar->value(), 172 * 2 + 8 - 72);
        EXPECT_TRUE(f.FormMouseWheel(-60, overStrip));
        EXPECT_EQ(bar->value(), 172 * 2 + 8 - 36);
        for (int i = 0; i < 10; ++i) {
            f.FormMouseWheel(120, overStrip);
        }
        EXPECT_EQ(bar->value(), 0);
        EXPECT_DOUBLE_EQ(f.Geometry().Zoom(), zoom);
        EXPECT_FALSE(f.FormMouseWheel(0, overStrip));

        // Over the page the wheel zooms about the mouse.
        const QPoint overPage = f.PaintBox1->mapToGlobal(QPoint(100, 100));
        EXPECT_TRUE(f.FormMouseWheel(120, overPage));
        EXPECT_DOUBLE_EQ(f.Geometry().Zoom(), zoom * 1.25);
        EXPECT_FALSE(f.FormMouseWheel(120, f.pnlTop->mapToGlobal(QPoint(600, 20))));

        // Real wheel events reach the same handler: the strip scrolls by
        // exactly one step (the scroll box adds none of its own), the page
        // view zooms.
        bar->setValue(500);
        Wheel(f.ThumbPaintBox, QPoint(50, 600), -120);
        EXPECT_EQ(bar->value(), 572);
        Wheel(f.ThumbScroll->verticalScrollBar(), QPoint(2, 50), 120);
        EXPECT_EQ(bar->value(), 500);
        Wheel(f.PaintBox1, QPoint(100, 100), 120);
        EXPECT_DOUBLE_EQ(f.Geometry().Zoom(), zoom * 1.25 * 1.25);
    });
}

TEST_F(FormCorrection, StripMarksTheCurrentPageInTheSelectionColours) {
    TPageCorrectionList list = Pages(3, 60, 80);
    TFormCorrection form;
    RunEditor(form, list, [](TFormCorrection& f) {
        f.LoadPage(1);
        const QImage strip = f.ThumbPaintBox->grab().toImage();
        const QPalette& pal = f.palette();
        // Left frame edge halfway down each item; the label band of the current one.
        EXPECT_EQ(strip.pixelColor(8, 90), QColor(192, 192, 192));
        EXPECT_EQ(strip.pixelColor(8, 172 + 90), pal.color(QPalette::Highlight));
        EXPECT_EQ(strip.pixelColor(14, 172 + 160), pal.color(QPalette::Highlight));
        EXPECT_EQ(strip.pixelColor(14, 160), pal.color(QPalette::Base));
        // The thumbnail sits centred 8 pixels below the item's top.
        const int x = 8 + (f.ThumbPaintBox->width() - 16 - 60) / 2;
        EXPECT_EQ(strip.pixelColor(x - 1, 16 + 40), QColor(128, 128, 128));
        EXPECT_EQ(strip.pixelColor(x + 30, 16 + 40), f.Thumbs()[0].pixelColor(30, 40));
    });
}

TEST_F(FormCorrection, CursorShowsWhetherAHandleIsUnderTheMouse) {
    TPageCorrectionList list = Pages(1, 400, 300);
    TFormCorrection form;
    RunEditor(form, list, [](TFormCorrection& f) {
        const QPoint corner = OnScreen(f, TPointF{0, 0});
        MouseMove(f.PaintBox1, corner + QPoint(3, 3), Qt::NoButton);
        EXPECT_EQ(f.PaintBox1->cursor().shape(), Qt::PointingHandCursor);
        MouseMove(f.PaintBox1, corner + QPoint(60, 60), Qt::NoButton);
        EXPECT_EQ(f.PaintBox1->cursor().shape(), Qt::SizeAllCursor);
        EXPECT_EQ(f.Geometry().DragCorner(), -1);
    });
}

TEST_F(FormCorrection, ShortStripFitsAndIsTallerWhenTheBoxIs) {
    TPageCorrectionList list = Pages(3);
    TFormCorrection form;
    RunEditor(form, list, [](TFormCorrection& f) {
        const int client = f.ThumbScroll->viewport()->height();
        ASSERT_GT(client, 524);
        EXPECT_EQ(f.ThumbPaintBox->height(), client);
        f.FormMouseWheel(-120, f.pnlThumbs->mapToGlobal(QPoint(50, 50)));
        EXPECT_EQ(f.ThumbScroll->verticalScrollBar()->value(), 0);
        f.resize(924, 400);
        EXPECT_EQ(f.ThumbPaintBox->height(), 524);
        EXPECT_EQ(f.ThumbnailIndexAt(180), 1);
        EXPECT_EQ(f.ThumbnailIndexAt(175), -1);
    });
}

TEST_F(FormCorrection, ResizeRefitsThePage) {
    TPageCorrectionList list = Pages(1, 400, 300);
    TFormCorrection form;
    RunEditor(form, list, [](TFormCorrection& f) {
        EXPECT_DOUBLE_EQ(f.Geometry().Zoom(),
                         0.9 * (784 / 400.0 < 565 / 300.0 ? 784 / 400.0 : 565 / 300.0));
        f.btnZoomOut->click();
        f.resize(1140, 761);
        EXPECT_DOUBLE_EQ(f.Geometry().Zoom(), 0.9 * (665 / 300.0));
    });
}

TEST_F(FormCorrection, ButtonImagesComeFromTheLookupByName) {
    TFormCorrection form;
    EXPECT_EQ(form.btnFirst->text(), "|<");
    form.ApplyButtonImages({});
    EXPECT_EQ(form.btnFirst->text(), "|<");
    EXPECT_TRUE(form.btnFirst->icon().isNull());

    QStringList asked;
    form.ApplyButtonImages([&asked](const QString& name) {
        asked << name;
        QPixmap pixmap(24, 24);
        pixmap.fill(Qt::blue);
        return QIcon(pixmap);
    });
    EXPECT_EQ(asked, QStringList({"nav-first", "nav-prev", "nav-next", "nav-last", "rotate-left",
                                  "rotate-right", "zoom-in", "zoom-out", "zoom-fit", "detect-edges",
                                  "reset-corners", "ok", "cancel"}));
    EXPECT_TRUE(form.btnFirst->text().isEmpty());
    EXPECT_FALSE(form.btnFirst->icon().isNull());
    EXPECT_EQ(form.btnRotL->toolTip(), "Obroc w lewo");
    EXPECT_EQ(form.btnDetectEdges->toolTip(), "Wykryj krawedzie");
    EXPECT_EQ(form.btnResetEdges->toolTip(), "Resetuj krawedzie");
    EXPECT_EQ(form.btnOK->text(), "OK");
    EXPECT_EQ(form.btnCancel->text(), "Anuluj");
    EXPECT_FALSE(form.btnCancel->icon().isNull());
}
