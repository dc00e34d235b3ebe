// leak_probe: loses 4 KiB inside a Qt timer slot and exits normally. Run by
// the sanitizer build, where the leak checker must report it: a suppression
// that matched any stack with a Qt frame in it would hide it, and with it
// every leak made in a slot, an event handler or a nested event loop.
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

namespace {

// Keeps the compiler from dropping the allocation.
char* volatile GLost = nullptr;

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTimer::singleShot(0, &app, [] {
        GLost = new char[4096];
        GLost[0] = 1;
        GLost = nullptr; // the only pointer is gone: a leak
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    std::puts("leak_probe: left the event loop");
    return 0;
}
