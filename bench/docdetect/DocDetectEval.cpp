// docdetect_eval: generates the evaluation set of the corner detector, runs
// the plugin on every image through its C export (dlopen, as the program
// does) and reports the mean clipped Jaccard index per category and the
// median time per image.
//
//   docdetect_eval [--quick | --count N] [--first SEED] [--only CATEGORY] [--dir DIR]
//                  [--reuse] [--lib PATH] [--verbose] [--draw DIR]
//
// Measure speed pinned to one core: taskset -c 0 docdetect_eval. Times are
// reported as process CPU time (what the target is checked against: it holds
// up on a shared machine) and as wall clock.
#include "DetectorLibrary.h"
#include "QuadJaccard.h"
#include "SceneGenerator.h"

#include <opencv2/core/utility.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <malloc.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace bitonix;

namespace {

constexpr int KFullCount = 20;
constexpr int KQuickCount = 3;
const char* const KManifestHeader = "# bitonix docdetect evaluation set v1";

struct TOptions {
    int Count = KFullCount;
    int First = 1; // seed of the first image of each category
    std::string Only;
    fs::path Dir;
    bool Reuse = false;
    std::string Library;
    bool Verbose = false;
    fs::path Draw; // overlays of the answers go here when set
};

struct TItem {
    std::string File;
    std::string Category;
    bool HasPage = false;
    bool Photo = false;
    cv::Size Size;
    TQuad Truth{};
};

struct TResult {
    double Score = 0;   // Jaccard, or 0/1 for images without a document
    bool Found = false; // the detector answered 1
    bool RoleError = false;
    double Milliseconds = 0;    // wall clock
    double CpuMilliseconds = 0; // process CPU time: holds up while other work shares the machine
    TQuad Answer{};
};

void Usage() {
    std::cerr << "usage: docdetect_eval [--quick | --count N] [--first SEED] [--only CATEGORY] "
                 "[--dir DIR] [--reuse]\n"
                 "                      [--lib PATH] [--verbose] [--draw DIR]\n"
                 "  --quick     "
              << KQuickCount << " images per category instead of " << KFullCount
              << "\n"
                 "  --first     seed of each category's first image (default 1; another range is a "
                 "fresh set)\n"
                 "  --reuse     keep the images already generated in DIR\n"
                 "  --lib       detector library (default: libdocdetect.so beside this program)\n"
                 "  --draw      write each image small with the true (green) and found (red) "
                 "outline to DIR\n";
}

bool ParseOptions(int argc, char** argv, TOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--quick") {
            options.Count = KQuickCount;
        } else if (arg == "--count" && hasValue) {
            options.Count = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--first" && hasValue) {
            options.First = std::atoi(argv[++i]);
        } else if (arg == "--only" && hasValue) {
            options.Only = argv[++i];
        } else if (arg == "--dir" && hasValue) {
            options.Dir = argv[++i];
        } else if (arg == "--reuse") {
            options.Reuse = true;
        } else if (arg == "--lib" && hasValue) {
            options.Library = argv[++i];
        } else if (arg == "--draw" && hasValue) {
            options.Draw = argv[++i];
        } else if (arg == "--verbose") {
            options.Verbose = true;
        } else {
            return false;
        }
    }
    if (options.Dir.empty()) {
        options.Dir =
            fs::temp_directory_path() /
            ("bitonix-docdetect-set-" + std::to_string(options.First) + "-" +
             std::to_string(options.Count) + (options.Only.empty() ? "" : "-" + options.Only));
    }
    if (options.Library.empty()) {
        options.Library =
            (fs::read_symlink("/proc/self/exe").parent_path() / "libdocdetect.so").string();
    }
    return true;
}

std::string ManifestTag(const TOptions& options) {
    return std::string(KManifestHeader) + " first=" + std::to_string(options.First) +
           " count=" + std::to_string(options.Count) + " only=" + options.Only;
}

std::vector<TItem> ReadManifest(const fs::path& dir, const std::string& tag) {
    std::ifstream in(dir / "manifest.tsv");
    std::string line;
    if (!std::getline(in, line) || line != tag) {
        return {};
    }
    std::vector<TItem> items;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        TItem item;
        int hasPage = 0;
        int photo = 0;
        fields >> item.File >> item.Category >> hasPage >> photo >> item.Size.width >>
            item.Size.height;
        for (auto& p : item.Truth) {
            fields >> p.x >> p.y;
        }
        if (!fields) {
            return {};
        }
        item.HasPage = hasPage != 0;
        item.Photo = photo != 0;
        items.push_back(item);
    }
    return items;
}

