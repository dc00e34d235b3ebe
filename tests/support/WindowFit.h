// Checks that a shown window lets every control show its whole text: each
// label, button, check box and radio button (and each drop-down item) is at
// least as large as its text in its own font, every control lies inside its
// parents, and no two visible controls overlap. And the means to run a test
// program again at another scale factor.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <stdexcept>

namespace bitonix::test {

// The widget called `name` under `root` (its object name); throws when there
// is none, so the test fails with the name.
template <typename T> T* Find(const QWidget& root, const char* name) {
    T* widget = root.findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        throw std::runtime_error(std::string("no control ") + name);
    }
    return widget;
}

// Every fault of the shown window `window`, one readable line each (empty:
// every text fits):
//  - "<name>: text needs W x H, has w x h" for a label, push button, check
//    box, radio button or drop-down item whose text (with its icon) does not
//    fit the room the style gives it;
//  - "<name>: outside <parent>" for a control not wholly inside a parent;
//  - "<a> overlaps <b>" for two visible controls that share a pixel.
// Controls are the visible labels, buttons, text boxes, drop-downs, sliders,
// progress bars, lists and scroll areas, and widgets without children of
// their own; what lies inside one of them (a scroll area's content) is part
// of it.
QStringList WindowFitProblems(const QWidget& window);

// A key pressed and released on whatever has the keyboard focus (throws when
// nothing has it).
void PressKey(Qt::Key key);

// Whether this process runs at the scale factor the child of
// RunAtScaleFactor asked for (0: not a child).
double ChildScaleFactor();

// Runs this test program again with QT_SCALE_FACTOR=`factor` (and the
// offscreen platform), only the tests matching `filter`. Returns its exit
// code, or -1 when it did not finish or ran no test; its output goes to
// *output.
int RunAtScaleFactor(double factor, const QString& filter, QString* output);

// The test body that runs every other test of `suite` again at scale factor
// 2 (the suite's own AtScaleFactorTwo test calls it); an empty text when the
// child passed, else what it printed.
QString SuiteFailuresAtScaleFactorTwo(const char* suite);

} // namespace bitonix::test
