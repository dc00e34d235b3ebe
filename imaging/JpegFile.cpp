// JPEG encoding through the TurboJPEG API.
#include "imaging/JpegFile.h"

#include "support/Error.h"

#include <QFile>
#include <memory>
#include <turbojpeg.h>

namespace bitonix {

namespace {

struct TTjHandleDeleter {
    void operator()(void* h) const { tjDestroy(h); }
};
struct TTjBufferDeleter {
    void operator()(unsigned char* p) const { tjFree(p); }
};

int TjFormat(TPixelOrder order) {
    switch (order) {
    case TPixelOrder::poBGRX:
        return TJPF_BGRX;
    case TPixelOrder::poRGBX:
        return TJPF_RGBX;
    case TPixelOrder::poRGB:
        return TJPF_RGB;
    case TPixelOrder::poGray:
        return TJPF_GRAY;
    }
    return TJPF_BGRX;
}

} // namespace

void WriteJpegFile(const QString& path, const unsigned char* pixels, int w, int h, int stride,
                   TPixelOrder order, int quality) {
    const std::unique_ptr<void, TTjHandleDeleter> tj(tjInitCompress());
    if (!tj) {
        throw TError(QStringLiteral("JPEG encoder unavailable: %1")
                         .arg(QString::fromUtf8(tjGetErrorStr2(nullptr))));
    }
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int subsamp = order == TPixelOrder::poGray ? TJSAMP_GRAY : TJSAMP_420;
    const int rc = tjCompress2(tj.get(), pixels, w, stride, h, TjFormat(order), &out, &size,
                               subsamp, quality, /*flags=*/0);
    const std::unique_ptr<unsigned char, TTjBufferDeleter> owned(out);
    if (rc != 0) {
        throw TError(QStringLiteral("Unable to encode JPEG '%1': %2")
                         .arg(path, QString::fromUtf8(tjGetErrorStr2(tj.get()))));
    }
    QFile file(path);
    const qint64 length = static_cast<qint64>(size);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(out), length) != length || !file.flush()) {
        const QString reason = file.errorString();
        file.close();
        file.remove();
        throw TError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
    }
}

} // namespace bitonix
