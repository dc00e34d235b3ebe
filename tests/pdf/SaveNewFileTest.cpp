// Saving a finished document: a new file appears in one step with normal permissions, an
// existing file is never replaced, and a failed save leaves nothing behind.
#include "PdfTestSupport.h"

#include <csignal>
#include <functional>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace bitonix::test {
namespace {

// A two-page document, open and ready to finish.
TKPdfWriter OpenTwoPages() {
    TKPdfWriter writer = MakeWriter();
    writer.kpdfbegin();
    AddA4Page(writer, TKPdfBytes(500, 0x55), "img_1");
    AddA4Page(writer, TKPdfBytes(700, 0xAA), "img_2");
    return writer;
}

constexpr auto ReadAndEnter =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
    std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
    std::filesystem::perms::others_read | std::filesystem::perms::others_exec;

// Root passes every permission check: while this lives, a root process acts as user nobody.
class TActAsNobody {
public:
    TActAsNobody() : FRoot(geteuid() == 0) {
        if (FRoot && seteuid(65534) != 0) {
            throw std::logic_error("cannot act as nobody");
        }
    }
    TActAsNobody(const TActAsNobody&) = delete;
    TActAsNobody& operator=(const TActAsNobody&) = delete;
    ~TActAsNobody() {
        if (FRoot && seteuid(0) != 0) {
            std::abort();
        }
    }

private:
    bool FRoot;
};

// While this lives, files of the process cannot grow past `bytes`; writes beyond fail with
// EFBIG instead of raising SIGXFSZ.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) : FOldHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &FOld);
        const rlimit limit{bytes, FOld.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }

private:
    rlimit FOld{};
    void (*FOldHandler)(int);
};

std::string ExpectedBytes() {
    return AsText(OpenTwoPages().kpdffinishbytes());
}

// Runs `attempt` (which finishes `writer` into `target` under some restriction) and checks
// the refusal: the exact message, nothing new or missing in `watched`, and the document
// still open and unchanged, so that finishing it elsewhere gives the usual bytes.
void ExpectRefused(const std::filesystem::path& target, const std::filesystem::path& watched,
                   const std::string& systemText,
                   const std::function<void(TKPdfWriter&)>& attempt) {
    TKPdfWriter writer = OpenTwoPages();
    const std::set<std::string> before = FolderNames(watched);
    try {
        attempt(writer);
        ADD_FAILURE() << "saving to " << target << " did not fail";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + target.string() + "\". " + systemText);
    }
    EXPECT_EQ(FolderNames(watched), before) << target;
    ASSERT_TRUE(writer.kpdfopened());

    const TTempDir elsewhere;
    writer.kpdffinish(elsewhere.Path() / "retry.pdf");
    EXPECT_FALSE(writer.kpdfopened());
    EXPECT_EQ(ReadFileText(elsewhere.Path() / "retry.pdf"), ExpectedBytes()) << target;
}

TEST(Save, WritesOneNewFileWithNormalPermissions) {
    const TTempDir dir;
    const mode_t oldMask = umask(022);
    TKPdfWriter writer = OpenTwoPages();
    writer.kpdffinish(dir.Path() / "out.pdf");
    umask(oldMask);

    EXPECT_FALSE(writer.kpdfopened());
    EXPECT_EQ(FolderNames(dir.Path()), std::set<std::string>{"out.pdf"});
    EXPECT_EQ(ReadFileText(dir.Path() / "out.pdf"), ExpectedBytes());
    EXPECT_EQ(std::filesystem::status(dir.Path() / "out.pdf").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::others_read);

    // A bare file name lands in the current folder.
    const std::filesystem::path oldCwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    TKPdfWriter bare = OpenTwoPages();
    bare.kpdffinish("bare.pdf");
    std::filesystem::current_path(oldCwd);
    EXPECT_EQ(FolderNames(dir.Path()), (std::set<std::string>{"bare.pdf", "out.pdf"}));
    EXPECT_EQ(ReadFileText(dir.Path() / "bare.pdf"), ExpectedBytes());
}

