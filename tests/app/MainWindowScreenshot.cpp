// main_window_screenshot <en|pl|de> <file.png>: the main window in one
// language with a few files listed, as grabbed from the widget, for the
// documentation. Uses a throw-away settings file and throw-away files.
// Run under a virtual X server for the desktop's own fonts:
//   xvfb-run -a -s "-screen 0 1280x900x24" main_window_screenshot en docs/main-window-en.png
#include "app/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace bitonix;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: main_window_screenshot <en|pl|de> <file.png>\n", stderr);
        return 2;
    }
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/scans-XXXXXX"));
    const QString config = dir.path() + QStringLiteral("/bitonix.ini");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write("[Config]\nLanguage=" + QByteArray(argv[1]) + "\n") < 0) {
        return 1;
    }
    file.close();
    const QString folder = dir.path() + QStringLiteral("/contract");
    QDir().mkpath(folder);
    QStringList files;
    for (const char* name : {"contract-2024-03-page-1.jpg", "contract-2024-03-page-2.jpg",
                             "invoice-march.pdf", "receipt.png"}) {
        QFile input(folder + QLatin1Char('/') + QString::fromLatin1(name));
        if (!input.open(QIODevice::WriteOnly)) {
            return 1;
        }
        files.append(input.fileName());
    }
    TForm1 form(files, config);
    form.show();
    QApplication::processEvents();
    return form.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
