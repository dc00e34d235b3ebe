// The manual pages and shell completions: they render and load cleanly, know
// every option --help lists, and are installed where man and the shells look.
#include "CliRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bitonix::test;

namespace {

const QString KSource = QStringLiteral(BITONIX_SOURCE_DIR);
const QString KManPages[] = {KSource + "/docs/man/bitonix-cli.1", KSource + "/docs/man/bitonix.1"};
const QString KBashCompletion = KSource + "/cli/completions/bitonix-cli.bash";
const QString KZshCompletions = KSource + "/cli/completions";

QString ReadText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The long options --help lists, without their dashes.
QStringList HelpOptions() {
    const QString help = QString::fromUtf8(Cli({"--help"}).Out);
    QStringList names;
    const QRegularExpression option(R"(^  (?:-\w, |    )--([a-z]+))",
                                    QRegularExpression::MultilineOption);
    for (auto it = option.globalMatch(help); it.hasNext();) {
        names << it.next().captured(1);
    }
    return names;
}

// What bash completes for the words of `line` (its last word being completed).
QString BashCompletes(const QString& cwd, const QString& line) {
    const QString script = "source '" + KBashCompletion + "' && COMP_WORDS=(" + line +
                           ") && COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) && _bitonix_cli && "
                           "printf '%s\\n' \"${COMPREPLY[@]}\" | sort";
    const TCliResult r = RunProgram("bash", {"-c", script}, cwd);
    EXPECT_EQ(r.Code, 0);
    EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
    return QString::fromUtf8(r.Out).trimmed().replace('\n', ' ');
}

// What zsh lists when Tab is pressed after `line`, driven in a pseudo terminal.
QString ZshLists(const QString& line, const QString& expected) {
    const QString script = QStringLiteral(R"(
zmodload zsh/zpty
zpty z zsh -f -i
zpty -w z "PS1=''; fpath=(%1 \$fpath); autoload -Uz compinit; compinit -u -D; bindkey '^I' list-choices; print -r RE''ADY"
zpty -r z line '*READY*'
zpty -w -n z '%2'$'\t'
zpty -r z out '*%3*'
print -r -- "$out"
zpty -d z
)")
                               .arg(KZshCompletions, line, expected);
    const TCliResult r = RunProgram("timeout", {"60", "zsh", "-f", "-c", script});
    EXPECT_EQ(r.Code, 0) << r.Err.toStdString();
    return QString::fromUtf8(r.Out);
}

} // namespace

TEST(CliDocs, ManualPagesRenderWithoutWarningsAndNameThisVersion) {
    const QString version = QString::fromUtf8(Cli({"--version"}).Out).section(' ', 1).trimmed();
    ASSERT_FALSE(version.isEmpty());
    for (const QString& page : KManPages) {
        SCOPED_TRACE(page.toStdString());
        EXPECT_TRUE(ReadText(page).section('\n', 0, 0).contains("\"Bitonix " + version + "\""));
        TCliResult r = RunProgram("groff", {"-ww", "-z", "-man", page});
        EXPECT_EQ(r.Code, 0);
        EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
        r = RunProgram("man", {"--warnings", "-l", page});
        EXPECT_EQ(r.Code, 0);
        EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
        EXPECT_TRUE(r.Out.contains("SYNOPSIS"));
    }
}

TEST(CliDocs, ManualPageAndCompletionsKnowEveryOption) {
    const QStringList options = HelpOptions();
    ASSERT_GE(options.size(), 11) << options.join(' ').toStdString();
    const QString man = ReadText(KManPages[0]);
    const QString bash = ReadText(KBashCompletion);
    const QString zsh = ReadText(KZshCompletions + "/_bitonix-cli");
    for (const QString& name : options) {
        EXPECT_TRUE(man.contains("\\-\\-" + name)) << name.toStdString();
        EXPECT_TRUE(bash.contains("--" + name)) << name.toStdString();
        EXPECT_TRUE(zsh.contains("--" + name)) << name.toStdString();
    }
}

