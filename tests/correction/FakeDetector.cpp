// A stand-in detector plugin for tests: finds a document in any file whose
// name contains "found", at fixed corners; nothing elsewhere.
#include <cstring>

extern "C" __attribute__((visibility("default"))) int
DetectDocumentCornersFile(const char* utf8Path, float corners[8]) {
    if (utf8Path == nullptr || std::strstr(utf8Path, "found") == nullptr) {
        return 0;
    }
    const float fixed[8] = {10.5F, 20.25F, 300, 22, 305, 410, 8, 400};
    std::memcpy(corners, fixed, sizeof fixed);
    return 1;
}