TEST(Save, ExistingTargetIsNeverReplaced) {
    const TTempDir dir;
    const std::filesystem::path file = dir.Path() / "file.pdf";
    const std::filesystem::path folder = dir.Path() / "folder.pdf";
    const std::filesystem::path dangling = dir.Path() / "link.pdf";
    std::ofstream(file) << "keep";
    std::filesystem::create_directory(folder);
    std::filesystem::create_symlink(dir.Path() / "nowhere.pdf", dangling);

    for (const auto& target : {file, folder, dangling}) {
        ExpectRefused(target, dir.Path(), "File exists",
                      [&target](TKPdfWriter& writer) { writer.kpdffinish(target); });
    }
    EXPECT_EQ(ReadFileText(file), "keep");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "nowhere.pdf"));
}

// A name taken between naming and saving (another run, another program, a dangling link):
// the bytes written once go under the next name the caller gives.
TEST(Save, ATakenNameMovesOnToTheNextFreeName) {
    const TTempDir dir;
    std::ofstream(dir.Path() / "out.pdf") << "keep";
    std::filesystem::create_symlink(dir.Path() / "nowhere.pdf", dir.Path() / "out(1).pdf");
    std::vector<std::filesystem::path> asked;
    const TNextFreeName next = [&](const std::filesystem::path& taken) {
        asked.push_back(taken);
        return dir.Path() / ("out(" + std::to_string(asked.size()) + ").pdf");
    };
    TKPdfWriter writer = OpenTwoPages();
    EXPECT_EQ(writer.kpdffinish(dir.Path() / "out.pdf", next), dir.Path() / "out(2).pdf");
    EXPECT_EQ(asked, (std::vector<std::filesystem::path>{dir.Path() / "out.pdf",
                                                         dir.Path() / "out(1).pdf"}));
    EXPECT_EQ(ReadFileText(dir.Path() / "out(2).pdf"), ExpectedBytes());
    EXPECT_EQ(ReadFileText(dir.Path() / "out.pdf"), "keep");
    EXPECT_EQ(FolderNames(dir.Path()),
              (std::set<std::string>{"out(1).pdf", "out(2).pdf", "out.pdf"}));

    // A free name is used as it is, without asking.
    TKPdfWriter free = OpenTwoPages();
    EXPECT_EQ(free.kpdffinish(dir.Path() / "new.pdf", next), dir.Path() / "new.pdf");
    EXPECT_EQ(asked.size(), 2u);

    // Names that stay taken give up in the end, leaving nothing behind.
    ExpectRefused(dir.Path() / "out(1).pdf", dir.Path(), "File exists", [&](TKPdfWriter& w) {
        w.kpdffinish(dir.Path() / "out.pdf", [&](const std::filesystem::path& taken) {
            return taken == dir.Path() / "out.pdf" ? dir.Path() / "out(1).pdf"
                                                   : dir.Path() / "out.pdf";
        });
    });
}

TEST(Save, FailedSaveLeavesNothingBehind) {
    const TTempDir dir;
    const auto finishInto = [](const std::filesystem::path& target) {
        return [target](TKPdfWriter& writer) { writer.kpdffinish(target); };
    };

    ExpectRefused(dir.Path() / "missing" / "out.pdf", dir.Path(), "No such file or directory",
                  finishInto(dir.Path() / "missing" / "out.pdf"));

    std::ofstream(dir.Path() / "plain") << "not a folder";
    ExpectRefused(dir.Path() / "plain" / "out.pdf", dir.Path(), "Not a directory",
                  finishInto(dir.Path() / "plain" / "out.pdf"));

    // A folder the process may not write to (root acts as nobody for the attempt).
    const std::filesystem::path locked = dir.Path() / "locked";
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(dir.Path(), ReadAndEnter | std::filesystem::perms::owner_write);
    std::filesystem::permissions(locked, ReadAndEnter);
    ExpectRefused(locked / "out.pdf", locked, "Permission denied", [&locked](TKPdfWriter& writer) {
        const TActAsNobody nobody;
        writer.kpdffinish(locked / "out.pdf");
    });

    // The disk refuses the data half-way (a file size limit stands in for a full disk):
    // the partly written temporary file must go.
    ExpectRefused(dir.Path() / "big.pdf", dir.Path(), "File too large",
                  [&dir](TKPdfWriter& writer) {
                      const TFileSizeLimit limit(/*bytes=*/600);
                      writer.kpdffinish(dir.Path() / "big.pdf");
                  });
}

} // namespace
} // namespace bitonix::test
