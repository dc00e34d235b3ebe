// docdetect_probe LIBRARY IMAGE: loads the plugin, calls
// DetectDocumentCornersFile(IMAGE) once and prints the result and the eight
// numbers. Exit status 0 when the call returned, 2 when the plugin could not
// be loaded. The tests run it to see a crash or the memory one call takes
// apart from their own process.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return 2;
    }
    using TDetect = int (*)(const char*, float*);
    // POSIX blesses this conversion for dlsym results.
    const auto detect = reinterpret_cast<TDetect>(dlsym(library, "DetectDocumentCornersFile"));
    if (detect == nullptr) {
        return 2;
    }
    float corners[8] = {};
    const int result = detect(argv[2], corners);
    std::printf("%d", result);
    for (const float value : corners) {
        std::printf(" %.3f", static_cast<double>(value));
    }
    std::printf("\n");
    std::fflush(stdout);
    // Straight out: the plugin stays loaded and its libraries' globals are
    // not this probe's to account for; the tests' own process checks leaks.
    _exit(0);
}