TEST(CliDocs, BashCompletionLoadsAndCompletes) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("scans");
    for (const char* name : {"a.PDF", "b.jpeg", "notes.txt", "c.Tif"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const TCliResult loaded =
        RunProgram("bash", {"-c", "source '" + KBashCompletion + "' && complete -p bitonix-cli"});
    EXPECT_EQ(loaded.Code, 0);
    EXPECT_TRUE(loaded.Err.isEmpty()) << loaded.Err.toStdString();
    EXPECT_EQ(loaded.Out, "complete -F _bitonix_cli bitonix-cli\n");

    // The DPI values are exactly those --help names.
    const QString help = QString::fromUtf8(Cli({"--help"}).Out).simplified();
    EXPECT_TRUE(help.contains("dots per inch: 75, 100, 150, 200, 300, 600 or 1200;"));
    EXPECT_EQ(BashCompletes(dir.path(), "bitonix-cli -r ''"), "100 1200 150 200 300 600 75");
    EXPECT_EQ(BashCompletes(dir.path(), "bitonix-cli --dpi = 1"), "100 1200 150");
    EXPECT_EQ(BashCompletes(dir.path(), "bitonix-cli --rotate ''"), "180 left none right");
    EXPECT_EQ(BashCompletes(dir.path(), "bitonix-cli -s ''"), "auto off");
    EXPECT_EQ(BashCompletes(dir.path(), "bitonix-cli --ver"), "--verbose --version");
    EXPECT_EQ(BashCompletes(dir.path(), "bitonix-cli -q ''"), "a.PDF b.jpeg c.Tif scans");
    EXPECT_EQ(BashCompletes(dir.path(), "bitonix-cli -o ''"), "a.PDF b.jpeg c.Tif notes.txt scans");
}

TEST(CliDocs, ZshCompletionLoadsAndCompletes) {
    const TCliResult syntax = RunProgram("zsh", {"-n", KZshCompletions + "/_bitonix-cli"});
    EXPECT_EQ(syntax.Code, 0);
    EXPECT_TRUE(syntax.Err.isEmpty()) << syntax.Err.toStdString();
    // Listed in text order: 75 comes last.
    const QString dpi = ZshLists("bitonix-cli --dpi=", "75");
    ;
    for (const char* value : {"75", "100", "150", "200", "300", "600", "1200"}) {
        EXPECT_TRUE(dpi.contains(value)) << dpi.toStdString();
    }
    EXPECT_TRUE(ZshLists("bitonix-cli --rot", "turn every page").contains("--rotate"));
}

TEST(CliDocs, InstallPutsManualPagesAndCompletionsInPlace) {
    QTemporaryDir prefix;
    const TCliResult r =
        RunProgram(CMAKE_COMMAND, {"--install", BITONIX_BUILD_DIR, "--prefix", prefix.path()});
    ASSERT_EQ(r.Code, 0) << r.Err.toStdString();
    // Manual pages go in compressed, as Debian wants them.
    for (int i = 0; i < 2; ++i) {
        const QString installed = prefix.filePath("share/man/man1/") +
                                  QFileInfo(KManPages[i]).fileName() + QStringLiteral(".gz");
        const TCliResult unpacked = RunProgram("gzip", {"-dc", installed});
        EXPECT_EQ(unpacked.Code, 0) << installed.toStdString();
        EXPECT_EQ(QString::fromUtf8(unpacked.Out), ReadText(KManPages[i]));
    }
    EXPECT_EQ(ReadText(prefix.filePath("share/bash-completion/completions/bitonix-cli")),
              ReadText(KBashCompletion));
    EXPECT_EQ(ReadText(prefix.filePath("share/zsh/vendor-completions/_bitonix-cli")),
              ReadText(KZshCompletions + "/_bitonix-cli"));
}
