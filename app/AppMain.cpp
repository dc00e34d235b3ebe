// The window program's event loop, and stop requests delivered into it.
#include "app/AppMain.h"

#include "app/MainWindow.h"
#include "pipeline/TempFiles.h"
#include "support/MessageBox.h"
#include "support/StopSignals.h"

#include <QApplication>
#include <QSocketNotifier>
#include <memory>

namespace bitonix {

int RunMainWindow(TForm1& form) {
    RemoveStaleRunTempDirs();
    // The signal handlers only write a byte to a pipe; the loop hears it here
    // and acts as a user closing the window would.
    std::unique_ptr<QSocketNotifier> notifier;
    if (StopNotifyFd() >= 0) {
        notifier = std::make_unique<QSocketNotifier>(StopNotifyFd(), QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &form, [&form] {
            DrainStopNotify();
            Guarded(&form, [&form] { form.CloseOnStopRequest(); });
        });
    }
    form.show();
    QApplication::exec();
    return StopRequested() ? KExitStopped : 0;
}

} // namespace bitonix