void Generate(const TOptions& options) {
    fs::create_directories(options.Dir);
    std::vector<TItem> items;
    const auto start = std::chrono::steady_clock::now();
    for (const TSceneCategory& category : SceneCategories()) {
        if (!options.Only.empty() && category.Name != options.Only) {
            continue;
        }
        for (int i = options.First; i < options.First + options.Count; ++i) {
            const TScene scene = MakeScene(category, static_cast<std::uint32_t>(i));
            char name[64];
            std::snprintf(name, sizeof name, "%s-%03d.%s", category.Name.c_str(), i,
                          scene.JpegQuality > 0 ? "jpg" : "png");
            const std::vector<int> parameters =
                scene.JpegQuality > 0
                    ? std::vector<int>{cv::IMWRITE_JPEG_QUALITY, scene.JpegQuality}
                    : std::vector<int>{cv::IMWRITE_PNG_COMPRESSION, 3};
            if (!cv::imwrite((options.Dir / name).string(), scene.Image, parameters)) {
                throw std::runtime_error("cannot write " + (options.Dir / name).string());
            }
            items.push_back({name, category.Name, scene.HasPage, category.Photo, scene.Image.size(),
                             scene.Truth});
            if (isatty(STDERR_FILENO)) {
                std::cerr << "\rgenerated " << items.size() << " images" << std::flush;
            }
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cerr << "\rgenerated " << items.size() << " images in " << std::lround(seconds) << " s\n";
    std::ofstream out(options.Dir / "manifest.tsv");
    out << ManifestTag(options) << '\n';
    out.precision(9);
    for (const TItem& item : items) {
        out << item.File << '\t' << item.Category << '\t' << item.HasPage << '\t' << item.Photo
            << '\t' << item.Size.width << '\t' << item.Size.height;
        for (const auto& p : item.Truth) {
            out << '\t' << p.x << '\t' << p.y;
        }
        out << '\n';
    }
    if (!out.flush()) {
        throw std::runtime_error("cannot write the manifest in " + options.Dir.string());
    }
}

// Generates the set in a child process, so that the detector is measured in
// a process whose memory the generator's large images have not shaped.
void GenerateApart(const TOptions& options) {
    std::cout.flush();
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("cannot start the generator process");
    }
    if (child == 0) {
        // Keep big images in the heap instead of mapping fresh pages each time.
        mallopt(M_MMAP_THRESHOLD, 512 << 20);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
        try {
            Generate(options);
            _exit(0);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "docdetect_eval: %s\n", error.what());
            _exit(1);
        }
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("generating the evaluation set failed");
    }
}

// Within 1.5 pixels of the full-page corners in every coordinate: the
// program then leaves the page unwarped.
bool IsFullFrame(const TQuad& quad, cv::Size size) {
    const float right = static_cast<float>(size.width - 1);
    const float bottom = static_cast<float>(size.height - 1);
    const TQuad full = {cv::Point2f(0, 0), cv::Point2f(right, 0), cv::Point2f(right, bottom),
                        cv::Point2f(0, bottom)};
    for (std::size_t i = 0; i < 4; ++i) {
        if (std::abs(quad[i].x - full[i].x) > 1.5f || std::abs(quad[i].y - full[i].y) > 1.5f) {
            return false;
        }
    }
    return true;
}

double CpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

TResult Evaluate(const TDetectorLibrary& library, const fs::path& dir, const TItem& item) {
    float corners[8] = {};
    const std::string path = (dir / item.File).string();
    const double cpuStart = CpuMilliseconds();
    const auto start = std::chrono::steady_clock::now();
    const int answer = library.Detect(path, corners);
    TResult result;
    result.Milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    result.CpuMilliseconds = CpuMilliseconds() - cpuStart;
    result.Found = answer == 1;
    TQuad found{};
    for (std::size_t i = 0; i < 4; ++i) {
        found[i] = cv::Point2f(corners[2 * i], corners[2 * i + 1]);
    }
    result.Answer = found;
    if (!item.HasPage) {
        result.Score = (!result.Found || IsFullFrame(found, item.Size)) ? 1.0 : 0.0;
        return result;
    }
    if (!result.Found) {
        return result;
    }
    if (!IsClockwiseConvex(found)) {
        result.RoleError = true;
        return result;
    }
    result.Score = ClippedJaccard(item.Truth, found, item.Size);
    result.RoleError = ImageOrder(found)[0] != found[0];
    return result;
}

// A small copy of the image with the true outline in green and the answer
// in red, its corner 0 marked with a dot.
void DrawOverlay(const fs::path& dir, const fs::path& setDir, const TItem& item,
                 const TResult& result) {
    const cv::Mat image = cv::imread((setDir / item.File).string(), cv::IMREAD_REDUCED_COLOR_4);
    if (image.empty()) {
        return;
    }
    const double scale = static_cast<double>(image.cols) / item.Size.width;
    const auto outline = [&](const TQuad& quad, const cv::Scalar& colour) {
        std::vector<cv::Point> points;
        for (const auto& p : quad) {
            points.emplace_back(cvRound(p.x * scale), cvRound(p.y * scale));
        }
        cv::polylines(image, points, true, colour, 2, cv::LINE_AA);
        cv::circle(image, points[0], 6, colour, cv::FILLED);
    };
    if (item.HasPage) {
        outline(item.Truth, cv::Scalar(0, 200, 0));
    }
    if (result.Found) {
        outline(result.Answer, cv::Scalar(0, 0, 255));
    }
    char label[64];
    std::snprintf(label, sizeof label, "J=%.3f", result.Score);
    cv::putText(image, label, {10, 40}, cv::FONT_HERSHEY_SIMPLEX, 1.2, cv::Scalar(255, 0, 255), 3);
    cv::imwrite((dir / item.File).replace_extension(".jpg").string(), image);
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int AllowedCpus() {
    cpu_set_t set;
    CPU_ZERO(&set);
    return sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : -1;
}

} // namespace

