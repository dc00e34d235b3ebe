// Spooling standard input into a private file, and a finished PDF out to
// standard output.
#include "cli/StdStreams.h"

#include "support/Error.h"
#include "support/StopSignals.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace bitonix {

namespace {

constexpr qsizetype KSniffBytes = 1024; // a PDF header may follow up to 1 KB of junk
constexpr std::size_t KChunk = 64 * 1024;

// A file descriptor, closed when the object goes.
class TFdHandle {
public:
    explicit TFdHandle(int fd) : FFd(fd) {}
    ~TFdHandle() {
        if (FFd >= 0) {
            ::close(FFd);
        }
    }
    TFdHandle(const TFdHandle&) = delete;
    TFdHandle& operator=(const TFdHandle&) = delete;
    int Get() const { return FFd; }

private:
    int FFd;
};

QString SystemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Writes all of `size` bytes to `fd`, retrying after signals.
bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Waits until standard input has data (or its end) or a stop is requested.
// Returns false on a stop request.
bool WaitForInput() {
    for (;;) {
        if (StopRequested()) {
            return false;
        }
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {StopNotifyFd(), POLLIN, 0}};
        const nfds_t count = fds[1].fd >= 0 ? 2 : 1;
        if (::poll(fds, count, -1) < 0 && errno != EINTR) {
            return true; // the read that follows reports the trouble
        }
        if (StopRequested()) {
            return false;
        }
        if (fds[0].revents != 0) {
            return true;
        }
    }
}

// The extension for a file starting with `head`; empty for no known kind.
QString ExtensionFor(const QByteArray& head) {
    if (head.left(KSniffBytes).contains("%PDF-")) {
        return QStringLiteral(".pdf");
    }
    const QByteArray four = head.left(4);
    if (four == QByteArray("II*\0", 4) || four == QByteArray("MM\0*", 4) ||
        four == QByteArray("II+\0", 4) || four == QByteArray("MM\0+", 4)) {
        return QStringLiteral(".tif");
    }
    if (head.startsWith("\xFF\xD8\xFF")) {
        return QStringLiteral(".jpg");
    }
    if (head.startsWith("\x89PNG\r\n\x1A\n")) {
        return QStringLiteral(".png");
    }
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) {
        return QStringLiteral(".gif");
    }
    if (head.startsWith("BM")) {
        return QStringLiteral(".bmp");
    }
    return {};
}

} // namespace

TSpoolResult SpoolStandardInput(const QString& folder) {
    const QString raw = folder + QStringLiteral("stdin");
    const QByteArray rawName = QFile::encodeName(raw);
    TSpoolResult result;
    QByteArray head;
    {
        const TFdHandle file(::open(rawName.constData(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.Get() < 0) {
            throw TError(QStringLiteral("cannot create \"%1\": %2").arg(raw, SystemError()));
        }
        std::vector<char> buffer(KChunk);
        for (;;) {
            if (!WaitForInput()) {
                result.Stopped = true;
                break;
            }
            const ssize_t n = ::read(STDIN_FILENO, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                const QString reason = SystemError();
                QFile::remove(raw);
                throw TError(QStringLiteral("cannot read standard input: %1").arg(reason));
            }
            if (n == 0) {
                break;
            }
            if (head.size() < KSniffBytes) {
                head.append(buffer.data(), std::min<qsizetype>(n, KSniffBytes - head.size()));
            }
            if (!WriteAll(file.Get(), buffer.data(), static_cast<std::size_t>(n))) {
                const QString reason = SystemError();
                QFile::remove(raw);
                throw TError(QStringLiteral("cannot write \"%1\": %2").arg(raw, reason));
            }
        }
    }
    const QString extension = ExtensionFor(head);
    if (result.Stopped || head.isEmpty() || extension.isEmpty()) {
        QFile::remove(raw);
        if (!result.Stopped) {
            result.Problem = head.isEmpty()
                                 ? QStringLiteral("standard input is empty")
                                 : QStringLiteral("standard input holds no PDF, TIFF, JPEG, PNG, "
                                                  "BMP or GIF file");
        }
        return result;
    }
    // Renaming inside the private folder: nobody else can have made the name.
    const QString named = raw + extension;
    if (::rename(rawName.constData(), QFile::encodeName(named).constData()) != 0) {
        const QString reason = SystemError();
        QFile::remove(raw);
        throw TError(QStringLiteral("cannot rename \"%1\": %2").arg(raw, reason));
    }
    result.Path = named;
    return result;
}

void CopyToStandardOutput(const QString& path) {
    const TFdHandle file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        throw TError(QStringLiteral("cannot open \"%1\": %2").arg(path, SystemError()));
    }
    std::fflush(stdout);
    std::vector<char> buffer(KChunk);
    for (;;) {
        const ssize_t n = ::read(file.Get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw TError(QStringLiteral("cannot read \"%1\": %2").arg(path, SystemError()));
        }
        if (n == 0) {
            return;
        }
        if (!WriteAll(STDOUT_FILENO, buffer.data(), static_cast<std::size_t>(n))) {
            throw TError(QStringLiteral("cannot write to standard output: %1").arg(SystemError()));
        }
    }
}

} // namespace bitonix
