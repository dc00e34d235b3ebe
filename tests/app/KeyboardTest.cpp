// The main window by keyboard alone: Tab goes through the controls in
// reading order and into a radio group on its checked choice, Enter and
// Space press a focused button or the web link, Delete removes the selected
// files.
#include "TestForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace bitonix::test {
namespace {

// The names of the controls Tab visits from `start` until it comes back.
QStringList TabCycle(QWidget* start) {
    start->setFocus(Qt::TabFocusReason);
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 40; ++i) {
        PressKey(Qt::Key_Tab);
        if (QApplication::focusWidget() == start) {
            break;
        }
        visited << QApplication::focusWidget()->objectName();
    }
    return visited;
}

struct TShownForm {
    explicit TShownForm(const QStringList& files = {}) : Form(files, Scratch.Config()) {
        Form.show();
        QApplication::setActiveWindow(&Form);
        QApplication::processEvents();
    }
    TScratch Scratch;
    TTestForm Form;
};

TEST(Keyboard, TabGoesThroughTheControlsInReadingOrder) {
    TShownForm shown;
    TTestForm& form = shown.Form;
    Find<QRadioButton>(form, "rbPerspSemi")->setChecked(true);
    EXPECT_EQ(TabCycle(Find<QPushButton>(form, "btnAdd")),
              (QStringList{"btnAdd", "btnRemove", "btnClear", "Label2", "btnAbout", "ListBox1",
                           "RadioButton1", "Edit1", "ComboBox1", "cbRotation", "tbContrast",
                           "rbPerspSemi", "btnStart"}));

    // Merged output: the other choice of each group is the one Tab enters on,
    // and the output file, browse and open-folder controls take their turn.
    Find<QRadioButton>(form, "RadioButton2")->click();
    Find<QRadioButton>(form, "rbPerspNone")->setChecked(true);
    EXPECT_EQ(TabCycle(Find<QPushButton>(form, "btnAdd")),
              (QStringList{"btnAdd", "btnRemove", "btnClear", "Label2", "btnAbout", "ListBox1",
                           "RadioButton2", "edtOutputFile", "btnBrowse", "chk1", "ComboBox1",
                           "cbRotation", "tbContrast", "rbPerspNone", "btnStart"}));

    // The arrow keys still move the choice within its group.
    Find<QRadioButton>(form, "rbPerspNone")->setFocus(Qt::TabFocusReason);
    PressKey(Qt::Key_Right);
    EXPECT_TRUE(Find<QRadioButton>(form, "rbPerspAuto")->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), Find<QRadioButton>(form, "rbPerspAuto"));
}

TEST(Keyboard, EnterAndSpacePressTheFocusedButtonAndTheLink) {
    TShownForm shown;
    TTestForm& form = shown.Form;
    Find<QPushButton>(form, "btnStart")->setFocus(Qt::TabFocusReason);
    PressKey(Qt::Key_Return);
    ASSERT_EQ(form.Boxes.size(), 1u) << "START with an empty list warns";
    EXPECT_EQ(form.Boxes[0].Text, form.Strings().SMsgNoFiles);
    PressKey(Qt::Key_Space);
    EXPECT_EQ(form.Boxes.size(), 2u);

    Find<QLabel>(form, "Label2")->setFocus(Qt::TabFocusReason);
    PressKey(Qt::Key_Return);
    PressKey(Qt::Key_Space);
    EXPECT_EQ(form.OpenedWebSites, (QStringList{KWebSiteUrl, KWebSiteUrl}));

    QCheckBox* open = Find<QCheckBox>(form, "chk1");
    Find<QRadioButton>(form, "RadioButton2")->click();
    open->setFocus(Qt::TabFocusReason);
    PressKey(Qt::Key_Space);
    EXPECT_FALSE(open->isChecked());
}

TEST(Keyboard, DeleteRemovesTheSelectedFilesLikeTheRemoveButton) {
    TScratch scratch;
    QStringList files;
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"}) {
        QFile file(scratch.Path(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        files << file.fileName();
    }
    TShownForm shown(files);
    TFileListBox* list = Find<TFileListBox>(shown.Form, "ListBox1");
    list->setFocus(Qt::TabFocusReason);
    list->setCurrentRow(1);
    list->item(2)->setSelected(true);
    PressKey(Qt::Key_Delete);
    EXPECT_EQ(list->Entries(), (QStringList{files[0], files[3]}));
    EXPECT_EQ(list->currentRow(), 1);

    // During a run the list keeps its entries, as the disabled button does.
    shown.Form.prestart();
    list->setFocus(Qt::TabFocusReason);
    list->setCurrentRow(0);
    PressKey(Qt::Key_Delete);
    EXPECT_EQ(list->count(), 2);
    shown.Form.poststart();
}

} // namespace
} // namespace bitonix::test
