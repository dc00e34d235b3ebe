// The main window shows every text whole in English, Polish and German, at
// its starting size, at its smallest and while a run shows "Stop", at scale
// factors 1 and 2; and the check itself sees a cut text and an overlap.
#include "TestForm.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>

namespace bitonix::test {
namespace {

const char* const KLanguages[] = {"en", "pl", "de"};

void WriteLanguage(const TScratch& scratch, const char* code) {
    QFile file(scratch.Config());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Config]\nLanguage=" + QByteArray(code) + "\n");
}

void ExpectFits(const TTestForm& form, const char* code, const char* state) {
    EXPECT_EQ(WindowFitProblems(form).join(QLatin1Char('\n')).toStdString(), "")
        << code << ", " << state << ", " << form.width() << " x " << form.height();
}

TEST(WindowFit, MainWindowShowsEveryTextInEveryLanguage) {
    for (const char* code : KLanguages) {
        TScratch scratch;
        WriteLanguage(scratch, code);
        TTestForm form({}, scratch.Config());
        form.show();
        QApplication::processEvents();
        if (ChildScaleFactor() > 0) {
            ASSERT_EQ(form.devicePixelRatioF(), ChildScaleFactor());
        }
        EXPECT_GE(form.minimumWidth(), 736);
        EXPECT_GE(form.minimumHeight(), 620);
        ExpectFits(form, code, "at start");

        form.resize(form.minimumSize());
        QApplication::processEvents();
        ExpectFits(form, code, "at its smallest");

        form.prestart(); // START reads "Stop"
        QApplication::processEvents();
        ExpectFits(form, code, "running");
        form.poststart();
    }
}

TEST(WindowFit, AtScaleFactorTwo) {
    if (ChildScaleFactor() > 0) {
        GTEST_SKIP() << "the child runs the other tests";
    }
    EXPECT_EQ(SuiteFailuresAtScaleFactorTwo("WindowFit").toStdString(), "");
}

TEST(WindowFit, TheCheckSeesACutTextAndAnOverlap) {
    if (ChildScaleFactor() > 0) {
        GTEST_SKIP();
    }
    TScratch scratch;
    TTestForm form({}, scratch.Config());
    form.show();
    QApplication::processEvents();
    ASSERT_TRUE(WindowFitProblems(form).isEmpty());

    QLabel* persp = Find<QLabel>(form, "lblPersp");
    persp->setMinimumWidth(0);
    persp->setFixedWidth(persp->fontMetrics().horizontalAdvance(persp->text()) - 3);
    QApplication::processEvents();
    const QStringList cut = WindowFitProblems(form);
    ASSERT_EQ(cut.size(), 1) << cut.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(cut[0].startsWith(QStringLiteral("lblPersp: text needs"))) << cut[0].toStdString();

    persp->setMaximumWidth(QWIDGETSIZE_MAX);
    QApplication::processEvents();
    ASSERT_TRUE(WindowFitProblems(form).isEmpty());

    // A label outside the layout, laid over the right edge of "Add files".
    QPushButton* add = Find<QPushButton>(form, "btnAdd");
    auto* over = new QLabel(QStringLiteral("x"), add->parentWidget());
    over->setObjectName(QStringLiteral("over"));
    over->setGeometry(add->geometry().right() - 1, add->y(), 20, 20);
    over->show();
    const QStringList overlap = WindowFitProblems(form);
    EXPECT_TRUE(overlap.contains(QStringLiteral("btnAdd overlaps over")))
        << overlap.join(QLatin1Char('\n')).toStdString();
}

} // namespace
} // namespace bitonix::test
