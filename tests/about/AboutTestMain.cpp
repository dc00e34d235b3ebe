// The About box tests need one QApplication; the update check talks only to
// the test's own server on 127.0.0.1, never through a proxy.
#include <QApplication>
#include <QNetworkProxy>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
