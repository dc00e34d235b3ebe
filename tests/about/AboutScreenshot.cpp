// about_screenshot <file.png>: the About box in Polish, as grabbed from the
// widget, for the documentation. Uses a throw-away settings file.
#include "about/About.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace bitonix;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: about_screenshot <file.png>\n", stderr);
        return 2;
    }
    QTemporaryDir dir;
    const QString config = dir.path() + QStringLiteral("/bitonix.ini");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write("[Config]\nLanguage=pl\n") < 0) {
        return 1;
    }
    file.close();
    TForm1 form({}, config);
    TAbout about(form, &form);
    about.show();
    QApplication::processEvents();
    return about.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
