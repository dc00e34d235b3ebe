// The About box and the new-version dialog show every text whole in
// English, Polish and German at scale factors 1 and 2, the licence's rules
// stay on one line, the box opens centred every time, and it is usable by
// keyboard alone.
#include "TestAbout.h"

#include "QtPrint.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextLayout>

namespace bitonix::test {
namespace {

const char* const KLanguages[] = {"en", "pl", "de"};

QByteArray LanguageIni(const char* code) {
    return "[Config]\nLanguage=" + QByteArray(code) + "\n";
}

void ExpectFits(const QWidget& window, const char* code) {
    EXPECT_EQ(WindowFitProblems(window).join(QLatin1Char('\n')).toStdString(), "")
        << window.objectName().toStdString() << ", " << code;
}

TEST(AboutFit, EveryTextFitsAndTheLicenceRulesStayWhole) {
    for (const char* code : KLanguages) {
        TAboutFixture f(LanguageIni(code));
        f.About->show();
        QApplication::processEvents();
        if (ChildScaleFactor() > 0) {
            ASSERT_EQ(f.About->devicePixelRatioF(), ChildScaleFactor());
        }
        EXPECT_GE(f.About->width(), 482);
        EXPECT_GE(f.About->height(), 426);
        ExpectFits(*f.About, code);

        // A line without a blank (the "=" rules) cannot wrap at a word and
        // must fit the memo's width.
        int unbroken = 0;
        QTextDocument* licence = f.About->Memo1->document();
        auto* layout = qobject_cast<QPlainTextDocumentLayout*>(licence->documentLayout());
        ASSERT_NE(layout, nullptr);
        for (QTextBlock block = licence->begin(); block.isValid(); block = block.next()) {
            if (!block.text().contains(QLatin1Char(' ')) && !block.text().isEmpty()) {
                ++unbroken;
                layout->ensureBlockLayout(block);
                EXPECT_EQ(block.layout()->lineCount(), 1) << block.text().toStdString();
            }
        }
        EXPECT_GT(unbroken, 4);
        f.About->hide();
    }
}

TEST(AboutFit, TheNewVersionDialogFitsItsTexts) {
    for (const char* code : KLanguages) {
        TAboutFixture f(LanguageIni(code));
        const TLangStrings& s = f.Form->Strings();
        QString message = s.SUpdNewVersionMsg;
        message.replace(QStringLiteral("%s"), QStringLiteral("1.0.4"));
        TNewVersionDialog dialog(s.SUpdTitle, message,
                                 QUrl(QStringLiteral("https://bitonix.example.org/bitonix/")),
                                 f.About);
        dialog.show();
        QApplication::processEvents();
        ExpectFits(dialog, code);
    }
}

TEST(AboutBox, TheNewVersionLinkIsReachedByTabAndOpenedByEnter) {
    TAboutFixture f;
    TNewVersionDialog dialog(QStringLiteral("Update"), QStringLiteral("New"),
                             QUrl(QStringLiteral("https://dl.example.org/get?x=1&y=2")), f.About);
    QList<QUrl> clicked;
    QObject::connect(&dialog, &TNewVersionDialog::HyperlinkClicked,
                     [&clicked](const QUrl& url) { clicked << url; });
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), dialog.btnOk);
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.lblLink);
    PressKey(Qt::Key_Return);
    EXPECT_EQ(clicked, QList<QUrl>{QUrl(QStringLiteral("https://dl.example.org/get?x=1&y=2"))});
    EXPECT_TRUE(dialog.isVisible());
}

TEST(AboutFit, AtScaleFactorTwo) {
    if (ChildScaleFactor() > 0) {
        GTEST_SKIP() << "the child runs the other tests";
    }
    EXPECT_EQ(SuiteFailuresAtScaleFactorTwo("AboutFit").toStdString(), "");
}

TEST(AboutBox, OpensCentredAtEveryOpening) {
    TAboutFixture f;
    const QRect area = f.About->screen()->availableGeometry();
    QList<QPoint> positions;
    for (int opening = 0; opening < 3; ++opening) {
        f.About->show();
        QApplication::processEvents();
        const QRect frame = f.About->frameGeometry();
        positions << frame.topLeft();
        EXPECT_EQ(frame.left(), area.left() + qMax(0, (area.width() - frame.width()) / 2));
        EXPECT_EQ(frame.top(), area.top() + qMax(0, (area.height() - frame.height()) / 2));
        f.About->hide();
        QApplication::processEvents();
    }
    EXPECT_EQ(positions[1], positions[0]);
    EXPECT_EQ(positions[2], positions[0]);
}

TEST(AboutBox, KeyboardReachesTheLinkTheLanguageAndTheButtons) {
    TAboutFixture f("[Config]\nLanguage=en\n");
    f.About->show();
    QApplication::setActiveWindow(f.About);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), f.About->BitBtn1) << "Close has the focus";

    f.About->Label4->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (int i = 0; i < 5; ++i) {
        visited << QApplication::focusWidget()->objectName();
        PressKey(Qt::Key_Tab);
    }
    EXPECT_EQ(visited, (QStringList{"Label4", "Memo1", "cbb1", "btn1", "BitBtn1"}));
    EXPECT_EQ(QApplication::focusWidget(), f.About->Label4);

    PressKey(Qt::Key_Return);
    ASSERT_EQ(f.About->Opened.size(), 1u);
    EXPECT_EQ(f.About->Opened[0], QUrl(KWebSiteUrl));

    // Enter elsewhere closes with the chosen language, as Close does.
    f.About->cbb1->setCurrentIndex(2);
    f.About->Memo1->setFocus(Qt::TabFocusReason);
    PressKey(Qt::Key_Return);
    EXPECT_FALSE(f.About->isVisible());
    EXPECT_EQ(f.Form->Language(), QStringLiteral("de"));
}

} // namespace
} // namespace bitonix::test
