// A stand-in detector plugin for tests: finds a document in any file whose
// name contains "found", at fixed corners; nothing elsewhere. Names that
// contain "faulty" get a success with one corner that is no number, as a
// broken plugin might answer.
#include <cstring>
#include <limits>

extern "C" __attribute__((visibility("default"))) int
DetectDocumentCornersFile(const char* utf8Path, float corners[8]) {
    if (utf8Path == nullptr || std::strstr(utf8Path, "found") == nullptr) {
        return 0;
    }
    const float fixed[8] = {10.5F, 20.25F, 300, 22, 305, 410, 8, 400};
    std::memcpy(corners, fixed, sizeof fixed);
    if (std::strstr(utf8Path, "faulty nan") != nullptr) {
        corners[5] = std::numeric_limits<float>::quiet_NaN();
    } else if (std::strstr(utf8Path, "faulty inf") != nullptr) {
        corners[2] = -std::numeric_limits<float>::infinity();
    }
    return 1;
}
