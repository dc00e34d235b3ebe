// The corner detector plugin through its C contract: libdocdetect.so loaded
// from the program folder with dlopen, one export called by name.
#include "SyntheticPages.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

using namespace bitonix;

namespace {

const std::string KPlugin = std::string(BITONIX_BIN_DIR) + "/libdocdetect.so";
constexpr float KTolerance = 6.0F; // pixels of a 1200 x 900 image

using TDetect = int (*)(const char*, float*);

// The plugin, loaded as the program loads it. RTLD_NODELETE keeps its code
// mapped after dlclose, so that leak checkers still see what OpenCV holds.
class TPlugin {
public:
    TPlugin() : FHandle(dlopen(KPlugin.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) {
        if (FHandle != nullptr) {
            FDetect = reinterpret_cast<TDetect>(dlsym(FHandle, "DetectDocumentCornersFile"));
        }
    }
    ~TPlugin() {
        if (FHandle != nullptr) {
            dlclose(FHandle);
        }
    }
    TPlugin(const TPlugin&) = delete;
    TPlugin& operator=(const TPlugin&) = delete;

    bool Loaded() const { return FDetect != nullptr; }
    int Detect(const char* path, float corners[8]) const { return FDetect(path, corners); }

private:
    void* FHandle;
    TDetect FDetect = nullptr;
};

class TTempDir {
public:
    TTempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "docdetect-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        FPath = pattern;
    }
    ~TTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    std::string File(const std::string& name) const { return (FPath / name).string(); }
    std::string Path() const { return FPath.string(); }

private:
    std::filesystem::path FPath;
};

std::string WriteJpeg(const TTempDir& dir, const std::string& name, const cv::Mat& image) {
    const std::string path = dir.File(name);
    if (!cv::imwrite(path, image, {cv::IMWRITE_JPEG_QUALITY, 92})) {
        throw std::runtime_error("cannot write " + path);
    }
    return path;
}

TPageCorners Answer(const float corners[8]) {
    TPageCorners out;
    for (std::size_t i = 0; i < 4; ++i) {
        out[i] = cv::Point2f(corners[2 * i], corners[2 * i + 1]);
    }
    return out;
}

// Twice the signed area; positive when the corners run clockwise on screen.
double Winding(const TPageCorners& q) {
    double twice = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        twice += static_cast<double>(q[i].x) * q[(i + 1) % 4].y -
                 static_cast<double>(q[(i + 1) % 4].x) * q[i].y;
    }
    return twice;
}

// The quarter (0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left) of
// the page straightened with `corners` in which the page is darkest: where
// its black block ended up.
int DarkestQuarter(const cv::Mat& image, const TPageCorners& corners) {
    const cv::Point2f square[4] = {{0, 0}, {399, 0}, {399, 399}, {0, 399}};
    cv::Mat straight;
    cv::warpPerspective(image, straight, cv::getPerspectiveTransform(corners.data(), square),
                        cv::Size(400, 400));
    const cv::Rect quarters[4] = {
        {0, 0, 100, 100}, {300, 0, 100, 100}, {300, 300, 100, 100}, {0, 300, 100, 100}};
    int darkest = 0;
    for (int i = 1; i < 4; ++i) {
        if (cv::mean(straight(quarters[i]))[0] < cv::mean(straight(quarters[darkest]))[0]) {
            darkest = i;
        }
    }
    return darkest;
}

struct TProbeRun {
    bool Returned = false; // the probe exited normally with status 0
    std::string Output;
    long MaxResidentKb = 0;
};

// Runs one detector call in a process of its own (see DocDetectProbe.cpp).
TProbeRun Probe(const std::string& image) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string program = DOCDETECT_PROBE;
    std::string plugin = KPlugin;
    std::string argument = image;
    char* argv[] = {program.data(), plugin.data(), argument.data(), nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    TProbeRun run;
    char buffer[256];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        run.Output.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    if (spawned != 0) {
        return run;
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) == child) {
        run.Returned = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        run.MaxResidentKb = usage.ru_maxrss;
    }
    return run;
}

} // namespace

