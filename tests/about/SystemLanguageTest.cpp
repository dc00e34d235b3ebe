// The main window on a Polish and on a French system: each case runs this
// test program again under that system language, since the system locale is
// read once per process.
#include "WindowFit.h"
#include "app/MainWindow.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace bitonix::test {
namespace {

const char* const KChildVariable = "BITONIX_SYSTEM_LANGUAGE_CHILD";

// In the child: the window's texts under the system language, with no
// settings file.
TEST(SystemLanguage, Child) {
    const QString expected = qEnvironmentVariable(KChildVariable);
    if (expected.isEmpty()) {
        GTEST_SKIP() << "runs only inside SystemLanguage.FollowsTheSystemWithoutWritingIt";
    }
    QTemporaryDir dir;
    const QString config = dir.path() + QStringLiteral("/bitonix.ini");
    const TForm1 form({}, config);
    EXPECT_EQ(Find<QPushButton>(form, "btnAdd")->text(), expected);
    EXPECT_FALSE(QFile::exists(config)) << "the derived language is not stored";
}

TEST(SystemLanguage, FollowsTheSystemWithoutWritingIt) {
    if (qEnvironmentVariableIsSet(KChildVariable)) {
        GTEST_SKIP();
    }
    struct TCase {
        const char* Locale;
        QString AddFiles;
    };
    const TCase cases[] = {{"pl_PL.UTF-8", QStringLiteral("Dodaj pliki")},
                           {"fr_FR.UTF-8", QStringLiteral("Add files")},
                           {"de_AT.UTF-8", QStringLiteral("Dateien hinzufügen")}};
    for (const TCase& c : cases) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(c.Locale));
        env.insert(QStringLiteral("LANG"), QString::fromLatin1(c.Locale));
        env.remove(QStringLiteral("LANGUAGE")); // it would win over LC_ALL
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QString::fromLatin1(KChildVariable), c.AddFiles);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=SystemLanguage.Child")});
        ASSERT_TRUE(child.waitForFinished(60000)) << c.Locale;
        EXPECT_EQ(child.exitCode(), 0) << c.Locale << "\n" << child.readAll().toStdString();
    }
}

} // namespace
} // namespace bitonix::test
