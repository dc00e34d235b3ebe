// The window program as a child of the stop tests: the real main window and
// event loop (RunMainWindow) with the program's signal handling, whose START
// is pressed as soon as the loop runs. Every pump of the run writes "pump"
// on standard error, the corner editor "editor", a message box "box: <text>"
// (instead of waiting for a click), and the end of the run "run ended".
//
// Arguments: [--merged OUT | --manual] FILE...
#include "app/AppMain.h"
#include "app/MainWindow.h"
#include "settings/SettingsFile.h"
#include "support/StopSignals.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

using namespace bitonix;

namespace {

// A control of the window, by the name it carries.
template <typename T> T* Control(const QWidget& window, const char* name) {
    return window.findChild<T*>(QLatin1String(name));
}

void Say(const QString& line) {
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

class TReportingForm : public TForm1 {
public:
    using TForm1::TForm1;

    void Pump() override {
        Say(QStringLiteral("pump"));
        TForm1::Pump();
    }
    bool EditCorrections(TPageCorrectionList& corrections) override {
        Say(QStringLiteral("editor"));
        return TForm1::EditCorrections(corrections);
    }

protected:
    void ShowBox(QMessageBox::Icon, const QString&, const QString& text) override {
        Say(QStringLiteral("box: ") + text);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    InstallStopSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(KAppTitle);
    QStringList files = QApplication::arguments().mid(1);
    QString merged;
    bool manual = false;
    if (files.value(0) == QStringLiteral("--merged")) {
        merged = files.value(1);
        files = files.mid(2);
    } else if (files.value(0) == QStringLiteral("--manual")) {
        manual = true;
        files = files.mid(1);
    }
    TReportingForm form(files, GetConfigFile());
    Control<QRadioButton>(form, manual ? "rbPerspSemi" : "rbPerspNone")->setChecked(true);
    if (!merged.isEmpty()) {
        Control<QRadioButton>(form, "RadioButton2")->click();
        Control<QLineEdit>(form, "edtOutputFile")->setText(merged);
    }
    QTimer::singleShot(0, &form, [&form] {
        if (!StopRequested()) {
            Control<QPushButton>(form, "btnStart")->click();
            Say(QStringLiteral("run ended"));
        }
    });
    _exit(RunMainWindow(form));
}