TEST(DocDetect, FindsATiltedPageWithItsCornersInPlace) {
    const TPlugin plugin;
    ASSERT_TRUE(plugin.Loaded()) << KPlugin;
    const TTempDir dir;
    const TPagePhoto photo = PagePhoto(12);
    const std::string path = WriteJpeg(dir, "page.jpg", photo.Image);
    const std::string other = WriteJpeg(dir, "other.jpg", PagePhoto(-25).Image);

    float first[8];
    ASSERT_EQ(plugin.Detect(path.c_str(), first), 1);
    const TPageCorners found = Answer(first);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_LT(cv::norm(found[i] - photo.Corners[i]), KTolerance)
            << "corner " << i << " at " << found[i] << ", page corner at " << photo.Corners[i];
    }

    // No state carries over from one call to the next.
    float between[8];
    ASSERT_EQ(plugin.Detect(other.c_str(), between), 1);
    float again[8];
    ASSERT_EQ(plugin.Detect(path.c_str(), again), 1);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(first[i], again[i]);
    }
}

TEST(DocDetect, CornerRolesFollowThePageAsItLiesAndAreNeverMirrored) {
    struct TCase {
        double Turn;   // degrees, clockwise on screen
        int TopLeftAt; // where the page's own top-left corner belongs in the answer
    };
    // Turned less than 45 degrees the page keeps its roles; beyond that the
    // side that points most nearly to the right becomes the top.
    const TCase cases[] = {{12, 0}, {-25, 0}, {60, 1}, {100, 1}, {150, 2}, {-60, 3}};
    const TPlugin plugin;
    ASSERT_TRUE(plugin.Loaded()) << KPlugin;
    const TTempDir dir;
    for (const TCase& c : cases) {
        SCOPED_TRACE("turned " + std::to_string(c.Turn) + " degrees");
        const TPagePhoto photo = PagePhoto(c.Turn);
        const std::string path = WriteJpeg(dir, "turned.jpg", photo.Image);
        float corners[8];
        ASSERT_EQ(plugin.Detect(path.c_str(), corners), 1);
        const TPageCorners found = Answer(corners);
        for (std::size_t i = 0; i < 4; ++i) {
            const std::size_t own = (i + 4 - static_cast<std::size_t>(c.TopLeftAt)) % 4;
            EXPECT_LT(cv::norm(found[i] - photo.Corners[own]), KTolerance)
                << "corner " << i << " at " << found[i] << ", page corner " << own << " at "
                << photo.Corners[own];
        }
        EXPECT_GT(Winding(found), 0) << "corners do not run clockwise";
        // Straightened with the answer, the page's black block sits in the
        // quarter of its own top-left corner's role: turned, never mirrored.
        EXPECT_EQ(DarkestQuarter(photo.Image, found), c.TopLeftAt);
    }
}

TEST(DocDetect, AnswersNoDocumentWhereThereIsNoneAndLeavesTheCornersAlone) {
    const TPlugin plugin;
    ASSERT_TRUE(plugin.Loaded()) << KPlugin;
    const TTempDir dir;
    const std::string blank =
        WriteJpeg(dir, "blank.jpg", cv::Mat(900, 1200, CV_8UC3, cv::Scalar(255, 255, 255)));
    const std::string grey =
        WriteJpeg(dir, "grey.jpg", cv::Mat(900, 1200, CV_8UC3, cv::Scalar(128, 128, 128)));
    const std::string scan = WriteJpeg(dir, "scan.jpg", FlatScan());
    for (const std::string& path : {blank, grey, scan}) {
        SCOPED_TRACE(path);
        float corners[8];
        std::fill(std::begin(corners), std::end(corners), -7.0F);
        EXPECT_NE(plugin.Detect(path.c_str(), corners), 1);
        for (const float value : corners) {
            EXPECT_EQ(value, -7.0F);
        }
    }
}

