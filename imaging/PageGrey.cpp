// Decoding a page JPEG straight to its grey image.
#include "imaging/PageGrey.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <memory>

namespace bitonix {

namespace {

// libjpeg reports a fatal error through error_exit, which must not return:
// it jumps back into DecodeGrey. Warnings (recoverable damage) are ignored,
// as the image library's reader ignores them.
struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

[[noreturn]] void JumpOut(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<TJpegError*>(cinfo->err)->Jump, 1);
}

void Quiet(j_common_ptr /*cinfo*/, int /*level*/) {}

enum class TDecode { dcDone, dcOtherKind, dcFailed };

// The decoding proper, kept free of C++ objects with destructors, since a
// libjpeg error leaves it with longjmp. On dcDone *out holds the new grey
// image (released by the caller).
TDecode DecodeGrey(const TLeptonica::TTable& L, std::FILE* file, PIX** out) {
    jpeg_decompress_struct cinfo;
    TJpegError error;
    cinfo.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JumpOut;
    error.Manager.emit_message = Quiet;
    PIX* volatile pix = nullptr;
    if (setjmp(error.Jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        PIX* made = pix;
        if (made != nullptr) {
            L.pixDestroy(&made);
        }
        return TDecode::dcFailed;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    const bool colour = cinfo.num_components == 3 && cinfo.jpeg_color_space == JCS_YCbCr;
    const bool grey = cinfo.num_components == 1 && cinfo.jpeg_color_space == JCS_GRAYSCALE;
    if (!colour && !grey) {
        jpeg_destroy_decompress(&cinfo);
        return TDecode::dcOtherKind;
    }
    // The library's reader keeps libjpeg's defaults (accurate DCT, fancy
    // upsampling); so does this.
    cinfo.out_color_space = colour ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_start_decompress(&cinfo);
    const auto w = static_cast<int>(cinfo.output_width);
    const auto h = static_cast<int>(cinfo.output_height);
    pix = L.pixCreate(w, h, 8);
    if (pix == nullptr) {
        jpeg_destroy_decompress(&cinfo);
        return TDecode::dcFailed;
    }
    l_uint32* const data = L.pixGetData(pix);
    const int wpl = L.pixGetWpl(pix);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
        cinfo.output_width * static_cast<JDIMENSION>(cinfo.output_components), 1);
    for (int y = 0; y < h; ++y) {
        jpeg_read_scanlines(&cinfo, row, 1);
        l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
        const JSAMPLE* s = row[0];
        if (colour) {
            for (int x = 0; x < w; ++x, s += 3) {
                SET_DATA_BYTE(line, x, LeptonicaGrey(s[0], s[1], s[2]));
            }
        } else {
            for (int x = 0; x < w; ++x) {
                SET_DATA_BYTE(line, x, s[x]);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    *out = pix;
    return TDecode::dcDone;
}

struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

TPixPtr ReadPageGrey(const TLeptonica& lept, const QString& path) {
    const TLeptonica::TTable& L = lept.Fn();
    const QByteArray name = QFile::encodeName(path);
    {
        const std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(name.constData(), "rb"));
        if (!file) {
            return {};
        }
        PIX* grey = nullptr;
        switch (DecodeGrey(L, file.get(), &grey)) {
        case TDecode::dcDone:
            return TPixPtr(grey, L.pixDestroy);
        case TDecode::dcFailed:
            return {};
        case TDecode::dcOtherKind:
            break;
        }
    }
    TPixPtr source(L.pixRead(name.constData()), L.pixDestroy);
    if (!source) {
        return {};
    }
    int depth = 0;
    L.pixGetDimensions(source.get(), nullptr, nullptr, &depth);
    if (depth == 8) {
        return source; // already grey
    }
    return TPixPtr(L.pixConvertRGBToGray(source.get(), 0.0F, 0.0F, 0.0F), L.pixDestroy);
}

} // namespace bitonix
