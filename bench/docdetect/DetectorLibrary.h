// The corner detector plugin loaded the way the program loads it: dlopen by
// path and one export looked up by name.
#pragma once

#include <string>

namespace bitonix {

class TDetectorLibrary {
public:
    using TDetect = int (*)(const char* utf8Path, float corners[8]);

    // Loads `path` and looks up "DetectDocumentCornersFile"; throws
    // std::runtime_error with dlerror's text when either fails.
    explicit TDetectorLibrary(const std::string& path);
    ~TDetectorLibrary();
    TDetectorLibrary(const TDetectorLibrary&) = delete;
    TDetectorLibrary& operator=(const TDetectorLibrary&) = delete;

    int Detect(const std::string& path, float corners[8]) const {
        return FDetect(path.c_str(), corners);
    }

private:
    void* FHandle = nullptr;
    TDetect FDetect = nullptr;
};

} // namespace bitonix
