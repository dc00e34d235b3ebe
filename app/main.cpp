// bitonix: the desktop program. Starts the main window with the files named
// on the command line and ends the process as soon as its loop returns.
#include "about/About.h"
#include "app/AppIdentity.h"
#include "app/AppMain.h"
#include "app/MainWindow.h"
#include "settings/SettingsFile.h"
#include "support/MemoryPolicy.h"
#include "support/MessageBox.h"
#include "support/StopSignals.h"

#include <QApplication>
#include <unistd.h>

using namespace bitonix;

int main(int argc, char* argv[]) {
    KeepFreedMemoryForReuse(); // before any thread exists
    // Before any thread starts: SIGINT, SIGTERM and SIGHUP close the window
    // (a run cleans up first), SIGPIPE is ignored.
    InstallStopSignals();
    QApplication app(argc, argv);
    SetApplicationIdentity();

    try {
        TForm1 form(QApplication::arguments().mid(1), GetConfigFile());
        // The About box lives as long as the window, which owns it.
        form.SetAboutBox(new TAbout(form, &form));
        const int status = RunMainWindow(form);
        // Nothing runs after the loop, no window is destroyed: every run has
        // cleaned up before the window could close, so the process ends here.
        _exit(status);
    } catch (...) {
        // The window could not be made (no settings folder, no memory...).
        ShowErrorBox(nullptr, ExceptionText());
    }
    _exit(1);
}
