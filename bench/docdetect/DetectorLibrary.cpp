// dlopen wrapper of the corner detector plugin.
#include "DetectorLibrary.h"

#include <dlfcn.h>

#include <stdexcept>

namespace bitonix {

TDetectorLibrary::TDetectorLibrary(const std::string& path) {
    FHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (FHandle == nullptr) {
        throw std::runtime_error(dlerror());
    }
    // POSIX blesses this conversion for dlsym results.
    FDetect = reinterpret_cast<TDetect>(dlsym(FHandle, "DetectDocumentCornersFile"));
    if (FDetect == nullptr) {
        const std::string message = dlerror();
        dlclose(FHandle);
        throw std::runtime_error(message);
    }
}

TDetectorLibrary::~TDetectorLibrary() {
    dlclose(FHandle);
}

} // namespace bitonix
