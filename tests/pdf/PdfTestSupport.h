// Shared helpers of the PDF writer tests: a fixed clock, temporary folders, running the
// real PDF readers, and looking at finished bytes as text.
#pragma once

#include "pdf/PdfWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <sys/wait.h>

namespace bitonix::test {

inline constexpr const char* KProgName = "Bitonix v1.0.0";

// 2024-03-05 07:08:09, written as 20240305070809.
inline std::tm FixedTime() {
    std::tm time{};
    time.tm_year = 2024 - 1900;
    time.tm_mon = 2;
    time.tm_mday = 5;
    time.tm_hour = 7;
    time.tm_min = 8;
    time.tm_sec = 9;
    return time;
}

inline TKPdfWriter MakeWriter(const std::string& progname = KProgName) {
    return TKPdfWriter(progname, FixedTime);
}

// Adds a page drawn over the whole A4 page, as page processing does for an A4-shaped image.
inline void AddA4Page(TKPdfWriter& writer, const TKPdfBytes& data, const std::string& name) {
    writer.kpdfaddpage(data, /*kpdforgpicx=*/1240, /*kpdforgpicy=*/1754, /*kpdfrespicx=*/595,
                       /*kpdfrespicy=*/842, /*kpdfmx=*/0, /*kpdfmy=*/0, /*kpdfpagex=*/595,
                       /*kpdfpagey=*/842, name);
}

inline std::string AsText(const TKPdfBytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

inline std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a folder, to show that nothing was added or left behind.
inline std::set<std::string> FolderNames(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// A private folder under the system temporary folder, removed with all its content.
class TTempDir {
public:
    TTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "bitonix-pdf-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        FPath = pattern;
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    ~TTempDir() {
        std::error_code ignored;
        std::filesystem::permissions(FPath, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(FPath, ignored);
    }
    const std::filesystem::path& Path() const { return FPath; }

private:
    std::filesystem::path FPath;
};

struct TCommandResult {
    int ExitCode = -1;
    std::string Output; // stdout and stderr together
};

// Runs a shell command line; arguments must already be quoted.
inline TCommandResult RunCommand(const std::string& command) {
    TCommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.Output.append(buffer, got);
    }
    const int status = pclose(pipe);
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline std::string Quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

} // namespace bitonix::test