int main(int argc, char** argv) {
    TOptions options;
    if (!ParseOptions(argc, argv, options)) {
        Usage();
        return 2;
    }
    cv::setNumThreads(1);
    try {
        std::vector<TItem> items;
        if (options.Reuse) {
            items = ReadManifest(options.Dir, ManifestTag(options));
            if (items.empty() && !options.Only.empty()) {
                // A whole set holds the category too.
                TOptions whole = options;
                whole.Only.clear();
                items = ReadManifest(options.Dir, ManifestTag(whole));
                std::erase_if(items,
                              [&](const TItem& item) { return item.Category != options.Only; });
            }
        }
        if (items.empty()) {
            GenerateApart(options);
            items = ReadManifest(options.Dir, ManifestTag(options));
        }
        if (items.empty()) {
            throw std::runtime_error("the evaluation set in " + options.Dir.string() + " is empty");
        }
        const TDetectorLibrary library(options.Library);
        if (!options.Draw.empty()) {
            fs::create_directories(options.Draw);
        }

        std::map<std::string, std::vector<TResult>> byCategory;
        for (const TItem& item : items) {
            const TResult result = Evaluate(library, options.Dir, item);
            byCategory[item.Category].push_back(result);
            if (!options.Draw.empty()) {
                DrawOverlay(options.Draw, options.Dir, item, result);
            }
            if (options.Verbose || (item.HasPage && result.Score < 0.9) ||
                (!item.HasPage && result.Score < 1)) {
                std::printf("%-22s %s J=%.3f %.1f ms cpu%s\n", item.File.c_str(),
                            result.Found ? "found" : "none ", result.Score, result.CpuMilliseconds,
                            result.RoleError ? " ROLE" : "");
            }
        }

        std::printf("\n%-12s %5s %6s %8s %7s %6s %9s %9s\n", "category", "count", "found", "mean J",
                    "min J", "roles", "cpu ms", "wall ms");
        std::vector<double> pageScores;
        std::vector<double> photoTimes;
        std::vector<double> photoWallTimes;
        double worstCategory = 1.0;
        int noDocumentWrong = 0;
        int roleErrors = 0;
        for (const TSceneCategory& category : SceneCategories()) {
            const auto found = byCategory.find(category.Name);
            if (found == byCategory.end()) {
                continue;
            }
            const std::vector<TResult>& results = found->second;
            double sum = 0;
            double lowest = 1;
            int answered = 0;
            int roles = 0;
            std::vector<double> times;
            std::vector<double> wallTimes;
            for (const TResult& r : results) {
                sum += r.Score;
                lowest = std::min(lowest, r.Score);
                answered += r.Found;
                roles += r.RoleError;
                times.push_back(r.CpuMilliseconds);
                wallTimes.push_back(r.Milliseconds);
                if (category.HasPage) {
                    pageScores.push_back(r.Score);
                } else {
                    noDocumentWrong += r.Score < 1;
                }
                if (category.Photo) {
                    photoTimes.push_back(r.CpuMilliseconds);
                    photoWallTimes.push_back(r.Milliseconds);
                }
            }
            const double mean = sum / static_cast<double>(results.size());
            if (category.HasPage) {
                worstCategory = std::min(worstCategory, mean);
            }
            roleErrors += roles;
            std::printf("%-12s %5zu %6d %8.3f %7.3f %6d %9.1f %9.1f\n", category.Name.c_str(),
                        results.size(), answered, mean, lowest, roles, Median(times),
                        Median(wallTimes));
        }
        double pageMean = 0;
        for (const double s : pageScores) {
            pageMean += s;
        }
        pageMean /= std::max<std::size_t>(1, pageScores.size());
        const double photoMedian = Median(photoTimes);
        std::printf("\npages: mean J %.3f over %zu images, worst category %.3f\n", pageMean,
                    pageScores.size(), worstCategory);
        std::printf("no document: %d wrong answers\n", noDocumentWrong);
        std::printf("corner roles: %d errors\n", roleErrors);
        std::printf("median time per 12 MP photo: %.1f ms CPU, %.1f ms wall clock (CPUs allowed: "
                    "%d, OpenCV threads: %d)\n",
                    photoMedian, Median(photoWallTimes), AllowedCpus(), cv::getNumThreads());
        std::printf("set: %s\n", options.Dir.c_str());
        const bool met = pageMean >= 0.95 && worstCategory >= 0.90 && noDocumentWrong == 0 &&
                         photoMedian < 150.0;
        std::printf(
            "targets (mean >= 0.95, every category >= 0.90, no false document, < 150 ms CPU): %s\n",
            met ? "met" : "NOT met");
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "docdetect_eval: %s\n", error.what());
        return 1;
    }
}