TEST(DocDetect, AnswersInThePixelsAsStoredWhateverTheExifOrientation) {
    const TPlugin plugin;
    ASSERT_TRUE(plugin.Loaded()) << KPlugin;
    const TTempDir dir;
    const TPagePhoto photo = PagePhoto(12);
    const std::string plain = WriteJpeg(dir, "plain.jpg", photo.Image);
    const std::string turned = dir.File("exif6.jpg");
    WriteBytes(turned, JpegWithOrientation(photo.Image, /*orientation=*/6));

    float expected[8];
    float found[8];
    ASSERT_EQ(plugin.Detect(plain.c_str(), expected), 1);
    ASSERT_EQ(plugin.Detect(turned.c_str(), found), 1);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(found[i], expected[i], 1.0F) << "value " << i;
    }
}

TEST(DocDetect, UnusableFilesAreNoDocumentAndNeverACrash) {
    const TTempDir dir;
    const std::string text = dir.File("notes.txt");
    WriteBytes(text, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e', '\n'});
    const std::string tinyPng = dir.File("tiny.png");
    const std::string tinyJpeg = dir.File("tiny.jpg");
    cv::imwrite(tinyPng, cv::Mat(1, 1, CV_8UC3, cv::Scalar(0, 0, 0)));
    cv::imwrite(tinyJpeg, cv::Mat(1, 1, CV_8UC3, cv::Scalar(255, 255, 255)));
    // Headers that declare 20000 x 20000 pixels, with nothing behind them.
    const std::string hugeJpeg = dir.File("huge.jpg");
    WriteBytes(hugeJpeg, {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x4E, 0x20, 0x4E, 0x20,
                          0x03, 0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01});
    std::vector<std::uint8_t> hugePngBytes = WhiteBitonalPng(20000, 20000);
    hugePngBytes.resize(64);
    const std::string hugePng = dir.File("huge.png");
    WriteBytes(hugePng, hugePngBytes);
    const std::string garbage = dir.File("garbage.jpg");
    WriteBytes(garbage, std::vector<std::uint8_t>(5000, 0xD8));

    const std::string paths[] = {dir.File("missing.jpg"),
                                 "",
                                 dir.Path(),
                                 text,
                                 tinyPng,
                                 tinyJpeg,
                                 hugeJpeg,
                                 hugePng,
                                 garbage};
    for (const std::string& path : paths) {
        SCOPED_TRACE("path '" + path + "'");
        const TProbeRun run = Probe(path);
        ASSERT_TRUE(run.Returned) << "the call did not return: " << run.Output;
        EXPECT_EQ(run.Output.substr(0, 2), "0 ");
    }

    const TPlugin plugin;
    ASSERT_TRUE(plugin.Loaded()) << KPlugin;
    float corners[8];
    EXPECT_EQ(plugin.Detect(nullptr, corners), 0);
    EXPECT_EQ(plugin.Detect(text.c_str(), nullptr), 0);
}

TEST(DocDetect, AHugeImageIsRefusedWithoutTakingItsMemory) {
    // A complete, valid 20000 x 20000 PNG: decoding it would take at least
    // 400 MB even as grey.
    const TTempDir dir;
    const std::string path = dir.File("huge-valid.png");
    WriteBytes(path, WhiteBitonalPng(20000, 20000));
    const TProbeRun run = Probe(path);
    ASSERT_TRUE(run.Returned) << run.Output;
    EXPECT_EQ(run.Output.substr(0, 2), "0 ");
#ifndef __SANITIZE_ADDRESS__
    // Under AddressSanitizer the probe's own shadow memory swamps the figure;
    // the plain build checks the bound.
    EXPECT_LT(run.MaxResidentKb, 300 * 1024)
        << "the call took " << run.MaxResidentKb / 1024 << " MB";
#endif
}

TEST(DocDetect, ExportsOnlyTheDetectorFunction) {
    const std::string command = std::string(NM_EXECUTABLE) + " -D --defined-only " + KPlugin;
    std::unique_ptr<FILE, int (*)(FILE*)> listing(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(listing);
    std::set<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof line, listing.get()) != nullptr) {
        std::istringstream fields(line);
        std::string address;
        std::string kind;
        std::string name;
        if (fields >> address >> kind >> name) {
            names.insert(name);
        }
    }
    EXPECT_EQ(names, std::set<std::string>{"DetectDocumentCornersFile"});
}
