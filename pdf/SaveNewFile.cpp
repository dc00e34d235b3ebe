// Saving a finished file in one step under a name that does not exist yet: temporary file,
// fsync, then a rename that never replaces (or link + unlink where rename cannot).
#include "pdf/SaveNewFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace bitonix {

namespace {

constexpr int KMaxTakenNames = 1000;

[[noreturn]] void FailCreate(const std::filesystem::path& target, int error) {
    throw std::runtime_error("Cannot create file \"" + target.string() + "\". " +
                             std::generic_category().message(error));
}

// An open temporary file; closed and removed on destruction unless it was moved into place.
class TTempFileHandle {
public:
    TTempFileHandle(std::filesystem::path path, int fd) : FPath(std::move(path)), FFd(fd) {}
    TTempFileHandle(const TTempFileHandle&) = delete;
    TTempFileHandle& operator=(const TTempFileHandle&) = delete;
    ~TTempFileHandle() {
        if (FFd >= 0) {
            ::close(FFd);
        }
        if (!FPath.empty()) {
            ::unlink(FPath.c_str());
        }
    }

    int Fd() const { return FFd; }
    const std::filesystem::path& Path() const { return FPath; }

    // Closes the descriptor; returns 0 or the errno of close().
    int Close() {
        const int result = ::close(FFd);
        FFd = -1;
        return result == 0 ? 0 : errno;
    }

    // The file now lives under another name: leave its old name alone.
    void Forget() { FPath.clear(); }

private:
    std::filesystem::path FPath;
    int FFd;
};

std::string RandomTempName() {
    static constexpr std::string_view alphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string name = ".bitonix-";
    for (int i = 0; i < 16; ++i) {
        name += alphabet[pick(source)];
    }
    return name + ".tmp";
}

std::filesystem::path FolderOf(const std::filesystem::path& target) {
    const std::filesystem::path folder = target.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// Creates a fresh temporary file beside `target`; a name that exists is never reused.
TTempFileHandle CreateTempFile(const std::filesystem::path& target) {
    const std::filesystem::path folder = FolderOf(target);
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::filesystem::path path = folder / RandomTempName();
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd >= 0) {
            return TTempFileHandle(std::move(path), fd);
        }
        if (errno != EEXIST) {
            FailCreate(target, errno);
        }
    }
    FailCreate(target, EEXIST);
}

void WriteAll(const std::filesystem::path& target, int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            FailCreate(target, errno);
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

// Best effort: make the new directory entry durable too. The file is already in place, so a
// failure here is not reported.
void SyncFolder(const std::filesystem::path& target) {
    const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Puts the finished temporary file in place under `name` without replacing anything there;
// returns 0 or the errno of the failure (EEXIST: the name is taken).
int LinkInPlace(TTempFileHandle& temp, const std::filesystem::path& name) {
    if (::renameat2(AT_FDCWD, temp.Path().c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) {
        temp.Forget();
        return 0;
    }
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) {
        return error;
    }
    // No rename without replacing here: a hard link fails just the same on an existing
    // target; the temporary name is then removed by the handle.
    return ::link(temp.Path().c_str(), name.c_str()) == 0 ? 0 : errno;
}

} // namespace

std::filesystem::path SaveNewFile(const std::filesystem::path& target,
                                  std::span<const std::span<const std::uint8_t>> pieces,
                                  const TNextFreeName& nextFree) {
    TTempFileHandle temp = CreateTempFile(target);
    for (const auto piece : pieces) {
        WriteAll(target, temp.Fd(), piece);
    }
    if (::fsync(temp.Fd()) != 0) {
        FailCreate(target, errno);
    }
    if (const int error = temp.Close(); error != 0) {
        FailCreate(target, error);
    }

    std::filesystem::path name = target;
    for (int tried = 1;; ++tried) {
        const int error = LinkInPlace(temp, name);
        if (error == 0) {
            break;
        }
        if (error != EEXIST || !nextFree || tried >= KMaxTakenNames) {
            FailCreate(name, error);
        }
        name = nextFree(name);
    }
    SyncFolder(name);
    return name;
}

} // namespace bitonix
