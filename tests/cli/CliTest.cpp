// bitonix-cli as a script sees it: output paths, messages and exit status.
#include "TestImages.h"
#include "TestPdf.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

using namespace bitonix::test;

namespace {

struct TResult {
    int Code = -1;
    QString Out;
    QString Err;
};

const QString KCli = QStringLiteral(BITONIX_BIN_DIR "/bitonix-cli");

TResult Cli(const QStringList& args, const QString& cwd = {}, const QString& program = KCli) {
    QProcess p;
    if (!cwd.isEmpty()) {
        p.setWorkingDirectory(cwd);
    }
    p.start(program, args);
    p.waitForFinished(300000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString Photo(const QString& path, int w = 200) {
    MakeDocumentImage(w, w * 7 / 5).save(path);
    return path;
}

} // namespace

TEST(Cli, UsageErrorsExitWithTwo) {
    const QStringList bad[] = {{},
                               {"--dpi", "400", "a.jpg"},
                               {"--rotate", "sideways", "a.jpg"},
                               {"-c", "0", "a.jpg"},
                               {"--whsize", "3", "a.jpg"},
                               {"--straighten", "manual", "a.jpg"},
                               {"--bogus", "a.jpg"},
                               {"-o"}};
    for (const QStringList& args : bad) {
        const TResult r = Cli(args);
        EXPECT_EQ(r.Code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.Err.contains("bitonix-cli:")) << r.Err.toStdString();
        EXPECT_TRUE(r.Out.isEmpty());
    }
    EXPECT_EQ(Cli({"--help"}).Code, 0);
    EXPECT_TRUE(Cli({"--version"}).Out.startsWith("bitonix-cli "));
}

TEST(Cli, SeparateModePrintsEveryPdfAndSkipsMissingInputs) {
    QTemporaryDir dir;
    Photo(dir.filePath("a.jpg"));
    WritePdf(dir.filePath("b.pdf"), {{595, 842}, {595, 842}});
    const TResult r =
        Cli({"-r", "75", "-p", "<filesrc>-bw", "a.jpg", "gone.png", "b.pdf"}, dir.path());
    EXPECT_EQ(r.Code, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out, dir.filePath("a-bw.pdf") + "\n" + dir.filePath("b-bw.pdf") + "\n");
    EXPECT_TRUE(r.Err.contains("skipping 'gone.png'"));
    EXPECT_TRUE(r.Err.contains("The duration of the last task  "));
    QByteArray info;
    RunTool(PDFINFO_EXECUTABLE, {dir.filePath("b-bw.pdf")}, &info);
    EXPECT_TRUE(info.contains("Pages:           2")) << info.toStdString();
}

TEST(Cli, MergedOutputIsMadeUniqueAndFailuresExitWithOne) {
    QTemporaryDir dir;
    Photo(dir.filePath("a.jpg"));
    WriteFile(dir.filePath("out.pdf"), "mine");
    TResult r = Cli({"-q", "-o", "out.pdf", "a.jpg", "a.jpg"}, dir.path());
    EXPECT_EQ(r.Code, 0);
    EXPECT_EQ(r.Out, dir.filePath("out(1).pdf") + "\n");
    EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();

    WritePdf(dir.filePath("empty.pdf"), {});
    r = Cli({"-o", "x.pdf", "a.jpg", "empty.pdf"}, dir.path());
    EXPECT_EQ(r.Code, 1);
    EXPECT_TRUE(r.Err.contains("Brak stron do przetworzenia: " + dir.filePath("empty.pdf")));
    EXPECT_FALSE(QFile::exists(dir.filePath("x.pdf")));
    EXPECT_TRUE(r.Out.isEmpty());
}

// The program folder is the real one behind a link, as when started through
// /usr/bin/bitonix-cli; a copy elsewhere has no plugin beside it and says so.
TEST(Cli, StraighteningFindsThePluginThroughALinkAndWarnsWithoutOne) {
    QTemporaryDir dir;
    Photo(dir.filePath("a.jpg"));
    const QString linked = dir.filePath("linked-cli");
    const QString copied = dir.filePath("copied-cli");
    ASSERT_TRUE(QFile::link(KCli, linked));
    ASSERT_TRUE(QFile::copy(KCli, copied));
    const QString warning = "bitonix-cli: warning: the corner detector ";

    TResult r = Cli({"-q", "-s", "auto", "-o", "linked.pdf", "a.jpg"}, dir.path(), linked);
    EXPECT_EQ(r.Code, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Err.contains(warning), !BITONIX_HAVE_DOCDETECT) << r.Err.toStdString();

    r = Cli({"-q", "-s", "auto", "-o", "copied.pdf", "a.jpg"}, dir.path(), copied);
    EXPECT_EQ(r.Code, 0) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains(warning + dir.filePath("libdocdetect.so") +
                               " could not be loaded; pages are not straightened"))
        << r.Err.toStdString();
    EXPECT_EQ(r.Out, dir.filePath("copied.pdf") + "\n");

    r = Cli({"-q", "-o", "plain.pdf", "a.jpg"}, dir.path(), copied); // no straightening asked
    EXPECT_FALSE(r.Err.contains(warning)) << r.Err.toStdString();
}

TEST(Cli, InterruptStopsCleanlyWithStatus130) {
    QTemporaryDir dir;
    QStringList inputs;
    for (int i = 0; i < 12; ++i) {
        inputs << Photo(dir.filePath(QString("p%1.jpg").arg(i)), 2400);
    }
    QDir().mkdir(dir.filePath("tmp"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", dir.filePath("tmp"));
    p.setProcessEnvironment(env);
    p.setReadChannel(QProcess::StandardError);
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(BITONIX_BIN_DIR "/bitonix-cli"), QStringList{"-o", "all.pdf"} + inputs);
    QByteArray err;
    while (!err.contains("Preparing") && p.waitForReadyRead(60000)) {
        err += p.readAllStandardError();
    }
    ASSERT_TRUE(err.contains("Preparing")) << err.toStdString();
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(120000));
    err += p.readAllStandardError();
    EXPECT_EQ(p.exitCode(), 130);
    EXPECT_TRUE(err.trimmed().endsWith("Cancelled")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("all.pdf")));
    EXPECT_TRUE(QDir(dir.filePath("tmp")).isEmpty()); // the run's temporary folder is gone
}
