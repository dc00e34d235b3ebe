// window_bench: a run from the main window, offscreen, with the default
// options and straightening off: its wall time, and the longest time the
// window went without handling events (a timer asks every millisecond; the
// longest gap between two of its ticks is the longest the window stood
// still).
//
// Usage: window_bench DPI PDF
#include "app/MainWindow.h"
#include "support/MemoryPolicy.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using namespace bitonix;

namespace {

// A control of the window, by the name it carries.
template <typename T> T* Control(const QWidget& window, const char* name) {
    return window.findChild<T*>(QLatin1String(name));
}

} // namespace

int main(int argc, char* argv[]) {
    KeepFreedMemoryForReuse();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_bench DPI PDF\n");
        return 2;
    }
    QTemporaryDir dir;
    TForm1 form({QString::fromLocal8Bit(argv[2])}, dir.filePath("bitonix.ini"));
    form.show();
    Control<QComboBox>(form, "ComboBox1")->setCurrentText(QString::fromLatin1(argv[1]));
    Control<QRadioButton>(form, "rbPerspNone")->setChecked(true);
    Control<QRadioButton>(form, "RadioButton2")->click();
    Control<QLineEdit>(form, "edtOutputFile")->setText(dir.filePath("out.pdf"));
    Control<QCheckBox>(form, "chk1")->setChecked(false);
    QPushButton* start = Control<QPushButton>(form, "btnStart");

    QElapsedTimer clock;
    qint64 last = -1;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0) {
            longest = std::max(longest, now - last);
        }
        last = now;
    });
    QTimer::singleShot(0, [&] {
        clock.start();
        tick.start();
        start->click(); // returns when the run is over
        const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        tick.stop();
        std::printf("window run: %.0f ms, longest without handling events: %.1f ms\n", wall,
                    static_cast<double>(longest) / 1e6);
        QApplication::quit();
    });
    QApplication::exec();
    return 0;
}
